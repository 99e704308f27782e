#pragma once

#include <array>
#include <cstdint>

class Stream;

// The device's settings as the program knows them, and their codec: payloads of
// framed write reports, read requests, and the answers to those requests. Every
// value is an integer in the unit the device uses; the pages do the conversions.
class Parameter
{
public:
    // Codes of the write reports; a read request is the code with ReadRequest added.
    enum Command {
        PowerCommand = 1,
        ScreenTimeoutCommand = 2,
        TemperatureCommand = 3,
        TcrCommand = 4,
        TfrCommand = 5,
        WorkModeCommand = 6,
    };
    static constexpr int ReadRequest = 0x80;
    // What the answer to a read request turned out to be.
    enum AnswerFit {
        AnswerCarries, // the setting asked for, whole
        AnswerRefuses, // the request asked for, with the device's refusal status in place of a length
        AnswerForeign, // cut short, for another request, or a length the setting never has
    };
    static constexpr int SlotCount = 5;
    static constexpr int PointCount = 5;
    using TcrTable = std::array<uint16_t, SlotCount>;
    using TfrTable = std::array<uint16_t, SlotCount * PointCount>;

    Parameter();
    ~Parameter();
    Parameter(const Parameter &) = delete;
    Parameter &operator=(const Parameter &) = delete;

    int power() const { return m_power; }
    void setPower(int value) { m_power = value; }
    int overshootPower() const { return m_overshootPower; }
    void setOvershootPower(int value) { m_overshootPower = value; }
    int overshootTime() const { return m_overshootTime; }
    void setOvershootTime(int value) { m_overshootTime = value; }
    int screenTimeout() const { return m_screenTimeout; }
    void setScreenTimeout(int value) { m_screenTimeout = value; }
    int tempPower() const { return m_tempPower; }
    void setTempPower(int value) { m_tempPower = value; }
    int temperature() const { return m_temperature; }
    void setTemperature(int value) { m_temperature = value; }
    int tempOvershootTime() const { return m_tempOvershootTime; }
    void setTempOvershootTime(int value) { m_tempOvershootTime = value; }
    int workMode() const { return m_workMode; }
    void setWorkMode(int value) { m_workMode = value; }
    void setFahrenheit(int value) { m_fahrenheit = value; }

    uint8_t typeAndUnit() const { return m_typeAndUnit; }
    int atomizerType() const { return m_typeAndUnit & 0x7F; }
    int unitBit() const { return m_typeAndUnit >> 7; }
    void setAtomizerType(int index);

    int compensationC() const;
    int compensationF() const;
    void setCompensation(int value);

    const TcrTable &tcr() const { return m_tcr; }
    void setTcr(const TcrTable &values) { m_tcr = values; }
    const TfrTable &tfr() const { return m_tfr; }
    void setTfr(const TfrTable &values) { m_tfr = values; }

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

    // Payload builders: the payload is left in the record's stream, the result is its length.
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

    Stream *stream = nullptr;
    int32_t m_power = 0;
    int32_t m_overshootPower = 0;
    int32_t m_overshootTime = 0;
    int32_t m_screenTimeout = 0;
    int32_t m_tempPower = 0;
    int32_t m_temperature = 0;
    int32_t m_tempOvershootTime = 0;
    uint8_t m_typeAndUnit = 0;
    int8_t m_compensation = 0;
    int8_t m_compensationF = 0;
    int8_t m_compensationC = 0;
    int32_t m_fahrenheit = 0;
    TcrTable m_tcr{};
    TfrTable m_tfr{};
    int32_t m_workMode = 1;
};
