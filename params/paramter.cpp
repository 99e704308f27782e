#include "params/paramter.h"

#include "common/log.h"

namespace {

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

} // namespace

void Parameter::setAtomizerType(int index)
{
    m_typeAndUnit = uint8_t(m_fahrenheit ? index | 0x80 : index);
}

int Parameter::compensationC() const
{
    LOG_TRACE() << "temperatureCompensationCOUT=" << unsignedByte(m_compensationC);
    return m_compensationC;
}

int Parameter::compensationF() const
{
    LOG_TRACE() << "step 3" << unsignedByte(m_compensationF);
    return m_compensationF;
}

void Parameter::setCompensation(int value)
{
    const uint8_t byte = byteForm(value);
    LOG_TRACE() << "tt=" << int(byte);
    m_compensation = int8_t(byte);
    if (m_fahrenheit)
        m_compensationF = m_compensation;
    else
        m_compensationC = m_compensation;
    LOG_TRACE() << "catch 2" << int(byte);
    LOG_TRACE() << "step 2 " << int(m_compensation);
}

void Parameter::takeTypeAndCompensation(uint8_t typeAndUnit, int8_t fahrenheit, int8_t celsius)
{
    m_typeAndUnit = typeAndUnit;
    m_compensation = fahrenheit;
    m_compensationF = fahrenheit;
    m_compensationC = celsius;
    m_fahrenheit = typeAndUnit >> 7;
}
