#include "tests/soak/faultdice.h"

bool Fault::answerLost() const
{
    return vanish || kind == SimDevice::Drop || kind == SimDevice::Stall || kind == SimDevice::Late;
}

bool Fault::accepted() const
{
    if (answerLost())
        return false;
    switch (kind) {
    case SimDevice::Status:
        return value == 1;
    case SimDevice::Short:
        return value >= 2; // a cut answer that still holds the status byte
    default:
        return true;
    }
}

void Fault::injectAt(SimDevice &device, int nth) const
{
    if (vanish)
        device.vanishAfter(nth - 1);
    else if (kind != SimDevice::None)
        device.inject(nth, kind, value);
}

Fault FaultDice::fault()
{
    Fault chosen;
    switch (below(8)) {
    case 0:
        chosen.kind = SimDevice::Status;
        break; // status 0
    case 1:
        chosen = {SimDevice::Status, 3};
        break;
    case 2:
        chosen = {SimDevice::Status, 2 + below(254)}; // any other status; 3 maybe again
        break;
    case 3:
        chosen.kind = SimDevice::Drop;
        break;
    case 4:
        chosen.kind = SimDevice::Stall;
        break;
    case 5:
        chosen.kind = SimDevice::Late;
        break;
    case 6:
        chosen = {SimDevice::Short, 1 + below(63)};
        break;
    default:
        chosen.vanish = true;
        break;
    }
    return chosen;
}

QByteArray FaultDice::bytes(int count)
{
    QByteArray data(count, '\0');
    for (char &byte : data)
        byte = char(below(256));
    return data;
}

QByteArray FaultDice::image()
{
    const int roll = below(100);
    const int longest = roll < 70 ? 4096 : roll < 97 ? 16384 : 65536;
    return bytes(1 + below(longest));
}
