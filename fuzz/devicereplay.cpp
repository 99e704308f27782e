#include "fuzz/devicereplay.h"

#include "protocol/packet.h"
#include "protocol/stream.h"
#include "sim/simdevice.h"

#include <cstdint>
#include <cstring>

bool replayToDevice(SimDevice &device, const Stream &reports)
{
    if (reports.size() % Packet::ReportSize != 0)
        return false;
    const int reader = device.openReader();
    for (const uint8_t *at = reports.readPointer(); at < reports.writePointer(); at += Packet::ReportSize) {
        uint8_t report[Packet::ReportSize + 1] = {};
        std::memcpy(report + 1, at, Packet::ReportSize);
        uint8_t answer[Packet::ReportSize] = {};
        if (device.receive(report, int(sizeof report)) != int(sizeof report) ||
            device.answer(reader, answer, Packet::ReportSize, 0) != Packet::ReportSize || answer[0] != at[0] ||
            answer[1] != 1)
            return false;
    }
    return true;
}
