#include "app/inputvalidators.h"

#include "app/basicparameterpage.h"
#include "app/coilfields.h"
#include "params/inputrules.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
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

void InputValidators::installBasic(const BasicParameterWidgets &basic, QObject *owner)
{
    install(basic.lineEdit_power, pattern(InputRules::PowerPattern, owner), owner);
    install(basic.lineEdit_dark, range(InputRules::ScreenTimeoutRange, owner), owner);
    if (basic.comboBox_workmode->currentIndex() != TemperatureModeIndex) {
        install(basic.lineEdit_overshootPower, pattern(InputRules::PreheatPowerPattern, owner), owner);
        install(basic.lineEdit_overshootTime, pattern(InputRules::PreheatTimePowerModePattern, owner), owner);
        return;
    }
    const bool fahrenheit = basic.comboBox_temp->currentIndex() == FahrenheitIndex;
    install(basic.lineEdit_overshootTime, pattern(InputRules::PreheatTimeTemperatureModePattern, owner), owner);
    install(
        basic.lineEdit_compensation_C,
        pattern(fahrenheit ? InputRules::CompensationFahrenheitPattern : InputRules::CompensationCelsiusPattern, owner),
        owner);
    install(basic.lineEdit_temp, range(InputRules::temperatureRange(fahrenheit), owner), owner);
}

void InputValidators::installCoefficients(const QVector<QLineEdit *> &tcr, const QVector<QLineEdit *> &tfr,
                                          QObject *owner)
{
    installShared(tcr, pattern(InputRules::CoefficientPattern, owner));
    installShared(tfr, pattern(InputRules::CoefficientPattern, owner));
}

bool InputValidators::checkBasic(const BasicParameterWidgets &basic, int workMode, int language)
{
    InputRules::BasicTexts texts;
    texts.screenTimeout = basic.lineEdit_dark->text();
    texts.power = basic.lineEdit_power->text();
    texts.preheatTime = basic.lineEdit_overshootTime->text();
    texts.preheatPower = basic.lineEdit_overshootPower->text();
    texts.temperature = basic.lineEdit_temp->text();
    texts.compensation = basic.lineEdit_compensation_C->text();
    texts.workMode = workMode;
    texts.fahrenheit = basic.comboBox_temp->currentIndex() == FahrenheitIndex;
    return passed(InputRules::checkBasic(texts, language), basic.label_29);
}

bool InputValidators::checkTCR(const QVector<QLineEdit *> &tcr, QLabel *message, int language)
{
    return passed(InputRules::checkTCR(CoilFields::texts(tcr), language), message);
}

bool InputValidators::checkTFR(const QVector<QLineEdit *> &tfr, QLabel *message, int language)
{
    return passed(InputRules::checkTFR(CoilFields::texts(tfr), language), message);
}
