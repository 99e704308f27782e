#include "app/coilfields.h"
#include "app/form.h"
#include "app/mainwindow.h"
#include "params/inputrules.h"
#include "sim/simdevice.h"
#include "tests/pages/pagefixture.h"

#include <QIntValidator>
#include <QRegularExpressionValidator>
#include <QtTest>

// The two gates before a save: the validators while typing, and the range
// checks that stop a save at the first value out of range.
class TestInputValidators : public QObject
{
    Q_OBJECT

private slots:
    void basicValidators_data();
    void basicValidators();
    void reinstalledOnModeAndUnitChange();
    void powerModeKeepsTemperatureValidators();
    void coefficientValidatorsShared();
    void typing_data();
    void typing();
    void basicChecks_data();
    void basicChecks();
    void tcrCheck_data();
    void tcrCheck();
    void tfrCheck_data();
    void tfrCheck();
    void tcrReadOutOfRangeRefused();
};

namespace {

QString patternOf(const QLineEdit *field)
{
    const auto *validator = qobject_cast<const QRegularExpressionValidator *>(field->validator());
    return validator ? validator->regularExpression().pattern() : QString();
}

QString rangeOf(const QLineEdit *field)
{
    const auto *validator = qobject_cast<const QIntValidator *>(field->validator());
    return validator ? QString("%1..%2").arg(validator->bottom()).arg(validator->top()) : QString();
}

// Mode and unit as the combos show them, without the device actions their signals start.
void selectQuietly(Ui::MainWindow *ui, int workModeIndex, int unitIndex)
{
    const QSignalBlocker modeBlock(ui->comboBox_workmode);
    const QSignalBlocker unitBlock(ui->comboBox_temp);
    ui->comboBox_workmode->setCurrentIndex(workModeIndex);
    ui->comboBox_temp->setCurrentIndex(unitIndex);
}

} // namespace

void TestInputValidators::basicValidators_data()
{
    QTest::addColumn<int>("workMode");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("preheatTime");
    QTest::addColumn<QString>("preheatPower");
    QTest::addColumn<QString>("compensation");
    QTest::addColumn<QString>("temperature");
    QTest::newRow("power mode") << 0 << 0 << InputRules::PreheatTimePowerModePattern << InputRules::PreheatPowerPattern
                                << QString() << QString();
    QTest::newRow("temperature mode, C") << 1 << 0 << InputRules::PreheatTimeTemperatureModePattern
                                         << InputRules::PreheatPowerPattern << InputRules::CompensationCelsiusPattern
                                         << "100..300";
    QTest::newRow("temperature mode, F") << 1 << 1 << InputRules::PreheatTimeTemperatureModePattern
                                         << InputRules::PreheatPowerPattern << InputRules::CompensationFahrenheitPattern
                                         << "200..572";
}

void TestInputValidators::basicValidators()
{
    QFETCH(int, workMode);
    QFETCH(int, unit);
    QFETCH(QString, preheatTime);
    QFETCH(QString, preheatPower);
    QFETCH(QString, compensation);
    QFETCH(QString, temperature);
    // The constructor installs the power-mode set; a temperature-mode run leaves the preheat power's in place.
    WindowFixture f;
    selectQuietly(f.ui(), workMode, unit);
    f.window()->baseValidatorInit();
    QCOMPARE(patternOf(f.ui()->lineEdit_power), QString(InputRules::PowerPattern));
    QCOMPARE(rangeOf(f.ui()->lineEdit_dark), QString("10..60"));
    QCOMPARE(patternOf(f.ui()->lineEdit_overshootTime), preheatTime);
    QCOMPARE(patternOf(f.ui()->lineEdit_overshootPower), preheatPower);
    QCOMPARE(patternOf(f.ui()->lineEdit_compensation_C), compensation);
    QCOMPARE(rangeOf(f.ui()->lineEdit_temp), temperature);
    QCOMPARE(f.ui()->lineEdit_power->validator()->parent(), f.window());
}

void TestInputValidators::reinstalledOnModeAndUnitChange()
{
    PageFixture f;
    QCOMPARE(patternOf(f.ui()->lineEdit_overshootTime), QString(InputRules::PreheatTimePowerModePattern));
    f.ui()->comboBox_workmode->setCurrentIndex(1);
    QCOMPARE(patternOf(f.ui()->lineEdit_overshootTime), QString(InputRules::PreheatTimeTemperatureModePattern));
    QCOMPARE(patternOf(f.ui()->lineEdit_compensation_C), QString(InputRules::CompensationCelsiusPattern));
    QCOMPARE(rangeOf(f.ui()->lineEdit_temp), QString("100..300"));
    f.ui()->comboBox_temp->setCurrentIndex(1);
    QCOMPARE(patternOf(f.ui()->lineEdit_compensation_C), QString(InputRules::CompensationFahrenheitPattern));
    QCOMPARE(rangeOf(f.ui()->lineEdit_temp), QString("200..572"));
    QCOMPARE(f.boxes.count(), 0);
}

void TestInputValidators::powerModeKeepsTemperatureValidators()
{
    WindowFixture f;
    selectQuietly(f.ui(), 1, 1);
    f.window()->baseValidatorInit();
    const QValidator *compensation = f.ui()->lineEdit_compensation_C->validator();
    const QValidator *temperature = f.ui()->lineEdit_temp->validator();
    const QValidator *power = f.ui()->lineEdit_power->validator();
    selectQuietly(f.ui(), 0, 0);
    f.window()->baseValidatorInit();
    QCOMPARE(f.ui()->lineEdit_compensation_C->validator(), compensation);
    QCOMPARE(f.ui()->lineEdit_temp->validator(), temperature);
    QCOMPARE(patternOf(f.ui()->lineEdit_compensation_C), QString(InputRules::CompensationFahrenheitPattern));
    QVERIFY(f.ui()->lineEdit_power->validator() != power);
}

void TestInputValidators::coefficientValidatorsShared()
{
    WindowFixture f;
    const QVector<QLineEdit *> tcr = CoilFields::tcr(f.ui());
    const QVector<QLineEdit *> tfr = CoilFields::tfr(f.ui());
    QCOMPARE(tcr.size(), 5);
    QCOMPARE(tfr.size(), 25);
    QCOMPARE(tfr.at(7)->objectName(), QString("lineEdit_TFR_m23"));
    for (const QLineEdit *field : tcr)
        QCOMPARE(field->validator(), tcr.first()->validator());
    for (const QLineEdit *field : tfr)
        QCOMPARE(field->validator(), tfr.first()->validator());
    QVERIFY(tcr.first()->validator() != tfr.first()->validator());
    QCOMPARE(patternOf(tcr.first()), QString(InputRules::CoefficientPattern));
    QCOMPARE(patternOf(tfr.last()), QString(InputRules::CoefficientPattern));
}

void TestInputValidators::typing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    const struct
    {
        const char *row, *field, *keys, *text;
    } rows[] = {
        {"power beyond 300", "lineEdit_power", "3005", "300"},
        {"power 300.1 can be typed", "lineEdit_power", "300.1", "300.1"},
        {"power two decimals", "lineEdit_power", "30.55", "30.5"},
        {"screen timeout three digits", "lineEdit_dark", "605", "60"},
        {"screen timeout letters", "lineEdit_dark", "3x0", "30"},
        {"preheat time power mode", "lineEdit_overshootTime", "9.9999", "9.999"},
        {"TCR six", "lineEdit_TCR_m1", "6", ""},
        {"TCR five decimals", "lineEdit_TCR_m1", "5.99999", "5.9999"},
        {"TFR", "lineEdit_TFR_m55", "1.2345", "1.2345"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.row) << row.field << row.keys << row.text;
}

void TestInputValidators::typing()
{
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    WindowFixture f;
    auto *edit = f.window()->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, keys);
    QCOMPARE(edit->text(), text);
}

void TestInputValidators::basicChecks_data()
{
    // Fields: screen timeout, power, preheat time, preheat power, temperature, compensation.
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("unit"); // -1: power mode, else temperature mode in that unit
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("codes"); // what reaches the device
    const QStringList good = {"30", "30", "1.5", "30", "200", "0"};
    auto with = [&good](int index, const QString &text) {
        QStringList fields = good;
        fields[index] = text;
        return fields;
    };
    QTest::newRow("timeout empty") << QByteArray("0") << -1 << with(0, "") << "Error    Screen timeout in [10,60] s"
                                   << QList<int>();
    QTest::newRow("timeout 9") << QByteArray("0") << -1 << with(0, "9") << "Error    Screen timeout in [10,60] s"
                               << QList<int>();
    QTest::newRow("timeout 61") << QByteArray("1") << -1 << with(0, "61") << "错误    暗屏时间 范围 [10,60] 秒"
                                << QList<int>();
    QTest::newRow("first failure only") << QByteArray("0") << -1 << QStringList({"9", "400", "20", "0", "", ""})
                                        << "Error    Screen timeout in [10,60] s" << QList<int>();
    QTest::newRow("power 300.1") << QByteArray("0") << -1 << with(1, "300.1")
                                 << "Error    Power Value in [10.0, 300.0] W" << QList<int>();
    QTest::newRow("power 9.9") << QByteArray("1") << -1 << with(1, "9.9") << "错误    功率值范围 [10.0, 300.0] 瓦"
                               << QList<int>();
    QTest::newRow("preheat time 0.05, power mode")
        << QByteArray("0") << -1 << with(2, "0.05") << "Error    Preheat Time in [0.1, 9.999] s" << QList<int>();
    QTest::newRow("preheat time 10, power mode")
        << QByteArray("1") << -1 << with(2, "10") << "错误    预热时间范围 [0.1, 9.999] 秒" << QList<int>();
    QTest::newRow("preheat time 10, temperature mode")
        << QByteArray("0") << 0 << with(2, "10") << "Error    Preheat Time in [0.02, 9.999] s" << QList<int>();
    QTest::newRow("preheat time 0.01, temperature mode")
        << QByteArray("1") << 0 << with(2, "0.01") << "错误    预热时间范围 [0.02, 9.999] 秒" << QList<int>();
    QTest::newRow("preheat power 9.9") << QByteArray("0") << -1 << with(3, "9.9")
                                       << "Error    Preheat Power in [10.0, 300.0] W" << QList<int>();
    QTest::newRow("preheat power 301") << QByteArray("1") << -1 << with(3, "301")
                                       << "错误    预热功率范围 [10.0, 300.0] 瓦" << QList<int>();
    QTest::newRow("temperature 301 C") << QByteArray("0") << 0 << with(4, "301")
                                       << "Error    Temperature in [100, 300] ℃" << QList<int>();
    QTest::newRow("temperature 99 C") << QByteArray("1") << 0 << with(4, "99") << "错误    温度值范围 [100, 300] ℃"
                                      << QList<int>();
    QTest::newRow("temperature 573 F") << QByteArray("0") << 1 << with(4, "573")
                                       << "Error    Temperature in [200, 572] ℉" << QList<int>();
    QTest::newRow("temperature 199 F") << QByteArray("1") << 1 << with(4, "199") << "错误    温度值范围 [200, 572] ℉"
                                       << QList<int>();
    QTest::newRow("compensation 41 C") << QByteArray("0") << 0 << with(5, "41")
                                       << "Error    Compensation in [-35, 40] ℃" << QList<int>();
    QTest::newRow("compensation -36 C") << QByteArray("1") << 0 << with(5, "-36") << "错误    温度补偿范围 [-35, 40] ℃"
                                        << QList<int>();
    QTest::newRow("compensation 105 F") << QByteArray("0") << 1 << QStringList({"30", "30", "1.5", "", "400", "105"})
                                        << "Error    Compensation in [-95, 104] ℉" << QList<int>();
    QTest::newRow("compensation -96 F") << QByteArray("1") << 1 << QStringList({"30", "30", "1.5", "", "400", "-96"})
                                        << "错误    温度补偿范围 [-95, 104] ℉" << QList<int>();
    QTest::newRow("limits pass, power mode")
        << QByteArray("0") << -1 << QStringList({"60", "300", "9.999", "10", "999", "999"}) << "Save success"
        << QList<int>({6, 2, 1});
    QTest::newRow("limits pass, C") << QByteArray("1") << 0 << QStringList({"10", "10", "0.02", "", "300", "-35"})
                                    << "保存成功" << QList<int>({6, 2, 3});
    QTest::newRow("limits pass, F") << QByteArray("0") << 1 << QStringList({"10", "10", "0.05", "", "200", "104"})
                                    << "Save success" << QList<int>({6, 2, 3});
}

void TestInputValidators::basicChecks()
{
    QFETCH(QByteArray, language);
    QFETCH(int, unit);
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    QFETCH(QList<int>, codes);
    PageFixture f(language.constData());
    if (unit >= 0) {
        f.readTemperatureMode(unit ? "012c019001f480000000" : "012c00c801f400000000");
        QCOMPARE(f.ui()->comboBox_temp->currentIndex(), unit);
    }
    f.boxes.clear();
    f.mark();
    const QVector<QLineEdit *> edits = {f.ui()->lineEdit_dark,          f.ui()->lineEdit_power,
                                        f.ui()->lineEdit_overshootTime, f.ui()->lineEdit_overshootPower,
                                        f.ui()->lineEdit_temp,          f.ui()->lineEdit_compensation_C};
    PageFixture::setTexts(edits, fields);
    f.ui()->pushButton_set->click();
    QCOMPARE(f.ui()->label_29->text(), message);
    QCOMPARE(f.codesSinceMark(), codes);
    QCOMPARE(f.boxes.count(), 0);
    QCOMPARE(CoilFields::texts(edits), fields);
}

void TestInputValidators::tcrCheck_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("message");
    QTest::newRow("M3 6.5") << QByteArray("0") << QStringList({"1", "2", "6.5", "3", "4"})
                            << "Error    TCR M3 in [0, 6.0000]";
    QTest::newRow("M3 6.5, Chinese") << QByteArray("1") << QStringList({"1", "2", "6.5", "3", "4"})
                                     << "错误    TCR M3 范围 [0, 6.0000]";
    QTest::newRow("first of two") << QByteArray("0") << QStringList({"1", "-0.1", "2", "7", "4"})
                                  << "Error    TCR M2 in [0, 6.0000]";
    QTest::newRow("M5 6.0001") << QByteArray("0") << QStringList({"6", "0", "", "x", "6.0001"})
                               << "Error    TCR M5 in [0, 6.0000]";
}

void TestInputValidators::tcrCheck()
{
    QFETCH(QByteArray, language);
    QFETCH(QStringList, values);
    QFETCH(QString, message);
    PageFixture f(language.constData());
    PageFixture::setTexts(CoilFields::tcr(f.ui()), values);
    f.ui()->pushButton_setTCR->click();
    QCOMPARE(f.ui()->label_TCR_msg->text(), message);
    QCOMPARE(f.codesSinceMark(), QList<int>());
}

void TestInputValidators::tfrCheck_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("eighth field") << QByteArray("0") << 7 << "6.5"
                                  << "Error    TFR (M2, 200℃) in [0, 6.0000]";
    QTest::newRow("eighth field, Chinese") << QByteArray("1") << 7 << "6.5"
                                           << "错误    TFR (M2, 200℃) 范围 [0, 6.0000]";
    QTest::newRow("first field") << QByteArray("0") << 0 << "-1"
                                 << "Error    TFR (M1, 100℃) in [0, 6.0000]";
    QTest::newRow("last field") << QByteArray("0") << 24 << "9"
                                << "Error    TFR (M5, 300℃) in [0, 6.0000]";
}

void TestInputValidators::tfrCheck()
{
    QFETCH(QByteArray, language);
    QFETCH(int, index);
    QFETCH(QString, value);
    QFETCH(QString, message);
    PageFixture f(language.constData());
    const QVector<QLineEdit *> fields = CoilFields::tfr(f.ui());
    for (QLineEdit *field : fields)
        field->setText("1");
    fields[index]->setText(value);
    // A later value out of range as well: only the first is reported.
    fields[24]->setText(index == 24 ? value : "8");
    f.ui()->pushButton_setTFR->click();
    QCOMPARE(f.ui()->label_TFR_msg->text(), message);
    QCOMPARE(f.codesSinceMark(), QList<int>());
}

// A device value the validator could never let through still stops the save.
void TestInputValidators::tcrReadOutOfRangeRefused()
{
    PageFixture f;
    f.device()->setSetting(4, QByteArray::fromHex("2710 4e20 fde8 7530 9c40"));
    f.ui()->pushButton_getTCR->click();
    QCOMPARE(f.ui()->lineEdit_TCR_m3->text(), QString("6.5"));
    f.mark();
    f.ui()->pushButton_setTCR->click();
    QCOMPARE(f.ui()->label_TCR_msg->text(), QString("Error    TCR M3 in [0, 6.0000]"));
    QCOMPARE(f.codesSinceMark(), QList<int>());
}

QTEST_MAIN(TestInputValidators)
#include "tst_inputvalidators.moc"
