#pragma once

#include <cstdint>

class Parameter;
class Stream;

// The parameter record on the wire: payloads of framed write reports, read
// requests, and the answers to those requests. Every value is an integer in the
// unit the device uses; the pages do the conversions.
class ParameterCodec
{
public:
    // What the answer to a read request turned out to be.
    enum AnswerFit {
        AnswerCarries, // the setting asked for, whole
        AnswerRefuses, // the request asked for, with the device's refusal status in place of a length
        AnswerForeign, // cut short, for another request, or a length the setting never has
    };

    explicit ParameterCodec(Parameter &record);
    ~ParameterCodec();
    ParameterCodec(const ParameterCodec &) = delete;
    ParameterCodec &operator=(const ParameterCodec &) = delete;

    // Framed write report of command 1..7 into buffer (at least 64 bytes).
    int encode(int code, uint8_t *buffer, int size);
    // Read request (0x81..0x86) without payload into buffer (at least 64 bytes).
    int encodeForRead(int code, uint8_t *buffer, int size);
    // Stores what an answer carries; returns its byte 0 without the work-mode bits.
    int decode(const uint8_t *answer, int count);
    // Whether an answer of count bytes is the answer to read request `request`.
    static AnswerFit fitOf(int request, const uint8_t *answer, int count);
    // Whether an answer names command code, the read flag and work-mode bits aside.
    static bool echoes(int code, const uint8_t *answer);

    // Payload builders: the payload is left in the codec's stream, the result is its length.
    int encodePower();
    int encodeScreenTimeout();
    int encodeTemperature();
    int encodeTCR();
    int encodeTFR();
    int encodeWorkMode();

    int decodePower(const uint8_t *payload, int length);
    int decodeTemperature(const uint8_t *payload, int length);
    int decodeTCR(const uint8_t *payload, int length);
    int decodeTFR(const uint8_t *payload, int length);

private:
    int buildPayload(int code);

    Parameter &record;
    Stream *stream = nullptr;
};
