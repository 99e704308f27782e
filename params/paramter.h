#pragma once

#include <array>
#include <cstdint>

// The device's settings as the program knows them. Every value is an integer in
// the unit the device uses; the pages do the conversions, the protocol's codec
// puts them on the wire and takes them from the device's answers.
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
    static constexpr int SlotCount = 5;
    static constexpr int PointCount = 5;
    using TcrTable = std::array<uint16_t, SlotCount>;
    using TfrTable = std::array<uint16_t, SlotCount * PointCount>;

    Parameter() = default;
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

    // The compensation bytes as kept, without the getters' traces: the one the
    // next temperature-mode write sends, and the one of each unit.
    int8_t compensationToSend() const { return m_compensation; }
    int8_t compensationByteF() const { return m_compensationF; }
    int8_t compensationByteC() const { return m_compensationC; }
    // What a temperature-mode answer says: type and unit byte, then the
    // compensation in ℉ (also the one to send) and in ℃.
    void takeTypeAndCompensation(uint8_t typeAndUnit, int8_t fahrenheit, int8_t celsius);

private:
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
