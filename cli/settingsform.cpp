#include "cli/settingsform.h"

#include "cli/assignments.h"
#include "params/inputrules.h"
#include "params/paramter.h"
#include "params/units.h"

#include <algorithm>

namespace {

constexpr int PowerMode = 1;
constexpr int TemperatureMode = 2;
constexpr int English = 0;

enum Code {
    PowerSettings = Parameter::PowerCommand,
    ScreenTimeout = Parameter::ScreenTimeoutCommand,
    TemperatureSettings = Parameter::TemperatureCommand,
    Tcr = Parameter::TcrCommand,
    Tfr = Parameter::TfrCommand,
    WorkMode = Parameter::WorkModeCommand,
};

// The window's save order: the work mode before what depends on it.
const QList<int> SendingOrder = {WorkMode, ScreenTimeout, PowerSettings, TemperatureSettings, Tcr, Tfr};

bool inMode(const QString &key)
{
    return key == "power" || key == "preheat-time";
}

int codeOf(const QString &key, int mode)
{
    if (key == "mode")
        return WorkMode;
    if (key == "screen-timeout")
        return ScreenTimeout;
    if (inMode(key))
        return mode == TemperatureMode ? TemperatureSettings : PowerSettings;
    if (key == "preheat-power")
        return PowerSettings;
    if (key.startsWith("tcr."))
        return Tcr;
    if (key.startsWith("tfr."))
        return Tfr;
    return TemperatureSettings;
}

template <typename Table> Table countsOf(const QStringList &texts)
{
    Table table{};
    std::transform(texts.begin(), texts.end(), table.begin(), Units::coefficientCount);
    return table;
}

} // namespace

SettingsForm::SettingsForm(Parameter &parameters, const QMap<QString, QString> &values)
    : record(parameters), given(values)
{}

QList<SettingRow> SettingsForm::rows() const
{
    QList<SettingRow> shown;
    for (const QString &key : Assignments::keys())
        shown << SettingRow{key, value(key), unitOf(key)};
    return shown;
}

QList<int> SettingsForm::codes() const
{
    QList<int> needed;
    for (const QString &key : given.keys())
        needed << codeOf(key, mode());
    QList<int> ordered;
    std::copy_if(SendingOrder.begin(), SendingOrder.end(), std::back_inserter(ordered),
                 [&needed](int code) { return needed.contains(code); });
    return ordered;
}

QString SettingsForm::check() const
{
    const QList<int> sent = codes();
    QString message;
    for (int checkedMode : {PowerMode, TemperatureMode}) {
        if (!message.isEmpty() || !sent.contains(checkedMode == PowerMode ? PowerSettings : TemperatureSettings))
            continue;
        InputRules::BasicTexts texts;
        texts.screenTimeout = value("screen-timeout");
        texts.power = value("power", checkedMode);
        texts.preheatTime = value("preheat-time", checkedMode);
        texts.preheatPower = value("preheat-power");
        texts.temperature = value("temperature");
        texts.compensation = value("compensation");
        texts.workMode = checkedMode;
        texts.fahrenheit = fahrenheit();
        message = InputRules::checkBasic(texts, English);
    }
    if (message.isEmpty() && sent.contains(ScreenTimeout))
        message = InputRules::checkScreenTimeout(value("screen-timeout"), English);
    if (message.isEmpty() && sent.contains(Tcr))
        message = InputRules::checkTCR(coefficients("tcr."), English);
    if (message.isEmpty() && sent.contains(Tfr))
        message = InputRules::checkTFR(coefficients("tfr."), English);
    return message;
}

void SettingsForm::store(int code)
{
    switch (code) {
    case WorkMode:
        record.setWorkMode(mode());
        break;
    case ScreenTimeout:
        record.setScreenTimeout(Units::screenTimeoutCount(value("screen-timeout")));
        break;
    case PowerSettings:
        record.setPower(Units::powerCount(value("power", PowerMode)));
        record.setOvershootPower(Units::powerCount(value("preheat-power")));
        record.setOvershootTime(Units::preheatTimeCount(value("preheat-time", PowerMode)));
        break;
    case TemperatureSettings: {
        // Every value is taken before the unit changes underneath them.
        const int power = Units::powerCount(value("power", TemperatureMode));
        const int preheatTime = Units::preheatTimeCount(value("preheat-time", TemperatureMode));
        const QString atomizer = value("atomizer");
        const int temperature = InputRules::integerOf(value("temperature"));
        const int compensation = InputRules::integerOf(value("compensation"));
        const int named = Assignments::atomizerNames().indexOf(atomizer);
        record.setFahrenheit(fahrenheit() ? 1 : 0);
        record.setTempPower(power);
        record.setTempOvershootTime(preheatTime);
        record.setAtomizerType(named >= 0 ? named : atomizer.toInt());
        record.setTemperature(temperature);
        record.setCompensation(compensation);
        break;
    }
    case Tcr:
        record.setTcr(countsOf<Parameter::TcrTable>(coefficients("tcr.")));
        break;
    case Tfr:
        record.setTfr(countsOf<Parameter::TfrTable>(coefficients("tfr.")));
        break;
    }
}

int SettingsForm::mode() const
{
    if (given.contains("mode"))
        return given["mode"] == "temp" ? TemperatureMode : PowerMode;
    return record.workMode() == TemperatureMode ? TemperatureMode : PowerMode;
}

bool SettingsForm::fahrenheit() const
{
    return given.contains("unit") ? given["unit"] == "F" : record.unitBit() == 1;
}

QString SettingsForm::value(const QString &key) const
{
    return value(key, mode());
}

// Power and preheat time given on the command line are those of the mode in
// effect; the other mode's stay as the device holds them.
QString SettingsForm::value(const QString &key, int inModeOf) const
{
    if (given.contains(key) && (!inMode(key) || inModeOf == mode()))
        return given[key];
    return held(key, inModeOf);
}

QString SettingsForm::held(const QString &key, int inModeOf) const
{
    const bool temperatureMode = inModeOf == TemperatureMode;
    if (key == "mode")
        return temperatureMode ? "temp" : "power";
    if (key == "screen-timeout")
        return Units::screenTimeoutText(record.screenTimeout());
    if (key == "power")
        return Units::powerText(temperatureMode ? record.tempPower() : record.power());
    if (key == "preheat-time")
        return Units::preheatTimeText(temperatureMode ? record.tempOvershootTime() : record.overshootTime());
    if (key == "preheat-power")
        return Units::powerText(record.overshootPower());
    if (key == "temperature")
        return heldTemperature();
    if (key == "unit")
        return fahrenheit() ? "F" : "C";
    if (key == "compensation")
        return QString::number(fahrenheit() ? record.compensationF() : record.compensationC());
    if (key == "atomizer")
        return Assignments::atomizerNames().value(record.atomizerType(), QString::number(record.atomizerType()));
    const int index = Assignments::keys().indexOf(key) - Assignments::keys().indexOf("tcr.M1");
    if (index < Parameter::SlotCount)
        return Units::coefficientText(record.tcr()[size_t(index)]);
    return Units::coefficientText(record.tfr()[size_t(index - Parameter::SlotCount)]);
}

QString SettingsForm::heldTemperature() const
{
    const uint32_t kept = uint32_t(record.temperature());
    if (fahrenheit() == (record.unitBit() == 1))
        return QString::number(kept);
    return QString::number(fahrenheit() ? Units::fahrenheitOf(kept) : Units::celsiusOf(kept));
}

QString SettingsForm::unitOf(const QString &key) const
{
    if (key == "power" || key == "preheat-power")
        return "W";
    if (key == "screen-timeout" || key == "preheat-time")
        return "s";
    if (key == "temperature" || key == "compensation")
        return fahrenheit() ? "℉" : "℃";
    return QString();
}

QStringList SettingsForm::coefficients(const QString &prefix) const
{
    QStringList texts;
    for (const QString &key : Assignments::keys())
        if (key.startsWith(prefix))
            texts << value(key);
    return texts;
}
