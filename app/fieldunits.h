#pragma once

#include <QString>
#include <cstdint>

// How the numbers typed on the parameter pages become the device's counts and
// how counts are shown again. Products truncate toward zero; the factors lie a
// little above the unit so that decimal fractions such as 30.5 or 9.999, which
// binary cannot hold exactly, still give their whole count.
class FieldUnits
{
public:
    static int tenths(const QString &watts);                    // 30.5 -> 305
    static int thousandths(const QString &seconds);             // 9.999 -> 9999
    static uint16_t screenTimeoutCount(const QString &seconds); // hundredths: 10 -> 1000
    static QString screenTimeoutText(int count);                // whole seconds, low 8 bits: 3000 -> "30"
    static uint16_t coefficientCount(const QString &text);      // ten-thousandths: 1.2345 -> 12345
    static QString coefficientText(int count);                  // 12345 -> "1.2345"
    // General form with six significant digits, no trailing zeros.
    static QString shown(double value);

    // The target temperature in the shown unit, from the stored one in its own
    // unit, rounded and clamped to the shown unit's range.
    static unsigned temperatureIn(bool fahrenheit, unsigned stored, bool storedFahrenheit);
};
