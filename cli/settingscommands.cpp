#include "cli/settingscommands.h"

#include "cli/arguments.h"
#include "cli/assignments.h"
#include "cli/exitcode.h"
#include "cli/output.h"
#include "cli/profile.h"
#include "cli/session.h"
#include "cli/settingsform.h"
#include "common/namedfile.h"
#include "params/paramter.h"
#include "protocol/protocol.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

constexpr int Accepted = 1;
// Every setting, the work mode first: each answer's head carries the mode too.
const int ReadCommands[] = {
    Parameter::ReadRequest + Parameter::WorkModeCommand, Parameter::ReadRequest + Parameter::ScreenTimeoutCommand,
    Parameter::ReadRequest + Parameter::PowerCommand,    Parameter::ReadRequest + Parameter::TemperatureCommand,
    Parameter::ReadRequest + Parameter::TcrCommand,      Parameter::ReadRequest + Parameter::TfrCommand,
};

QString nameOf(int code)
{
    static const char *const names[] = {"",
                                        "the power-mode settings",
                                        "the screen timeout",
                                        "the temperature-mode settings",
                                        "the TCR table",
                                        "the TFR table",
                                        "the work mode"};
    return names[code];
}

} // namespace

SettingsCommands::SettingsCommands(const Arguments &given, Output &out) : arguments(given), output(out) {}

int SettingsCommands::run()
{
    if (arguments.command == "read")
        return read();
    if (arguments.command == "write")
        return write();
    if (arguments.command == "export")
        return exportTo(arguments.operands.first());
    return importFrom(arguments.operands.first());
}

int SettingsCommands::read()
{
    Session session(output);
    const int result = readDevice(session);
    if (result == ExitOk)
        output.settings(SettingsForm(*session.protocol().parameter(), {}).rows());
    return result;
}

int SettingsCommands::write()
{
    Assignments assignments;
    for (const QString &assignment : arguments.operands) {
        const QString error = assignments.take(assignment);
        if (!error.isEmpty()) {
            output.error(error);
            return ExitBadInput;
        }
    }
    return apply(assignments);
}

int SettingsCommands::exportTo(const QString &path)
{
    // The save writes a new file and renames it over the old one: over a device
    // node or through a link it would replace what the user never named.
    const QString problem = NamedFile::replaceProblem(path);
    if (!problem.isEmpty()) {
        output.error(problem);
        return ExitBadInput;
    }
    if (!arguments.force && QFileInfo::exists(path)) {
        output.error(QString("cannot write %1: it exists; add --force to replace it").arg(path));
        return ExitBadInput;
    }
    Session session(output);
    const int result = readDevice(session);
    if (result != ExitOk)
        return result;
    const QList<SettingRow> rows = SettingsForm(*session.protocol().parameter(), {}).rows();
    QSaveFile file(path);
    const QByteArray json = QJsonDocument(Profile::toJson(rows)).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        output.error(QString("cannot write %1: %2").arg(path, file.errorString()));
        return ExitBadInput;
    }
    output.result(QString("%1 settings exported to %2").arg(rows.size()).arg(path),
                  {{"result", "exported"}, {"file", path}, {"settings", rows.size()}});
    return ExitOk;
}

int SettingsCommands::importFrom(const QString &path)
{
    QByteArray json;
    QString problem;
    if (NamedFile::read(path, Profile::LargestFile, &json, &problem) != NamedFile::Read) {
        output.error(problem);
        return ExitBadInput;
    }
    Assignments assignments;
    const QString error = Profile::fromJson(json, &assignments);
    if (!error.isEmpty()) {
        output.error(QString("%1: %2").arg(path, error));
        return ExitBadInput;
    }
    return apply(assignments);
}

// Every setting or none: a read that fails leaves nothing to show, save or write back.
int SettingsCommands::readDevice(Session &session)
{
    int result = session.openIn(Session::Connected, arguments.trace);
    if (result != ExitOk) {
        output.error(session.problem());
        return result;
    }
    for (int code : ReadCommands) {
        const QString setting = nameOf(code - Parameter::ReadRequest);
        switch (session.protocol().readParam(code)) {
        case 0:
            continue;
        case Protocol::AnswerRefused:
            output.error(QString("the heater refused the request for %1").arg(setting));
            return ExitRefused;
        case Protocol::AnswerForeign:
            output.error(
                QString("the heater's answer to the request for %1 was garbled or for another request").arg(setting));
            return ExitTransferFailed;
        default:
            output.error("the heater stopped answering while its settings were read");
            return ExitTransferFailed;
        }
    }
    return ExitOk;
}

// The checks run over everything that will be sent before the first write.
int SettingsCommands::apply(const Assignments &assignments)
{
    Session session(output);
    const int result = readDevice(session);
    if (result != ExitOk)
        return result;
    Protocol &link = session.protocol();
    SettingsForm form(*link.parameter(), assignments.values());
    const QString message = form.check();
    if (!message.isEmpty()) {
        output.error(message);
        return ExitBadInput;
    }
    QJsonArray written;
    for (int code : form.codes()) {
        form.store(code);
        const int status = link.writeParam(code);
        if (status == -1) {
            output.error(QString("no answer from the heater to %1").arg(nameOf(code)));
            return ExitTransferFailed;
        }
        if (status == Protocol::AnswerForeign) {
            output.error(QString("the heater's answer to %1 was garbled or for another request").arg(nameOf(code)));
            return ExitTransferFailed;
        }
        if (status != Accepted) {
            output.error(QString("the heater refused %1 (status %2)").arg(nameOf(code)).arg(status));
            return ExitRefused;
        }
        written << code;
    }
    output.result(written.isEmpty() ? "Nothing to save" : "Save success",
                  {{"result", written.isEmpty() ? "unchanged" : "saved"}, {"commands", written}});
    return ExitOk;
}
