// The logo text parser with arbitrary bytes in a buffer of exactly the text's
// size (no terminator to lean on). The groups it collects are held to what the
// C library's sscanf reads with the same pattern, and the reports it builds are
// played to the simulated device, which checks their framing.
#include "fuzz/devicereplay.h"
#include "fuzz/fuzzcheck.h"
#include "protocol/packet.h"
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

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

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
        if (!isHex(at[2]))
            return false;
        at += 2;
    }
    while (*at == '0')
        ++at;
    int digits = 0;
    while (isHex(at[digits]))
        ++digits;
    return digits <= LongestDefinedNumber;
}

// One brace group as sscanf reads it, value by value so that the oracle knows
// where it stands; false when the group holds a number read differently by
// different C libraries.
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

// The logo bytes the text describes; false when they cannot be told for sure.
bool oracleLogo(const std::string &text, QByteArray &logo)
{
    size_t at = 0;
    while (at < text.size() && logo.size() < LogoCapacity) {
        const size_t brace = text.find('{', at);
        if (brace == std::string::npos)
            break;
        QByteArray group(GroupSize, '\0');
        if (!oracleGroup(text.c_str() + brace, group))
            return false;
        logo += group;
        at = brace + 1;
    }
    return true;
}

// Groups found, counted as the parser counts them whatever they hold.
int groupCount(const std::string &text)
{
    int groups = 0;
    for (size_t at = text.find('{'); at != std::string::npos && groups * GroupSize < LogoCapacity;
         at = text.find('{', at + 1))
        ++groups;
    return groups;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto text = std::make_unique<char[]>(size);
    std::memcpy(text.get(), data, size);

    Packet packet;
    FUZZ_CHECK(packet.logoEncode(text.get(), int(size)) == 0);

    SimDevice device;
    FUZZ_CHECK(replayToDevice(device, *packet.output()));
    FUZZ_CHECK(device.problems().isEmpty());
    FUZZ_CHECK(device.logoComplete());

    const std::string copy(reinterpret_cast<const char *>(data), size);
    FUZZ_CHECK(device.logo().size() == groupCount(copy) * GroupSize);
    QByteArray expected;
    if (oracleLogo(copy, expected))
        FUZZ_CHECK(device.logo() == expected);
    return 0;
}
