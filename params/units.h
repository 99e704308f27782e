#pragma once

#include <QString>
#include <cstdint>

// The numbers people type and read (watts, seconds, degrees, coefficients) and
// the integers the parameter record and the device count in. Entry texts are
// read as the range checks read them and truncated toward zero; the factors
// carry a little extra so that decimal fractions such as 30.3 W do not lose a
// count to their binary representation. Counts are shown in the general form
// with six significant digits.
class Units
{
public:
    static int powerCount(const QString &watts);             // tenths of a watt
    static int preheatTimeCount(const QString &seconds);     // milliseconds
    static int screenTimeoutCount(const QString &seconds);   // hundredths of a second, low 16 bits
    static uint16_t coefficientCount(const QString &factor); // ten-thousandths, low 16 bits (TCR, TFR)

    static QString powerText(int count);
    static QString preheatTimeText(int count);
    static QString screenTimeoutText(int count); // whole seconds, low 8 bits
    static QString coefficientText(int count);

    // A temperature kept in one unit shown in the other, clamped to that unit's range.
    static int fahrenheitOf(uint32_t celsius);
    static int celsiusOf(uint32_t fahrenheit);
};
