#include "app/basicparameterpage.h"

#include "app/mainwindow.h"
#include "common/log.h"
#include "common/processstate.h"
#include "link/heaterlock.h"
#include "params/inputrules.h"
#include "params/paramter.h"
#include "params/units.h"
#include "protocol/protocol.h"
#include "ui_mainwindow.h"

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

Ui::MainWindow *BasicParameterPage::ui() const
{
    return window->form();
}

Protocol *BasicParameterPage::protocol() const
{
    return window->protocol();
}

Parameter *BasicParameterPage::record() const
{
    return window->protocol()->parameter();
}

void BasicParameterPage::readWorkMode()
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater) || !readInto(ReadWorkMode, WorkModeRead))
        return;
    // A changed index starts the work-mode change, which reads every tab again.
    ui()->comboBox_workmode->setCurrentIndex(uint8_t(record()->workMode()) - 1);
}

void BasicParameterPage::writeWorkMode()
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater))
        return;
    record()->setWorkMode(uint8_t(ui()->comboBox_workmode->currentIndex() + 1));
    writeOrWarn(WriteWorkMode, "Set Operate Mode", "设置工作模式", "Set Operate Mode  Failed", "设置工作模式失败");
}

void BasicParameterPage::readScreenTimeout()
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater) || !readInto(ReadScreenTimeout, ScreenTimeoutRead))
        return;
    ui()->lineEdit_dark->setText(Units::screenTimeoutText(record()->screenTimeout()));
}

void BasicParameterPage::writeScreenTimeout()
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater))
        return;
    record()->setScreenTimeout(Units::screenTimeoutCount(ui()->lineEdit_dark->text()));
    writeOrWarn(WriteScreenTimeout, "Set Screen timeout", "设置暗屏时间", "Set Screen timeout Failed",
                "设置暗屏时间失败");
}

void BasicParameterPage::writeOrWarn(int code, const char *englishTitle, const char *chineseTitle,
                                     const char *englishText, const char *chineseText)
{
    if (protocol()->writeParam(code) != Accepted)
        MainWindow::showInformation(window->byLanguage(englishTitle, chineseTitle),
                                    window->byLanguage(englishText, chineseText));
}

// Only an answer that carried the setting reaches the fields; after any other
// they keep what they showed, and the label tells of the failure.
bool BasicParameterPage::readInto(int code, Reading fields)
{
    const bool ok = protocol()->readParam(code) == 0;
    const bool failedBefore = unread != 0;
    unread = ok ? unread & ~fields : unread | fields;
    window->showReadOutcome(ui()->label_29, unread != 0, failedBefore, "Read fail", "读取失败");
    return ok;
}

void BasicParameterPage::save()
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater))
        return;
    if (unread != 0) {
        ui()->label_29->setText(window->byLanguage("Save fail: Read again first", "保存失败：请先重新读取"));
        return;
    }
    if (!window->checkBasic())
        return;
    window->set_work_mode();
    window->set_screen_timeout();
    Ui::MainWindow *form = ui();
    const int power = Units::powerCount(form->lineEdit_power->text());
    const int preheatPower = Units::powerCount(form->lineEdit_overshootPower->text());
    const int preheatTime = Units::preheatTimeCount(form->lineEdit_overshootTime->text());
    const int type = form->comboBox_type->currentIndex();
    const int temperature = InputRules::integerOf(form->lineEdit_temp->text());
    const int compensation = InputRules::integerOf(form->lineEdit_compensation_C->text());
    const int unit = form->comboBox_temp->currentIndex();

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
    window->showSaveResult(protocol()->writeParam(code) >= 0);
}

bool BasicParameterPage::showSaveResult(bool ok)
{
    ui()->label_29->setText(ok ? window->byLanguage("Save success", "保存成功")
                               : window->byLanguage("Save fail", "保存失败"));
    return ok;
}

void BasicParameterPage::read()
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkHeaterFree(heater))
        return;
    window->getWorkMode();
    window->get_screen_timeout();
    // Without the work mode it is not known which mode's settings to read.
    if (!window->checkUsbOpen() || (unread & WorkModeRead))
        return;
    if (record()->workMode() == TemperatureMode)
        readTemperatureMode();
    else
        readPowerMode();
    window->updateUnitLabels(ui()->comboBox_temp->currentIndex());
}

void BasicParameterPage::readTemperatureMode()
{
    if (!readInto(ReadTemperatureMode, ModeSettingsRead))
        return;
    const Parameter *p = record();
    LOG_TRACE() << "compensationc=" << p->compensationC();
    Ui::MainWindow *form = ui();
    form->lineEdit_temp->setEnabled(true);
    form->comboBox_temp->setEnabled(true);
    form->comboBox_type->setEnabled(true);
    form->lineEdit_overshootPower->setEnabled(false);
    form->comboBox_type->setCurrentIndex(p->atomizerType());
    form->lineEdit_temp->setText(QString::number(unsigned(p->temperature())));
    const bool fahrenheitShown = form->comboBox_temp->currentIndex() != 0;
    form->lineEdit_compensation_C->setText(QString::number(fahrenheitShown ? p->compensationF() : p->compensationC()));
    showPowerAndPreheatTime(p->tempPower(), p->tempOvershootTime());
    // Last: a unit change saves the whole tab, which must send back what was just read.
    form->comboBox_temp->setCurrentIndex(p->unitBit());
}

void BasicParameterPage::readPowerMode()
{
    if (!readInto(ReadPowerMode, ModeSettingsRead))
        return;
    const Parameter *p = record();
    Ui::MainWindow *form = ui();
    form->lineEdit_temp->setEnabled(false);
    form->comboBox_temp->setEnabled(false);
    form->comboBox_type->setEnabled(false);
    form->lineEdit_overshootPower->setEnabled(true);
    form->lineEdit_overshootPower->setText(Units::powerText(p->overshootPower()));
    showPowerAndPreheatTime(p->power(), p->overshootTime());
}

void BasicParameterPage::showPowerAndPreheatTime(int powerCount, int preheatTimeCount)
{
    ui()->lineEdit_power->setText(Units::powerText(powerCount));
    ui()->lineEdit_overshootTime->setText(Units::preheatTimeText(preheatTimeCount));
}

void BasicParameterPage::changeUnit(int index)
{
    window->baseValidatorInit();
    const Parameter *p = record();
    const bool fahrenheit = index != 0;
    Ui::MainWindow *form = ui();
    form->lineEdit_temp->setText(QString::number(shownTemperature(fahrenheit, *p)));
    form->lineEdit_compensation_C->setText(QString::number(fahrenheit ? p->compensationF() : p->compensationC()));
    window->setPower();
    window->updateUnitLabels(index);
}

void BasicParameterPage::changeWorkMode(int index)
{
    const bool temperatureMode = index != 0;
    Ui::MainWindow *form = ui();
    form->lineEdit_temp->setEnabled(temperatureMode);
    form->comboBox_temp->setEnabled(temperatureMode);
    form->comboBox_type->setEnabled(temperatureMode);
    form->lineEdit_compensation_C->setEnabled(temperatureMode);
    form->lineEdit_overshootPower->setEnabled(!temperatureMode);
    if (temperatureMode)
        form->label_21->hide();
    tcModeFlag = temperatureMode ? 1 : 0;
    window->set_work_mode();
    window->readAllParameters();
    window->baseValidatorInit();
}
