#include "app/fieldunits.h"

#include "params/inputrules.h"

#include <cmath>
#include <limits>

namespace {

// Toward zero, and held within int so that no text can overflow the conversion.
int truncated(double value)
{
    const double whole = std::trunc(value);
    if (whole <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (whole >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return int(whole);
}

int scaled(const QString &text, double factor)
{
    return truncated(InputRules::realOf(text) * factor);
}

} // namespace

int FieldUnits::tenths(const QString &watts)
{
    return scaled(watts, 10.00001);
}

int FieldUnits::thousandths(const QString &seconds)
{
    return scaled(seconds, 1000.00001);
}

uint16_t FieldUnits::screenTimeoutCount(const QString &seconds)
{
    return uint16_t(truncated(InputRules::integerOf(seconds) * 100.001));
}

QString FieldUnits::screenTimeoutText(int count)
{
    return QString::number(uint8_t(count / 100));
}

uint16_t FieldUnits::coefficientCount(const QString &text)
{
    return uint16_t(scaled(text, 10000.001));
}

QString FieldUnits::coefficientText(int count)
{
    return shown(count / 10000.0);
}

QString FieldUnits::shown(double value)
{
    return QString::number(value, 'g', 6);
}

unsigned FieldUnits::temperatureIn(bool fahrenheit, unsigned stored, bool storedFahrenheit)
{
    double value = stored;
    if (fahrenheit && !storedFahrenheit)
        value = stored * 1.8 + 32.0 + 0.5;
    else if (!fahrenheit && storedFahrenheit)
        value = uint32_t(stored - 32u) / 1.8 + 0.5; // below 32 wraps round to the top of the range
    const InputRules::IntRange range = InputRules::temperatureRange(fahrenheit);
    // Clamping before the truncation gives the same whole number and keeps it within range.
    return unsigned(std::fmin(std::fmax(value, range.min), range.max));
}
