#include "cli/session.h"

#include "cli/exitcode.h"
#include "cli/output.h"
#include "link/heaterlock.h"
#include "link/hidbackend.h"
#include "link/usb.h"
#include "protocol/protocol.h"

#include <pwd.h>
#include <sys/stat.h>

namespace {
constexpr uint8_t Accepted = 1;

// A socket's own mode and owner decide who may connect; only a hidraw node
// gets its access from the udev rule.
QString permissionProblem(const QString &path)
{
    QString socketPath;
    struct stat info;
    if (!HidBackend::virtualDevice(&socketPath) || ::stat(path.toLocal8Bit().constData(), &info) != 0)
        return QString("permission denied on %1: install the udev rule 70-korvane.rules, then unplug the heater "
                       "and plug it in again")
            .arg(path);
    const passwd *owner = ::getpwuid(info.st_uid);
    return QString("permission denied on %1: the socket is mode %2 and belongs to %3; run as that user, or have "
                   "korvane-devsim serve a socket of yours")
        .arg(path, QString::number(info.st_mode & 07777, 8).rightJustified(4, '0'),
             owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid));
}
} // namespace

Session::Session(Output &out) : output(out) {}

Session::~Session() = default;

int Session::open(bool trace)
{
    link = std::make_unique<Protocol>();
    Usb *port = link->port();
    if (trace) {
        QObject::connect(port, &Usb::writeData, port, [this](const QByteArray &report) { output.trace('>', report); });
        QObject::connect(port, &Usb::readData, port, [this](const QByteArray &answer) { output.trace('<', answer); });
    }
    QObject::connect(port, &Usb::readData, port, [this](const QByteArray &answer) {
        if (!counting)
            return;
        if (answer.size() < 2)
            ++unanswered;
        else if (uint8_t(answer[1]) != Accepted)
            ++refused;
    });
    if (!link->isOpen())
        return explainMissing();
    heater = std::make_unique<HeaterLock>(*port);
    if (!heater->held()) {
        why = heater->problem();
        return ExitBusy;
    }
    state = link->handshake();
    if (state == Connected || state == UpgradeState)
        return ExitOk;
    why = "the heater did not answer the handshake; unplug it and plug it in again";
    return ExitTransferFailed;
}

int Session::openIn(int wanted, bool trace)
{
    const int result = open(trace);
    if (result != ExitOk || state == wanted)
        return result;
    why = wanted == Connected ? "the heater is in its upgrade state: it takes nothing but firmware now"
                              : "the heater is not in its upgrade state, where alone it takes firmware";
    return ExitRefused;
}

void Session::countAnswers()
{
    counting = true;
    refused = 0;
    unanswered = 0;
}

// The link gives only "could not open"; the backend can tell whether the
// heater is there at all and, if so, why it would not open.
int Session::explainMissing()
{
    HidBackend *backend = HidBackend::current();
    for (const HidInterface &candidate : backend->enumerate()) {
        if (!candidate.isHeater())
            continue;
        HidOpenFailure failure = HidOpenFailure::None;
        const int id = backend->open(candidate.path, &failure);
        if (id > 0)
            backend->close(id);
        if (failure == HidOpenFailure::PermissionDenied) {
            why = permissionProblem(candidate.path);
            return ExitPermissionDenied;
        }
        why = QString("the heater at %1 could not be opened").arg(candidate.path);
        return ExitNotFound;
    }
    // The same variable chose the backend: a socket path is no cable to check.
    QString socketPath;
    why = HidBackend::virtualDevice(&socketPath)
              ? QString("no virtual heater at %1: is korvane-devsim running?").arg(socketPath)
              : "no heater found (USB 0483:5750): check the cable and that the heater is switched on";
    return ExitNotFound;
}
