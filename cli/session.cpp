#include "cli/session.h"

#include "cli/exitcode.h"
#include "cli/output.h"
#include "link/heateraccess.h"
#include "link/heaterlock.h"
#include "link/usb.h"
#include "protocol/protocol.h"

namespace {
constexpr uint8_t Accepted = 1;
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
    const HeaterAccess::Finding found = HeaterAccess::find();
    why = found.why;
    return found.problem == HeaterAccess::PermissionDenied ? ExitPermissionDenied : ExitNotFound;
}
