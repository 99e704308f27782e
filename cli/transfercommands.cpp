#include "cli/transfercommands.h"

#include "cli/arguments.h"
#include "cli/exitcode.h"
#include "cli/firmwareall.h"
#include "cli/output.h"
#include "cli/progressbar.h"
#include "cli/session.h"
#include "common/namedfile.h"
#include "common/processstate.h"
#include "link/usb.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"

#include <QCryptographicHash>
#include <unistd.h>

TransferCommands::TransferCommands(const Arguments &given, Output &out) : arguments(given), output(out) {}

int TransferCommands::run()
{
    const QString &path = arguments.operands.first();
    return arguments.command == "firmware" ? firmware(path) : logo(path);
}

int TransferCommands::firmware(const QString &path)
{
    QByteArray image;
    int result = load(path, Packet::LargestImage, &image);
    if (result != ExitOk)
        return result;
    if (arguments.all)
        return FirmwareAll::run(image, output);
    Session session(output);
    result = open(session, Session::UpgradeState);
    if (result != ExitOk)
        return result;
    ProgressBar bar(output.progress(), image.size(), isatty(STDERR_FILENO));
    Usb *port = session.protocol().port();
    QObject::connect(port, &Usb::readData, port, [&bar] { bar.update(upgradeProgress); });
    session.countAnswers();
    const int failed = session.protocol().sendFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    bar.finish(upgradeProgress);
    if (failed) {
        output.error(session.refusals() > 0
                         ? QString("Update failed! The heater refused the image at %1%.").arg(upgradeProgress)
                         : QString("Update failed! The heater stopped answering at %1%.").arg(upgradeProgress));
        return session.refusals() > 0 ? ExitRefused : ExitTransferFailed;
    }
    const QString sha256 = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    output.result(QString("Firmware sent: %1 bytes, sha256 %2").arg(image.size()).arg(sha256),
                  {{"result", "sent"}, {"bytes", image.size()}, {"sha256", sha256}});
    return ExitOk;
}

int TransferCommands::logo(const QString &path)
{
    QByteArray text;
    int result = load(path, Packet::LargestLogoText, &text);
    if (result != ExitOk)
        return result;
    // Sent anyway, a logo of nothing would erase the one the heater shows.
    if (Packet::logoValues(text.constData(), text.size()) == 0) {
        output.error(QString("%1 holds no logo: not one {0x..,0x..,...} group of values").arg(path));
        return ExitBadInput;
    }
    Session session(output);
    result = open(session, Session::Connected);
    if (result != ExitOk)
        return result;
    session.countAnswers();
    // The transfer itself goes on whatever the answers say; they are judged afterwards.
    if (session.protocol().sendLogo(text.constData(), text.size()) < 0 || session.silences() > 0) {
        output.error(QString("Send  file %1 failed: the heater stopped answering").arg(path));
        return ExitTransferFailed;
    }
    if (session.refusals() > 0) {
        output.error(
            QString("Send  file %1 failed: the heater refused %2 of its reports").arg(path).arg(session.refusals()));
        return ExitRefused;
    }
    output.result(QString("Send  file %1 success").arg(path), {{"result", "sent"}, {"file", path}});
    return ExitOk;
}

int TransferCommands::open(Session &session, int wanted)
{
    const int result = session.openIn(wanted, arguments.trace);
    if (result != ExitOk)
        output.error(session.problem());
    return result;
}

// The whole file, checked before anything goes to the heater.
int TransferCommands::load(const QString &path, qint64 largest, QByteArray *data)
{
    QString problem;
    if (NamedFile::read(path, largest, data, &problem) == NamedFile::Read)
        return ExitOk;
    output.error(problem);
    return ExitBadInput;
}
