#include "params/inputrules.h"

#include "params/paramter.h"

#include <cmath>

namespace {

constexpr int TemperatureMode = 2;

QString pick(int language, const char *english, const char *chinese)
{
    return QString::fromUtf8(language == 0 ? english : chinese);
}

// The message when the check failed, else an empty text.
QString failure(bool failed, int language, const char *english, const char *chinese)
{
    return failed ? pick(language, english, chinese) : QString();
}

bool outside(int value, const InputRules::IntRange &range)
{
    return value < range.min || value > range.max;
}

bool outside(double value, const InputRules::RealRange &range)
{
    return value < range.min || value > range.max;
}

} // namespace

InputRules::IntRange InputRules::temperatureRange(bool fahrenheit)
{
    return fahrenheit ? TemperatureFahrenheitRange : TemperatureCelsiusRange;
}

InputRules::IntRange InputRules::compensationRange(bool fahrenheit)
{
    return fahrenheit ? CompensationFahrenheitRange : CompensationCelsiusRange;
}

int InputRules::integerOf(const QString &text)
{
    return text.toInt(nullptr, 10);
}

double InputRules::realOf(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    // "nan" would pass every range comparison and "inf" cannot become a count.
    return ok && std::isfinite(value) ? value : 0.0;
}

QString InputRules::checkScreenTimeout(const QString &text, int language)
{
    return failure(outside(integerOf(text), ScreenTimeoutRange), language, "Error    Screen timeout in [10,60] s",
                   "错误    暗屏时间 范围 [10,60] 秒");
}

QString InputRules::checkPower(const QString &text, int language)
{
    return failure(outside(realOf(text), PowerRange), language, "Error    Power Value in [10.0, 300.0] W",
                   "错误    功率值范围 [10.0, 300.0] 瓦");
}

QString InputRules::checkPreheatTime(const QString &text, int workMode, int language)
{
    if (workMode == TemperatureMode)
        return failure(outside(realOf(text), PreheatTimeTemperatureModeRange), language,
                       "Error    Preheat Time in [0.02, 9.999] s", "错误    预热时间范围 [0.02, 9.999] 秒");
    return failure(outside(realOf(text), PreheatTimeRange), language, "Error    Preheat Time in [0.1, 9.999] s",
                   "错误    预热时间范围 [0.1, 9.999] 秒");
}

QString InputRules::checkPreheatPower(const QString &text, int language)
{
    return failure(outside(realOf(text), PowerRange), language, "Error    Preheat Power in [10.0, 300.0] W",
                   "错误    预热功率范围 [10.0, 300.0] 瓦");
}

QString InputRules::checkTemperature(const QString &text, bool fahrenheit, int language)
{
    const bool failed = outside(integerOf(text), temperatureRange(fahrenheit));
    if (fahrenheit)
        return failure(failed, language, "Error    Temperature in [200, 572] ℉", "错误    温度值范围 [200, 572] ℉");
    return failure(failed, language, "Error    Temperature in [100, 300] ℃", "错误    温度值范围 [100, 300] ℃");
}

QString InputRules::checkCompensation(const QString &text, bool fahrenheit, int language)
{
    const bool failed = outside(integerOf(text), compensationRange(fahrenheit));
    if (fahrenheit)
        return failure(failed, language, "Error    Compensation in [-95, 104] ℉", "错误    温度补偿范围 [-95, 104] ℉");
    return failure(failed, language, "Error    Compensation in [-35, 40] ℃", "错误    温度补偿范围 [-35, 40] ℃");
}

QString InputRules::checkTCR(const QStringList &texts, int language)
{
    for (int i = 0; i < Parameter::SlotCount; ++i) {
        if (outside(realOf(texts.value(i)), CoefficientRange))
            return pick(language, "Error    TCR M%1 in [0, 6.0000]", "错误    TCR M%1 范围 [0, 6.0000]").arg(i + 1);
    }
    return QString();
}

QString InputRules::checkTFR(const QStringList &texts, int language)
{
    for (int i = 0; i < Parameter::SlotCount * Parameter::PointCount; ++i) {
        if (!outside(realOf(texts.value(i)), CoefficientRange))
            continue;
        const int slot = i / Parameter::PointCount + 1;
        const int celsius = (i % Parameter::PointCount) * 50 + 100;
        return pick(language, "Error    TFR (M%1, %2℃) in [0, 6.0000]", "错误    TFR (M%1, %2℃) 范围 [0, 6.0000]")
            .arg(slot)
            .arg(celsius);
    }
    return QString();
}

QString InputRules::checkBasic(const BasicTexts &texts, int language)
{
    QString message = checkScreenTimeout(texts.screenTimeout, language);
    if (message.isEmpty())
        message = checkPower(texts.power, language);
    if (message.isEmpty())
        message = checkPreheatTime(texts.preheatTime, texts.workMode, language);
    if (!message.isEmpty())
        return message;
    if (texts.workMode != TemperatureMode)
        return checkPreheatPower(texts.preheatPower, language);
    message = checkTemperature(texts.temperature, texts.fahrenheit, language);
    return message.isEmpty() ? checkCompensation(texts.compensation, texts.fahrenheit, language) : message;
}
