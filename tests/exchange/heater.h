#pragma once

#include "common/processstate.h"
#include "sim/simbus.h"

#include <QByteArray>
#include <memory>

// A simulated bus with one heater plugged in, and the process state a
// transfer reads reset to its start values.
struct Heater
{
    Heater()
    {
        upgradeStarted = 0;
        linkState = 0;
        upgradeProgress = 0;
        upgradeOk = 1;
        bus.attach(Path, device);
    }

    static constexpr const char *Path = "/dev/hidraw0";
    SimBus bus;
    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();
};

// The same bytes on every run.
inline QByteArray testImage(int length)
{
    QByteArray image(length, '\0');
    uint32_t state = 0x2545F491u;
    for (char &byte : image) {
        state = state * 1664525u + 1013904223u;
        byte = char(state >> 24);
    }
    return image;
}

inline const uint8_t *bytes(const QByteArray &data)
{
    return reinterpret_cast<const uint8_t *>(data.constData());
}
