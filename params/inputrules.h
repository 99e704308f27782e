#pragma once

#include <QString>
#include <QStringList>

// What the parameter pages let through: the whole-text patterns of the entry
// fields' validators while typing, and the range checks run before a save.
// A check returns the failure message in the given language (0 English,
// otherwise Chinese), or an empty text when the value is accepted. Text that
// does not convert counts as 0.
class InputRules
{
public:
    struct IntRange
    {
        int min;
        int max;
    };
    struct RealRange
    {
        double min;
        double max;
    };

    static constexpr const char *PowerPattern = R"re(^((300|[1-2]\d{1,2}|[3-9]\d)(\.\d)?)$)re";
    static constexpr const char *PreheatPowerPattern = R"re(^([+]?(300|[1-2]\d{1,2}|[3-9]\d)(\.\d)?)$)re";
    static constexpr const char *PreheatTimePowerModePattern =
        R"re(^([+]?(0(\.[1-9]\d{0,2})?)|([1-9](\.\d{0,3})?))$)re";
    static constexpr const char *PreheatTimeTemperatureModePattern =
        R"re(^([+]?(0(\.0[2-9][1-9]?)?)|(0\.[1-9]\d{0,2})|([1-9](\.\d{0,3})?))$)re";
    static constexpr const char *CompensationFahrenheitPattern =
        R"re(^((-9[0-5])|(-[1-8](\d)?)|(-\d)|([+]?0)|([+]?10[0-4])|([+]?[1-9][0-9]))$)re";
    static constexpr const char *CompensationCelsiusPattern =
        R"re(^((-3[0-5])|(-[1-2](\d)?)|(-\d)|([+]?0)|([+]?40?)|([+]?[1-3]\d?)|([+]?[4-9]))$)re";
    static constexpr const char *CoefficientPattern = R"re(^([012345](\.\d{1,4})?)$)re"; // TCR and TFR

    static constexpr IntRange ScreenTimeoutRange{10, 60};
    static constexpr IntRange TemperatureCelsiusRange{100, 300};
    static constexpr IntRange TemperatureFahrenheitRange{200, 572};
    static constexpr IntRange CompensationCelsiusRange{-35, 40};
    static constexpr IntRange CompensationFahrenheitRange{-95, 104};
    static constexpr RealRange PowerRange{10.0, 300.0}; // power and preheat power
    static constexpr RealRange PreheatTimeRange{0.1, 9.999};
    static constexpr RealRange PreheatTimeTemperatureModeRange{0.02, 9.999};
    static constexpr RealRange CoefficientRange{0.0, 6.0};

    static IntRange temperatureRange(bool fahrenheit);
    static IntRange compensationRange(bool fahrenheit);

    static int integerOf(const QString &text);
    static double realOf(const QString &text);

    static QString checkScreenTimeout(const QString &text, int language);
    static QString checkPower(const QString &text, int language);
    static QString checkPreheatTime(const QString &text, int workMode, int language);
    static QString checkPreheatPower(const QString &text, int language);
    static QString checkTemperature(const QString &text, bool fahrenheit, int language);
    static QString checkCompensation(const QString &text, bool fahrenheit, int language);
    static QString checkTCR(const QStringList &texts, int language); // M1..M5
    static QString checkTFR(const QStringList &texts, int language); // M1 points 1..5, M2 ..., M5

    struct BasicTexts
    {
        QString screenTimeout;
        QString power;
        QString preheatTime;
        QString preheatPower;
        QString temperature;
        QString compensation;
        int workMode = 1; // 2: temperature mode
        bool fahrenheit = false;
    };
    // The basic page's checks in order; the first failure's message, or empty.
    static QString checkBasic(const BasicTexts &texts, int language);
};
