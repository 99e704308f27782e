#include "sim/simsettings.h"

namespace {

constexpr int TemperatureMode = 3;
constexpr int WorkMode = 6;
constexpr int UnitOffset = 6;
constexpr int CompensationOffset = 7;
constexpr int FahrenheitSlot = 7;
constexpr int CelsiusSlot = 8;
constexpr uint8_t FahrenheitBit = 0x80;

int writeLength(int code)
{
    static const int lengths[] = {0, 6, 2, 8, 10, 50, 1, 0};
    return code >= 1 && code <= 7 ? lengths[code] : -1;
}

} // namespace

SimSettings::SimSettings()
{
    // 20.0 W with a preheat of 25.0 W for 1 s; 30 s screen timeout; 30.0 W at
    // 200 degrees Celsius, preheat 0.5 s, NI200; TCR and TFR of plain nickel.
    stored[1] = QByteArray::fromHex("00c800fa03e8");
    stored[2] = QByteArray::fromHex("0bb8");
    stored[3] = QByteArray::fromHex("012c00c801f400000000");
    stored[4] = QByteArray::fromHex("003c003c003c003c003c");
    for (int i = 0; i < 25; ++i)
        stored[5] += QByteArray::fromHex("2710");
    stored[WorkMode] = QByteArray(1, 1);
}

bool SimSettings::write(int code, const QByteArray &payload)
{
    if (payload.size() != writeLength(code))
        return false;
    if (code == TemperatureMode) {
        // One compensation byte travels, in the unit the type byte names; the
        // device keeps it for that unit only.
        QByteArray &mode = stored[TemperatureMode];
        mode.replace(0, UnitOffset + 1, payload.left(UnitOffset + 1));
        const bool fahrenheit = uint8_t(payload[UnitOffset]) & FahrenheitBit;
        mode[fahrenheit ? FahrenheitSlot : CelsiusSlot] = payload[CompensationOffset];
    } else if (code <= Codes) {
        stored[code] = payload;
    }
    return true;
}

QByteArray SimSettings::read(int code) const
{
    return code >= 1 && code <= Codes ? stored[code] : QByteArray();
}

void SimSettings::set(int code, const QByteArray &payload)
{
    if (code >= 1 && code <= Codes)
        stored[code] = payload;
}

int SimSettings::workMode() const
{
    return stored[WorkMode].isEmpty() ? 0 : uint8_t(stored[WorkMode].at(0));
}
