#include "cli/cli.h"

#include "cli/arguments.h"
#include "cli/exitcode.h"
#include "cli/heaterlist.h"
#include "cli/output.h"
#include "cli/session.h"
#include "cli/settingscommands.h"
#include "cli/transfercommands.h"
#include "common/commandlineerror.h"

#include <QTextStream>

namespace {

int status(const Arguments &arguments, Output &output)
{
    Session session(output);
    const int result = session.open(arguments.trace);
    const QString state = result == ExitOk ? (session.linkState() == Session::Connected ? "connected" : "upgrade state")
                          : result == ExitNotFound         ? "not found"
                          : result == ExitPermissionDenied ? "permission denied"
                          : result == ExitBusy             ? "busy"
                                                           : "no answer";
    output.result(state, {{"status", state}});
    if (result != ExitOk)
        output.error(session.problem());
    return result;
}

} // namespace

int Cli::run(const QStringList &words, QTextStream &out, QTextStream &err)
{
    Arguments arguments;
    const QString error = Arguments::parse(words, &arguments);
    if (!error.isEmpty()) {
        if (arguments.json)
            Output(out, err, true).error(error);
        else
            err << CommandLineError::text("korvane-cli", error);
        return ExitBadInput;
    }
    if (arguments.help || arguments.version) {
        out << (arguments.help ? Arguments::usage() : QString("korvane-cli " KORVANE_VERSION "\n"));
        return ExitOk;
    }
    // Both are read by the link when it first needs them.
    if (!arguments.device.isEmpty())
        qputenv("KORVANE_DEVICE", arguments.device.toLocal8Bit());
    if (arguments.timeoutMs > 0)
        qputenv("KORVANE_READ_TIMEOUT_MS", QByteArray::number(arguments.timeoutMs));

    Output output(out, err, arguments.json);
    if (arguments.command == "list")
        return HeaterList::list(output);
    if (!arguments.all)
        HeaterList::noteChoice(output);
    if (arguments.command == "status")
        return status(arguments, output);
    if (arguments.command == "firmware" || arguments.command == "logo")
        return TransferCommands(arguments, output).run();
    return SettingsCommands(arguments, output).run();
}
