#include "app/basicparameterpage.h"

#include "app/inputvalidators.h"
#include "app/pagehost.h"
#include "common/log.h"
#include "common/processstate.h"
#include "link/heaterlock.h"
#include "params/inputrules.h"
#include "params/paramter.h"
#include "params/units.h"
#include "protocol/protocol.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int TemperatureMode = 2;

constexpr int WritePowerMode = Parameter::PowerCommand;
constexpr int WriteScreenTimeout = Parameter::ScreenTimeoutCommand;
constexpr int WriteTemperatureMode = Parameter::TemperatureCommand;
constexpr int WriteWorkMode = Parameter::WorkModeCommand;
constexpr int ReadPowerMode = Parameter::ReadRequest + WritePowerMode;
constexpr int ReadScreenTimeout = Parameter::ReadRequest + WriteScreenTimeout;
constexpr int ReadTemperatureMode = Parameter::ReadRequest + WriteTemperatureMode;
constexpr int ReadWorkMode = Parameter::ReadRequest + WriteWorkMode;

constexpr int Accepted = 1;

// The last target temperature read or written, in the unit about to be shown:
// converted when the record holds the other unit, kept within the unit's range.
int shownTemperature(bool fahrenheit, const Parameter &record)
{
    const uint32_t stored = uint32_t(record.temperature());
    if (fahrenheit != (record.unitBit() != 0))
        return fahrenheit ? Units::fahrenheitOf(stored) : Units::celsiusOf(stored);
    const InputRules::IntRange range = InputRules::temperatureRange(fahrenheit);
    return int(qBound<int64_t>(range.min, stored, range.max));
}

} // namespace

Protocol *BasicParameterPage::protocol() const
{
    return host.protocol();
}

Parameter *BasicParameterPage::record() const
{
    return host.protocol()->parameter();
}

void BasicParameterPage::readWorkMode()
{
    const HeaterLock heater(*protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater) || !readInto(ReadWorkMode, WorkModeRead))
        return;
    // A changed index starts the work-mode change, which reads every tab again.
    w.comboBox_workmode->setCurrentIndex(uint8_t(record()->workMode()) - 1);
}

void BasicParameterPage::writeWorkMode()
{
    const HeaterLock heater(*protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater))
        return;
    record()->setWorkMode(uint8_t(w.comboBox_workmode->currentIndex() + 1));
    writeOrWarn(WriteWorkMode, "Set Operate Mode", "设置工作模式", "Set Operate Mode  Failed", "设置工作模式失败");
}

void BasicParameterPage::readScreenTimeout()
{
    const HeaterLock heater(*protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater) || !readInto(ReadScreenTimeout, ScreenTimeoutRead))
        return;
    w.lineEdit_dark->setText(Units::screenTimeoutText(record()->screenTimeout()));
}

void BasicParameterPage::writeScreenTimeout()
{
    const HeaterLock heater(*protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater))
        return;
    record()->setScreenTimeout(Units::screenTimeoutCount(w.lineEdit_dark->text()));
    writeOrWarn(WriteScreenTimeout, "Set Screen timeout", "设置暗屏时间", "Set Screen timeout Failed",
                "设置暗屏时间失败");
}

void BasicParameterPage::writeOrWarn(int code, const char *englishTitle, const char *chineseTitle,
                                     const char *englishText, const char *chineseText)
{
    if (protocol()->writeParam(code) != Accepted)
        PageHost::showInformation(host.byLanguage(englishTitle, chineseTitle),
                                  host.byLanguage(englishText, chineseText));
}

// Only an answer that carried the setting reaches the fields; after any other
// they keep what they showed, and the label tells of the failure.
bool BasicParameterPage::readInto(int code, Reading fields)
{
    const bool ok = protocol()->readParam(code) == 0;
    const bool failedBefore = unread != 0;
    unread = ok ? unread & ~fields : unread | fields;
    host.showReadOutcome(w.label_29, unread != 0, failedBefore, "Read fail", "读取失败");
    return ok;
}

void BasicParameterPage::save()
{
    const HeaterLock heater(*protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater))
        return;
    if (unread != 0) {
        w.label_29->setText(host.byLanguage("Save fail: Read again first", "保存失败：请先重新读取"));
        return;
    }
    if (!check())
        return;
    writeWorkMode();
    writeScreenTimeout();
    const int power = Units::powerCount(w.lineEdit_power->text());
    const int preheatPower = Units::powerCount(w.lineEdit_overshootPower->text());
    const int preheatTime = Units::preheatTimeCount(w.lineEdit_overshootTime->text());
    const int type = w.comboBox_type->currentIndex();
    const int temperature = InputRules::integerOf(w.lineEdit_temp->text());
    const int compensation = InputRules::integerOf(w.lineEdit_compensation_C->text());
    const int unit = w.comboBox_temp->currentIndex();

    Parameter *p = record();
    int code = WritePowerMode;
    if (p->workMode() == TemperatureMode) {
        // The unit first: the type byte and the compensation slot depend on it.
        p->setFahrenheit(unit);
        p->setTempPower(power);
        p->setTempOvershootTime(preheatTime);
        p->setAtomizerType(type);
        p->setTemperature(temperature);
        p->setCompensation(compensation);
        code = WriteTemperatureMode;
    } else {
        p->setPower(power);
        p->setOvershootPower(preheatPower);
        p->setOvershootTime(preheatTime);
        p->setTemperature(temperature);
    }
    // Any status counts as saved; a failed exchange, or an answer to something else, does not.
    showSaveResult(protocol()->writeParam(code) >= 0);
}

bool BasicParameterPage::showSaveResult(bool ok)
{
    w.label_29->setText(ok ? host.byLanguage("Save success", "保存成功") : host.byLanguage("Save fail", "保存失败"));
    return ok;
}

void BasicParameterPage::read()
{
    const HeaterLock heater(*protocol()->port());
    if (!host.checkHeaterFree(heater))
        return;
    readWorkMode();
    readScreenTimeout();
    // Without the work mode it is not known which mode's settings to read.
    if (!host.checkUsbOpen() || (unread & WorkModeRead))
        return;
    if (record()->workMode() == TemperatureMode)
        readTemperatureMode();
    else
        readPowerMode();
    updateUnitLabels(w.comboBox_temp->currentIndex());
}

void BasicParameterPage::readTemperatureMode()
{
    if (!readInto(ReadTemperatureMode, ModeSettingsRead))
        return;
    const Parameter *p = record();
    LOG_TRACE() << "compensationc=" << p->compensationC();
    w.lineEdit_temp->setEnabled(true);
    w.comboBox_temp->setEnabled(true);
    w.comboBox_type->setEnabled(true);
    w.lineEdit_overshootPower->setEnabled(false);
    w.comboBox_type->setCurrentIndex(p->atomizerType());
    w.lineEdit_temp->setText(QString::number(unsigned(p->temperature())));
    const bool fahrenheitShown = w.comboBox_temp->currentIndex() != 0;
    w.lineEdit_compensation_C->setText(QString::number(fahrenheitShown ? p->compensationF() : p->compensationC()));
    showPowerAndPreheatTime(p->tempPower(), p->tempOvershootTime());
    // Last: a unit change saves the whole tab, which must send back what was just read.
    w.comboBox_temp->setCurrentIndex(p->unitBit());
}

void BasicParameterPage::readPowerMode()
{
    if (!readInto(ReadPowerMode, ModeSettingsRead))
        return;
    const Parameter *p = record();
    w.lineEdit_temp->setEnabled(false);
    w.comboBox_temp->setEnabled(false);
    w.comboBox_type->setEnabled(false);
    w.lineEdit_overshootPower->setEnabled(true);
    w.lineEdit_overshootPower->setText(Units::powerText(p->overshootPower()));
    showPowerAndPreheatTime(p->power(), p->overshootTime());
}

void BasicParameterPage::showPowerAndPreheatTime(int powerCount, int preheatTimeCount)
{
    w.lineEdit_power->setText(Units::powerText(powerCount));
    w.lineEdit_overshootTime->setText(Units::preheatTimeText(preheatTimeCount));
}

void BasicParameterPage::changeUnit(int index)
{
    installValidators();
    const Parameter *p = record();
    const bool fahrenheit = index != 0;
    w.lineEdit_temp->setText(QString::number(shownTemperature(fahrenheit, *p)));
    w.lineEdit_compensation_C->setText(QString::number(fahrenheit ? p->compensationF() : p->compensationC()));
    save();
    updateUnitLabels(index);
}

void BasicParameterPage::changeWorkMode(int index)
{
    const bool temperatureMode = index != 0;
    w.lineEdit_temp->setEnabled(temperatureMode);
    w.comboBox_temp->setEnabled(temperatureMode);
    w.comboBox_type->setEnabled(temperatureMode);
    w.lineEdit_compensation_C->setEnabled(temperatureMode);
    w.lineEdit_overshootPower->setEnabled(!temperatureMode);
    if (temperatureMode)
        w.label_21->hide();
    tcModeFlag = temperatureMode ? 1 : 0;
    writeWorkMode();
    host.readAllParameters();
    installValidators();
}

void BasicParameterPage::installValidators()
{
    InputValidators::installBasic(w, w.window);
}

bool BasicParameterPage::check()
{
    return InputValidators::checkBasic(w, record()->workMode(), host.currentLanguage());
}

void BasicParameterPage::updateUnitLabels(int unitIndex)
{
    const QString unit = unitIndex == 1 ? QStringLiteral("   ℉") : QStringLiteral("   ℃");
    w.label_27->setText(unit);
    w.label_106->setText(unit);
}
