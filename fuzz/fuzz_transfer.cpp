// Any bytes, in a buffer of exactly their size, as a firmware image and as a
// logo text, framed and played to the simulated heater, which checks every
// checksum, zero fill and page cut: the image arrives byte for byte, the logo as
// the C library's sscanf reads the text with the same pattern.
#include "fuzz/fuzzcheck.h"
#include "protocol/packet.h"
#include "protocol/stream.h"
#include "sim/simdevice.h"

#include <QByteArray>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int LogoCapacity = 512;
constexpr int GroupSize = 16;
constexpr int LongestDefinedNumber = 8; // hex digits: more overflow, and C leaves that undefined

// Whether what %x reads at `at` is something every C library reads alike: not
// a "0x" prefix without digits (glibc takes it as 0, the standard as a
// failure), nor a number past 32 bits.
bool portable(const char *at)
{
    while (std::isspace(static_cast<unsigned char>(*at)))
        ++at;
    if (*at == '+' || *at == '-')
        ++at;
    if (at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) {
        if (!std::isxdigit(static_cast<unsigned char>(at[2])))
            return false;
        at += 2;
    }
    while (*at == '0')
        ++at;
    int digits = 0;
    while (std::isxdigit(static_cast<unsigned char>(at[digits])))
        ++digits;
    return digits <= LongestDefinedNumber;
}

// One brace group as sscanf reads it, value by value; false when the group
// holds a number that C libraries read differently.
bool oracleGroup(const char *brace, QByteArray &group)
{
    const char *at = brace + 1;
    for (int i = 0; i < GroupSize; ++i) {
        if (i > 0 && *at++ != ',')
            return true;
        if (std::strncmp(at, "0x", 2) != 0)
            return true;
        if (!portable(at + 2))
            return false;
        unsigned value = 0;
        int used = 0;
        if (std::sscanf(at, "0x%x%n", &value, &used) != 1)
            return true;
        group[i] = char(value);
        at += used;
    }
    return true;
}

// The logo bytes the text describes, a group of 16 for every brace up to the
// logo's size; false when some of them cannot be told for sure.
bool oracleLogo(const std::string &text, QByteArray &logo)
{
    bool certain = true;
    for (size_t brace = text.find('{'); brace != std::string::npos && logo.size() < LogoCapacity;
         brace = text.find('{', brace + 1)) {
        QByteArray group(GroupSize, '\0');
        certain = oracleGroup(text.c_str() + brace, group) && certain;
        logo += group;
    }
    return certain;
}

// Every report of a built transfer to the device as the transport sends it
// (report ID 0 in front), each answer read: true when the device accepted all.
bool replay(SimDevice &device, const Stream &reports)
{
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
    return reports.size() % Packet::ReportSize == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto bytes = std::make_unique<char[]>(size);
    std::memcpy(bytes.get(), data, size);

    Packet firmware;
    FUZZ_CHECK(firmware.packetFile(reinterpret_cast<const uint8_t *>(bytes.get()), int(size)) == (size ? 0 : -1));
    SimDevice heater;
    heater.setUpgradeState(true);
    FUZZ_CHECK(size == 0 || (replay(heater, *firmware.output()) && heater.firmwareComplete() &&
                             heater.firmware() == QByteArray(bytes.get(), int(size))));

    Packet logo;
    FUZZ_CHECK(logo.logoEncode(bytes.get(), int(size)) == 0);
    SimDevice screen;
    FUZZ_CHECK(replay(screen, *logo.output()) && screen.logoComplete());
    FUZZ_CHECK(heater.problems().isEmpty() && screen.problems().isEmpty());
    const std::string text(bytes.get(), size);
    QByteArray expected;
    const bool certain = oracleLogo(text, expected);
    FUZZ_CHECK(screen.logo().size() == expected.size() && (!certain || screen.logo() == expected));
    return 0;
}
