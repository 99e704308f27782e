#include "protocol/packet.h"

#include "common/log.h"
#include "common/processstate.h"
#include "protocol/stream.h"

#include <cstdint>
#include <cstring>

namespace {

enum Code : uint8_t {
    FirmwareStart = 0x01,
    FirmwareData = 0x02,
    FirmwareEnd = 0x03,
    LogoData = 0x07,
    LogoStart = 0x70,
    LogoEnd = 0x71,
    Handshake = 0x72,
};

constexpr uint8_t Zeros[Packet::ReportSize] = {};

// Firmware pages are 1024 bytes: 17 reports of 60 bytes, then one of 4.
constexpr int PageSize = 1024;
constexpr int PageTail = PageSize - 17 * Packet::MaxPayload;

constexpr int LogoCapacity = 512;
constexpr int LogoGroup = 16;

struct CrcTable
{
    uint16_t entry[256] = {};
};

constexpr CrcTable makeCrcTable()
{
    CrcTable table;
    for (int byte = 0; byte < 256; ++byte) {
        uint16_t crc = uint16_t(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
        table.entry[byte] = crc;
    }
    return table;
}

constexpr CrcTable Crc = makeCrcTable();

// Bounded stand-in for sscanf's "0x%x" after the literal: blanks, a sign, an
// optional 0x prefix, then hex digits. Stops at `end` instead of a NUL, so the
// text needs no terminator. Returns false when no digit follows.
bool scanHex(const char *&at, const char *end, uint32_t &value)
{
    auto hexDigit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    const char *p = at;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    if (end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexDigit(p[2]) >= 0)
        p += 2;
    if (p == end || hexDigit(*p) < 0)
        return false;
    uint32_t result = 0;
    for (; p < end && hexDigit(*p) >= 0; ++p)
        result = result << 4 | uint32_t(hexDigit(*p));
    value = negative ? 0u - result : result;
    at = p;
    return true;
}

bool expect(const char *&at, const char *end, const char *literal)
{
    const size_t length = std::strlen(literal);
    if (size_t(end - at) < length || std::memcmp(at, literal, length) != 0)
        return false;
    at += length;
    return true;
}

// One "{0x%x,0x%x,...}" group of 16 values starting at the brace; conversion
// stops at the first character that does not fit, leaving the rest at 0.
// Returns the count of values converted.
int scanGroup(const char *at, const char *end, uint8_t *group)
{
    if (!expect(at, end, "{"))
        return 0;
    for (int i = 0; i < LogoGroup; ++i) {
        uint32_t value = 0;
        if ((i > 0 && !expect(at, end, ",")) || !expect(at, end, "0x") || !scanHex(at, end, value))
            return i;
        group[i] = uint8_t(value);
    }
    return LogoGroup;
}

// Groups of the logo text into `logo`; returns the byte count collected, and
// in `converted` how many of those bytes the text really gave.
int scanLogo(const char *text, int length, uint8_t *logo, int *converted = nullptr)
{
    const char *end = text + (length > 0 ? length : 0);
    const char *at = text;
    int collected = 0;
    int values = 0;
    while (at < end && collected < LogoCapacity) {
        const auto *brace = static_cast<const char *>(std::memchr(at, '{', size_t(end - at)));
        if (!brace)
            break;
        values += scanGroup(brace, end, logo + collected);
        collected += LogoGroup;
        at = brace + 1;
    }
    if (converted)
        *converted = values;
    return collected;
}

} // namespace

Packet::Packet() : out(new Stream) {}

Packet::~Packet()
{
    delete out;
}

uint16_t Packet::crc16(const uint8_t *data, int length)
{
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < length; ++i)
        crc = uint16_t((crc >> 8) ^ Crc.entry[(crc ^ data[i]) & 0xFF]);
    return crc;
}

int Packet::appendFramed(uint8_t code, const uint8_t *payload, int length)
{
    if (out->reserve(ReportSize) < 0)
        return -1;
    // The room is there, so the report start stays put while it is appended.
    const uint8_t *start = out->writePointer();
    out->putU8(code);
    out->putU8(uint32_t(length));
    out->write(payload, length);
    out->write(Zeros, MaxPayload - length);
    out->putU16(crc16(start, length + 2));
    return 0;
}

int Packet::appendPlain(uint8_t code)
{
    if (out->reserve(ReportSize) < 0)
        return -1;
    out->putU8(code);
    out->write(Zeros, ReportSize - 1);
    return 0;
}

int Packet::paramEncode(uint8_t code, const uint8_t *payload, int length)
{
    if (length < 0 || length > MaxPayload) {
        LOG_WARN("input size :%d > 60 \n\n", length);
        return -1;
    }
    out->clear();
    return appendFramed(code, payload, length);
}

int Packet::headEncode(int totalLength)
{
    out->clear();
    const int64_t room = 2 * int64_t(totalLength);
    out->reserve(room > INT32_MAX ? INT32_MAX : int(room));
    const uint8_t field[4] = {uint8_t(totalLength >> 24), uint8_t(totalLength >> 16), uint8_t(totalLength >> 8),
                              uint8_t(totalLength)};
    return appendFramed(FirmwareStart, field, 4);
}

int Packet::dataEncode(const uint8_t *data, int length)
{
    if (length < 1 || length > MaxPayload) {
        LOG_WARN("input data length:%d is ill\n\n", length);
        return -1;
    }
    return appendFramed(FirmwareData, data, length);
}

int Packet::tailEncode()
{
    return appendPlain(FirmwareEnd);
}

int Packet::packetFile(const uint8_t *image, int length)
{
    if (length < 1) {
        LOG_WARN("data must  size:%d > 0\n\n", length);
        return -1;
    }
    if (length > LargestImage) {
        LOG_WARN("data must  size:%d <= %d\n\n", length, LargestImage);
        return -1;
    }
    if (headEncode(length) < 0)
        return -1;
    int taken = 0;
    int pageOffset = 0;
    while (true) {
        // The device went away during an upgrade: nobody will take the rest.
        if (upgradeStarted == 1 && linkState == 0)
            return 1;
        const int slot = pageOffset < PageSize - PageTail ? MaxPayload : PageTail;
        const int count = length - taken < slot ? length - taken : slot;
        if (count == 0)
            break;
        if (dataEncode(image + taken, count) < 0)
            return -1;
        taken += count;
        pageOffset = (pageOffset + count) % PageSize;
    }
    return tailEncode();
}

int Packet::logoEncode(const char *text, int length)
{
    out->clear();
    appendPlain(LogoStart);
    uint8_t logo[LogoCapacity] = {};
    const int collected = scanLogo(text, length, logo);
    for (int sent = 0; sent < collected; sent += MaxPayload) {
        const int piece = collected - sent < MaxPayload ? collected - sent : MaxPayload;
        appendFramed(LogoData, logo + sent, piece);
    }
    appendPlain(LogoEnd);
    return 0;
}

int Packet::logoValues(const char *text, int length)
{
    uint8_t logo[LogoCapacity] = {};
    int converted = 0;
    scanLogo(text, length, logo, &converted);
    return converted;
}

int Packet::handshakeEncode(uint8_t *buffer)
{
    std::memset(buffer, 0, ReportSize);
    buffer[0] = Handshake;
    return 0;
}

int Packet::replyDecode(const uint8_t *answer)
{
    flag = answer[0] & 0x80u;
    command = answer[0] & 0x7Fu;
    status = answer[1];
    return int(status);
}
