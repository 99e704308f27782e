#pragma once

#include <cstdint>

class Stream;

// Frames payloads, firmware images and logos into 64-byte reports, and decodes
// the head of the device's answers. Made for one exchange.
class Packet
{
public:
    static constexpr int ReportSize = 64;
    static constexpr int MaxPayload = 60;
    // A stream's capacity tops out at 2^30 (the largest power of two in a signed
    // 32-bit count); the transfer reserves twice the image on top of the report
    // room a packet starts with, and the framed image has to fit behind it.
    static constexpr int LargestImage = ((1 << 30) - ReportSize) / 2;
    // A logo text takes 512 bytes in groups of about 80 characters; a text this
    // long leaves room for any layout and comments and is still no burden to read.
    static constexpr int LargestLogoText = 1 << 20;

    Packet();
    ~Packet();
    Packet(const Packet &) = delete;
    Packet &operator=(const Packet &) = delete;

    int paramEncode(uint8_t code, const uint8_t *payload, int length);
    int headEncode(int totalLength);
    int dataEncode(const uint8_t *data, int length);
    int tailEncode();
    int packetFile(const uint8_t *image, int length);
    int logoEncode(const char *text, int length);
    // How many logo bytes the text really gives (values converted, not the zeros
    // of a group that stopped early): 0 means it holds no logo.
    static int logoValues(const char *text, int length);
    static int handshakeEncode(uint8_t *buffer); // 64 bytes
    int replyDecode(const uint8_t *answer);      // 64 bytes

    Stream *output() const { return out; } // the reports built so far
    uint32_t replyFlag() const { return flag; }
    uint32_t replyCommand() const { return command; }
    uint32_t replyStatus() const { return status; }

    // CRC-16/MODBUS: reflected polynomial 0xA001, init 0xFFFF, no final xor.
    static uint16_t crc16(const uint8_t *data, int length);

private:
    int appendFramed(uint8_t code, const uint8_t *payload, int length);
    int appendPlain(uint8_t code); // code and 63 zeros, no length, no checksum

    Stream *out;
    uint32_t flag = 0;
    uint32_t command = 0;
    uint32_t status = 0;
};
