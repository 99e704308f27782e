#include "params/units.h"

#include "params/inputrules.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr double PowerFactor = 10.00001;
constexpr double TimeFactor = 1000.00001;
constexpr double ScreenTimeoutFactor = 100.001;
constexpr double CoefficientFactor = 10000.001;

// Truncates toward zero; values beyond an int are held at its ends.
int truncated(double value)
{
    return int(std::clamp(std::trunc(value), double(INT_MIN), double(INT_MAX)));
}

QString general(double value)
{
    return QString::number(value, 'g', 6);
}

int clamped(double value, const InputRules::IntRange &range)
{
    return int(std::clamp(std::trunc(value), double(range.min), double(range.max)));
}

} // namespace

int Units::powerCount(const QString &watts)
{
    return truncated(InputRules::realOf(watts) * PowerFactor);
}

int Units::preheatTimeCount(const QString &seconds)
{
    return truncated(InputRules::realOf(seconds) * TimeFactor);
}

int Units::screenTimeoutCount(const QString &seconds)
{
    return truncated(InputRules::integerOf(seconds) * ScreenTimeoutFactor) & 0xFFFF;
}

uint16_t Units::coefficientCount(const QString &factor)
{
    return uint16_t(truncated(InputRules::realOf(factor) * CoefficientFactor));
}

QString Units::powerText(int count)
{
    return general(count / 10.0);
}

QString Units::preheatTimeText(int count)
{
    return general(count / 1000.0);
}

QString Units::screenTimeoutText(int count)
{
    return QString::number((count / 100) & 0xFF);
}

QString Units::coefficientText(int count)
{
    return general(count / 10000.0);
}

int Units::fahrenheitOf(uint32_t celsius)
{
    return clamped(celsius * 1.8 + 32.0 + 0.5, InputRules::TemperatureFahrenheitRange);
}

// The subtraction stays unsigned, as the parameter page has always done it: a
// stored value below 32 wraps around and shows as the top of the range.
int Units::celsiusOf(uint32_t fahrenheit)
{
    return clamped(double(fahrenheit - 32u) / 1.8 + 0.5, InputRules::TemperatureCelsiusRange);
}
