#include "protocol/parametercodec.h"

#include "common/log.h"
#include "params/paramter.h"
#include "protocol/packet.h"
#include "protocol/stream.h"

// The codec's log lines carry the record's file name, as they always have:
// those who read the log know them by it. The folder keeps them in this one's
// log category.
#define RECORD_LOG(level, ...) Log::structured(level, __LINE__, __func__, "protocol/paramter", __VA_ARGS__)

namespace {

constexpr int HeadSize = 2; // command byte, length byte
constexpr int AnswerModeBits = 0x70;
constexpr int CommandBits = 0x0F;
constexpr int RefusalStatus = 3; // no setting is 3 bytes long

int unsignedByte(int8_t value)
{
    return uint8_t(value);
}

uint16_t word(const uint8_t *bytes)
{
    return uint16_t(bytes[0] << 8 | bytes[1]);
}

template <std::size_t N> void putWords(Stream *stream, const std::array<uint16_t, N> &words)
{
    for (uint16_t value : words)
        stream->putU16(value);
}

template <std::size_t N> std::array<uint16_t, N> takeWords(const uint8_t *payload)
{
    std::array<uint16_t, N> words;
    for (std::size_t i = 0; i < N; ++i)
        words[i] = word(payload + 2 * i);
    return words;
}

// Payload bytes each answer carries. Reads follow this, never the length byte,
// which comes from the device and may claim more than the report holds.
int payloadNeed(int code)
{
    switch (code & ~Parameter::ReadRequest) {
    case Parameter::PowerCommand:
        return 6;
    case Parameter::ScreenTimeoutCommand:
        return 2;
    case Parameter::TemperatureCommand:
    case Parameter::TcrCommand:
        return 10;
    case Parameter::TfrCommand:
        return 50;
    case Parameter::WorkModeCommand:
        return 1;
    }
    return 0;
}

void frameInto(int code, const uint8_t *payload, int length, uint8_t *buffer)
{
    Packet packet;
    packet.paramEncode(uint8_t(code), payload, length);
    packet.output()->read(buffer, Packet::ReportSize);
}

} // namespace

ParameterCodec::ParameterCodec(Parameter &record) : record(record), stream(new Stream) {}

ParameterCodec::~ParameterCodec()
{
    delete stream;
}

int ParameterCodec::encode(int code, uint8_t *buffer, int size)
{
    if (size < Packet::ReportSize) {
        RECORD_LOG(Log::Warn, "buffer size must bigger than 64\n\n");
        return -1;
    }
    const int length = buildPayload(code);
    if (length < 0)
        return -1;
    LOG_TRACE() << "len-" << length;
    uint8_t payload[Packet::MaxPayload] = {};
    if (length > 0) {
        stream->hexDump(length);
        stream->read(payload, length);
    }
    frameInto(code, payload, length, buffer);
    LOG_TRACE() << "catch temp" << unsignedByte(record.compensationByteC());
    LOG_TRACE() << "catch temp" << unsignedByte(record.compensationByteF());
    return 0;
}

int ParameterCodec::buildPayload(int code)
{
    switch (code) {
    case Parameter::PowerCommand:
        return encodePower();
    case Parameter::ScreenTimeoutCommand:
        return encodeScreenTimeout();
    case Parameter::TemperatureCommand:
        return encodeTemperature();
    case Parameter::TcrCommand:
        return encodeTCR();
    case Parameter::TfrCommand:
        return encodeTFR();
    case Parameter::WorkModeCommand:
        return encodeWorkMode();
    case 7:
        stream->clear();
        return 0;
    }
    return -1;
}

int ParameterCodec::encodeForRead(int code, uint8_t *buffer, int size)
{
    if (size < Packet::ReportSize) {
        RECORD_LOG(Log::Warn, "buffer size must bigger than 64\n\n");
        return -1;
    }
    stream->clear();
    frameInto(code, nullptr, 0, buffer);
    return 0;
}

int ParameterCodec::encodePower()
{
    stream->clear();
    stream->putU16(uint32_t(record.power()));
    stream->putU16(uint32_t(record.overshootPower()));
    stream->putU16(uint32_t(record.overshootTime()));
    return stream->size();
}

int ParameterCodec::encodeScreenTimeout()
{
    stream->clear();
    stream->putU16(uint32_t(record.screenTimeout()));
    return stream->size();
}

int ParameterCodec::encodeTemperature()
{
    const int8_t compensation = record.compensationToSend();
    stream->clear();
    stream->putU16(uint32_t(record.tempPower()));
    stream->putU16(uint32_t(record.temperature()));
    stream->putU16(uint32_t(record.tempOvershootTime()));
    stream->putU8(record.typeAndUnit());
    stream->putU8(uint8_t(compensation));
    stream->hexDump(stream->size());
    LOG_TRACE() << "step inde" << int(compensation);
    return stream->size();
}

int ParameterCodec::encodeTCR()
{
    stream->clear();
    putWords(stream, record.tcr());
    stream->hexDump(stream->size());
    return stream->size();
}

int ParameterCodec::encodeTFR()
{
    stream->clear();
    putWords(stream, record.tfr());
    return stream->size();
}

int ParameterCodec::encodeWorkMode()
{
    stream->clear();
    stream->putU8(uint32_t(record.workMode()));
    RECORD_LOG(Log::Info, "work mode:%d \n\n", record.workMode());
    return stream->size();
}

int ParameterCodec::decode(const uint8_t *answer, int count)
{
    const int available = qMin(count, Packet::ReportSize) - HeadSize;
    if (available < 0) {
        RECORD_LOG(Log::Warn, "answer size:%d too short\n\n", count);
        return -1;
    }
    const int code = answer[0] & ~AnswerModeBits;
    if (payloadNeed(code) > available) {
        RECORD_LOG(Log::Warn, "answer size:%d too short\n\n", count);
        return code;
    }
    const int mode = (answer[0] & AnswerModeBits) >> 4;
    if (mode == 1 || mode == 2)
        record.setWorkMode(mode);
    const int length = answer[1];
    const uint8_t *payload = answer + HeadSize;
    // An answer echoes the write or the read request it belongs to.
    switch (code & ~Parameter::ReadRequest) {
    case Parameter::PowerCommand:
        decodePower(payload, length);
        break;
    case Parameter::ScreenTimeoutCommand:
        record.setScreenTimeout(word(payload));
        break;
    case Parameter::TemperatureCommand:
        decodeTemperature(payload, length);
        break;
    case Parameter::TcrCommand:
        decodeTCR(payload, length);
        break;
    case Parameter::TfrCommand:
        decodeTFR(payload, length);
        break;
    case Parameter::WorkModeCommand:
        record.setWorkMode(payload[0]);
        break;
    }
    return code;
}

bool ParameterCodec::echoes(int code, const uint8_t *answer)
{
    return (answer[0] & CommandBits) == (code & CommandBits);
}

// The power-mode answer may carry more than its six bytes, every other exactly its own.
ParameterCodec::AnswerFit ParameterCodec::fitOf(int request, const uint8_t *answer, int count)
{
    if (count < HeadSize || !echoes(request, answer))
        return AnswerForeign;
    const int need = payloadNeed(request);
    const int length = answer[1];
    const bool whole = (request & CommandBits) == Parameter::PowerCommand ? length >= need : length == need;
    if (whole && qMin(count, int(Packet::ReportSize)) - HeadSize >= need)
        return AnswerCarries;
    return length == RefusalStatus ? AnswerRefuses : AnswerForeign;
}

int ParameterCodec::decodePower(const uint8_t *payload, int length)
{
    if (length < 6) {
        RECORD_LOG(Log::Warn, "must data size:%d == 6 \n\n", length);
        return 0;
    }
    record.setPower(word(payload));
    record.setOvershootPower(word(payload + 2));
    record.setOvershootTime(word(payload + 4));
    return 0;
}

int ParameterCodec::decodeTemperature(const uint8_t *payload, int length)
{
    record.setTempPower(word(payload));
    record.setTemperature(word(payload + 2));
    record.setTempOvershootTime(word(payload + 4));
    record.takeTypeAndCompensation(payload[6], int8_t(payload[7]), int8_t(payload[8]));
    LOG_TRACE() << length;
    LOG_TRACE() << "temperatureCompensationF123=" << int(record.compensationToSend());
    LOG_TRACE() << "temperatureCompensationC123=" << int(payload[6]) << int(payload[7]) << int(payload[8])
                << int(payload[9]);
    return 0;
}

int ParameterCodec::decodeTCR(const uint8_t *payload, int length)
{
    if (length != 10) {
        RECORD_LOG(Log::Warn, "must data size:%d == 10\n\n", length);
        return -1;
    }
    record.setTcr(takeWords<Parameter::SlotCount>(payload));
    return 0;
}

int ParameterCodec::decodeTFR(const uint8_t *payload, int length)
{
    if (length != 50) {
        RECORD_LOG(Log::Warn, "must data size == 50\n\n");
        return -1;
    }
    record.setTfr(takeWords<Parameter::SlotCount * Parameter::PointCount>(payload));
    return 0;
}
