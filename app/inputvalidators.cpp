#include "app/inputvalidators.h"

#include "app/coilfields.h"
#include "params/inputrules.h"
#include "ui_mainwindow.h"

#include <QIntValidator>
#include <QRegularExpressionValidator>

namespace {

constexpr int TemperatureModeIndex = 1;
constexpr int FahrenheitIndex = 1;

QValidator *pattern(const char *expression, QObject *owner)
{
    return new QRegularExpressionValidator(QRegularExpression(QString::fromUtf8(expression)), owner);
}

QValidator *range(const InputRules::IntRange &bounds, QObject *owner)
{
    return new QIntValidator(bounds.min, bounds.max, owner);
}

void install(QLineEdit *field, QValidator *validator, QObject *owner)
{
    const QValidator *replaced = field->validator();
    field->setValidator(validator);
    // Mode and unit changes install afresh; the one replaced serves no field any more.
    if (replaced && replaced->parent() == owner)
        delete replaced;
}

void installShared(const QVector<QLineEdit *> &fields, QValidator *validator)
{
    for (QLineEdit *field : fields)
        field->setValidator(validator);
}

bool passed(const QString &message, QLabel *label)
{
    if (message.isEmpty())
        return true;
    label->setText(message);
    return false;
}

} // namespace

void InputValidators::installBasic(Ui::MainWindow *ui, QObject *owner)
{
    install(ui->lineEdit_power, pattern(InputRules::PowerPattern, owner), owner);
    install(ui->lineEdit_dark, range(InputRules::ScreenTimeoutRange, owner), owner);
    if (ui->comboBox_workmode->currentIndex() != TemperatureModeIndex) {
        install(ui->lineEdit_overshootPower, pattern(InputRules::PreheatPowerPattern, owner), owner);
        install(ui->lineEdit_overshootTime, pattern(InputRules::PreheatTimePowerModePattern, owner), owner);
        return;
    }
    const bool fahrenheit = ui->comboBox_temp->currentIndex() == FahrenheitIndex;
    install(ui->lineEdit_overshootTime, pattern(InputRules::PreheatTimeTemperatureModePattern, owner), owner);
    install(
        ui->lineEdit_compensation_C,
        pattern(fahrenheit ? InputRules::CompensationFahrenheitPattern : InputRules::CompensationCelsiusPattern, owner),
        owner);
    install(ui->lineEdit_temp, range(InputRules::temperatureRange(fahrenheit), owner), owner);
}

void InputValidators::installCoefficients(Ui::MainWindow *ui, QObject *owner)
{
    installShared(CoilFields::tcr(ui), pattern(InputRules::CoefficientPattern, owner));
    installShared(CoilFields::tfr(ui), pattern(InputRules::CoefficientPattern, owner));
}

bool InputValidators::checkBasic(Ui::MainWindow *ui, int workMode, int language)
{
    InputRules::BasicTexts texts;
    texts.screenTimeout = ui->lineEdit_dark->text();
    texts.power = ui->lineEdit_power->text();
    texts.preheatTime = ui->lineEdit_overshootTime->text();
    texts.preheatPower = ui->lineEdit_overshootPower->text();
    texts.temperature = ui->lineEdit_temp->text();
    texts.compensation = ui->lineEdit_compensation_C->text();
    texts.workMode = workMode;
    texts.fahrenheit = ui->comboBox_temp->currentIndex() == FahrenheitIndex;
    return passed(InputRules::checkBasic(texts, language), ui->label_29);
}

bool InputValidators::checkTCR(Ui::MainWindow *ui, int language)
{
    return passed(InputRules::checkTCR(CoilFields::texts(CoilFields::tcr(ui)), language), ui->label_TCR_msg);
}

bool InputValidators::checkTFR(Ui::MainWindow *ui, int language)
{
    return passed(InputRules::checkTFR(CoilFields::texts(CoilFields::tfr(ui)), language), ui->label_TFR_msg);
}
