#include "params/paramter.h"

#include "common/log.h"
#include "protocol/packet.h"
#include "protocol/stream.h"

#include <QtDebug>

namespace {

constexpr int HeadSize = 2; // command byte, length byte
constexpr int AnswerModeBits = 0x70;
constexpr int CommandBits = 0x0F;
constexpr int RefusalStatus = 3; // no setting is 3 bytes long

// Low seven bits, bit 7 for the sign: the two's-complement byte within the
// compensation ranges the pages allow.
uint8_t byteForm(int value)
{
    return uint8_t((value & 0x7F) | (value < 0 ? 0x80 : 0));
}

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

template <std::size_t N> void takeWords(std::array<uint16_t, N> &words, const uint8_t *payload)
{
    for (std::size_t i = 0; i < N; ++i)
        words[i] = word(payload + 2 * i);
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

Parameter::Parameter() : stream(new Stream) {}

Parameter::~Parameter()
{
    delete stream;
}

void Parameter::setAtomizerType(int index)
{
    m_typeAndUnit = uint8_t(m_fahrenheit ? index | 0x80 : index);
}

int Parameter::compensationC() const
{
    qDebug() << "temperatureCompensationCOUT=" << unsignedByte(m_compensationC);
    return m_compensationC;
}

int Parameter::compensationF() const
{
    qDebug() << "step 3" << unsignedByte(m_compensationF);
    return m_compensationF;
}

void Parameter::setCompensation(int value)
{
    const uint8_t byte = byteForm(value);
    qDebug() << "tt=" << int(byte);
    m_compensation = int8_t(byte);
    if (m_fahrenheit)
        m_compensationF = m_compensation;
    else
        m_compensationC = m_compensation;
    qDebug() << "catch 2" << int(byte);
    qDebug() << "step 2 " << int(m_compensation);
}

int Parameter::encode(int code, uint8_t *buffer, int size)
{
    if (size < Packet::ReportSize) {
        LOG_WARN("buffer size must bigger than 64\n\n");
        return -1;
    }
    const int length = buildPayload(code);
    if (length < 0)
        return -1;
    qDebug() << "len-" << length;
    uint8_t payload[Packet::MaxPayload] = {};
    if (length > 0) {
        stream->hexDump(length);
        stream->read(payload, length);
    }
    frameInto(code, payload, length, buffer);
    qDebug() << "catch temp" << unsignedByte(m_compensationC);
    qDebug() << "catch temp" << unsignedByte(m_compensationF);
    return 0;
}

int Parameter::buildPayload(int code)
{
    switch (code) {
    case PowerCommand:
        return encodePower();
    case ScreenTimeoutCommand:
        return encodeScreenTimeout();
    case TemperatureCommand:
        return encodeTemperature();
    case TcrCommand:
        return encodeTCR();
    case TfrCommand:
        return encodeTFR();
    case WorkModeCommand:
        return encodeWorkMode();
    case 7:
        stream->clear();
        return 0;
    }
    return -1;
}

int Parameter::encodeForRead(int code, uint8_t *buffer, int size)
{
    if (size < Packet::ReportSize) {
        LOG_WARN("buffer size must bigger than 64\n\n");
        return -1;
    }
    stream->clear();
    frameInto(code, nullptr, 0, buffer);
    return 0;
}

int Parameter::encodePower()
{
    stream->clear();
    stream->putU16(uint32_t(m_power));
    stream->putU16(uint32_t(m_overshootPower));
    stream->putU16(uint32_t(m_overshootTime));
    return stream->size();
}

int Parameter::encodeScreenTimeout()
{
    stream->clear();
    stream->putU16(uint32_t(m_screenTimeout));
    return stream->size();
}

int Parameter::encodeTemperature()
{
    stream->clear();
    stream->putU16(uint32_t(m_tempPower));
    stream->putU16(uint32_t(m_temperature));
    stream->putU16(uint32_t(m_tempOvershootTime));
    stream->putU8(m_typeAndUnit);
    stream->putU8(uint8_t(m_compensation));
    stream->hexDump(stream->size());
    qDebug() << "step inde" << int(m_compensation);
    return stream->size();
}

int Parameter::encodeTCR()
{
    stream->clear();
    putWords(stream, m_tcr);
    stream->hexDump(stream->size());
    return stream->size();
}

int Parameter::encodeTFR()
{
    stream->clear();
    putWords(stream, m_tfr);
    return stream->size();
}

int Parameter::encodeWorkMode()
{
    stream->clear();
    stream->putU8(uint32_t(m_workMode));
    LOG_INFO("work mode:%d \n\n", m_workMode);
    return stream->size();
}

int Parameter::decode(const uint8_t *answer, int count)
{
    const int available = qMin(count, Packet::ReportSize) - HeadSize;
    if (available < 0) {
        LOG_WARN("answer size:%d too short\n\n", count);
        return -1;
    }
    const int code = answer[0] & ~AnswerModeBits;
    if (payloadNeed(code) > available) {
        LOG_WARN("answer size:%d too short\n\n", count);
        return code;
    }
    const int mode = (answer[0] & AnswerModeBits) >> 4;
    if (mode == 1 || mode == 2)
        m_workMode = mode;
    const int length = answer[1];
    const uint8_t *payload = answer + HeadSize;
    // An answer echoes the write or the read request it belongs to.
    switch (code & ~ReadRequest) {
    case PowerCommand:
        decodePower(payload, length);
        break;
    case ScreenTimeoutCommand:
        m_screenTimeout = word(payload);
        break;
    case TemperatureCommand:
        decodeTemperature(payload, length);
        break;
    case TcrCommand:
        decodeTCR(payload, length);
        break;
    case TfrCommand:
        decodeTFR(payload, length);
        break;
    case WorkModeCommand:
        m_workMode = payload[0];
        break;
    }
    return code;
}

bool Parameter::echoes(int code, const uint8_t *answer)
{
    return (answer[0] & CommandBits) == (code & CommandBits);
}

// The power-mode answer may carry more than its six bytes, every other exactly its own.
Parameter::AnswerFit Parameter::fitOf(int request, const uint8_t *answer, int count)
{
    if (count < HeadSize || !echoes(request, answer))
        return AnswerForeign;
    const int need = payloadNeed(request);
    const int length = answer[1];
    const bool whole = (request & CommandBits) == PowerCommand ? length >= need : length == need;
    if (whole && qMin(count, int(Packet::ReportSize)) - HeadSize >= need)
        return AnswerCarries;
    return length == RefusalStatus ? AnswerRefuses : AnswerForeign;
}

int Parameter::decodePower(const uint8_t *payload, int length)
{
    if (length < 6) {
        LOG_WARN("must data size:%d == 6 \n\n", length);
        return 0;
    }
    m_power = word(payload);
    m_overshootPower = word(payload + 2);
    m_overshootTime = word(payload + 4);
    return 0;
}

int Parameter::decodeTemperature(const uint8_t *payload, int length)
{
    m_tempPower = word(payload);
    m_temperature = word(payload + 2);
    m_tempOvershootTime = word(payload + 4);
    m_typeAndUnit = payload[6];
    m_compensation = int8_t(payload[7]);
    m_compensationF = m_compensation;
    m_compensationC = int8_t(payload[8]);
    m_fahrenheit = payload[6] >> 7;
    qDebug() << length;
    qDebug() << "temperatureCompensationF123=" << int(m_compensation);
    qDebug() << "temperatureCompensationC123=" << int(payload[6]) << int(payload[7]) << int(payload[8])
             << int(payload[9]);
    return 0;
}

int Parameter::decodeTCR(const uint8_t *payload, int length)
{
    if (length != 10) {
        LOG_WARN("must data size:%d == 10\n\n", length);
        return -1;
    }
    takeWords(m_tcr, payload);
    return 0;
}

int Parameter::decodeTFR(const uint8_t *payload, int length)
{
    if (length != 50) {
        LOG_WARN("must data size == 50\n\n");
        return -1;
    }
    takeWords(m_tfr, payload);
    return 0;
}
