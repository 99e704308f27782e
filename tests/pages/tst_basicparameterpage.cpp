#include "app/coilfields.h"
#include "app/form.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "params/inputrules.h"
#include "sim/simdevice.h"
#include "tests/pages/pagefixture.h"
#include "tests/support/logcapture.h"

#include <QRegularExpressionValidator>
#include <QtTest>

// The basic parameter tab against the simulated heater: what Save sends, what
// Read shows, the unit and work-mode changes and how failures are reported.
class TestBasicParameterPage : public QObject
{
    Q_OBJECT

private slots:
    void powerModeRoundTrip_data();
    void powerModeRoundTrip();
    void powerModeReadShowsDeviceValues_data();
    void powerModeReadShowsDeviceValues();
    void temperatureModeRoundTrip_data();
    void temperatureModeRoundTrip();
    void unitChange_data();
    void unitChange();
    void readFollowsDeviceUnitAndSavesWhatItRead();
    void unitFollowedKeepsItsRange();
    void workModeChangeWritesAndRereadsEveryTab();
    void backToPowerMode();
    void noDevice_data();
    void noDevice();
    void refusedWrites_data();
    void refusedWrites();
    void failedReadKeepsTheFieldsAndHoldsTheSave_data();
    void failedReadKeepsTheFieldsAndHoldsTheSave();
};

namespace {

const QList<int> savePowerMode = {6, 2, 1};
const QList<int> saveTemperatureMode = {6, 2, 3};

QVector<QLineEdit *> powerModeFields(Ui::MainWindow *ui)
{
    return {ui->lineEdit_dark, ui->lineEdit_power, ui->lineEdit_overshootPower, ui->lineEdit_overshootTime};
}

} // namespace

void TestBasicParameterPage::powerModeRoundTrip_data()
{
    // Fields: screen timeout, power, preheat power, preheat time.
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("powerPayload");
    QTest::addColumn<QByteArray>("timeoutPayload");
    QTest::newRow("30.5 W") << QStringList({"10", "30.5", "25", "9.999"}) << QByteArray("013100fa270f")
                            << QByteArray("03e8");
    QTest::newRow("limits") << QStringList({"60", "10", "300", "0.1"}) << QByteArray("00640bb80064")
                            << QByteArray("1770");
    QTest::newRow("one decimal") << QStringList({"30", "300", "10.5", "1.5"}) << QByteArray("0bb8006905dc")
                                 << QByteArray("0bb8");
}

// Save then Read shows what was typed; the heater holds the preheat power in
// tenths of a watt in bytes 2-3 and the preheat time in milliseconds in bytes 4-5.
void TestBasicParameterPage::powerModeRoundTrip()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, powerPayload);
    QFETCH(QByteArray, timeoutPayload);
    PageFixture f;
    const QVector<QLineEdit *> edits = powerModeFields(f.ui());
    PageFixture::setTexts(edits, fields);
    f.ui()->pushButton_set->click();
    QCOMPARE(f.codesSinceMark(), savePowerMode);
    QCOMPARE(f.payloadSinceMark(0), QByteArray::fromHex("01"));
    QCOMPARE(f.ui()->label_29->text(), QString("Save success"));
    QCOMPARE(f.device()->setting(1).toHex(), powerPayload);
    QCOMPARE(f.device()->setting(2).toHex(), timeoutPayload);

    PageFixture::setTexts(edits, {});
    f.ui()->pushButton_get->click();
    QCOMPARE(CoilFields::texts(edits), fields);
    QCOMPARE(f.boxes.count(), 0);
}

void TestBasicParameterPage::powerModeReadShowsDeviceValues_data()
{
    QTest::addColumn<QByteArray>("timeoutPayload");
    QTest::addColumn<QString>("dark");
    QTest::newRow("3000") << QByteArray("0bb8") << "30";
    QTest::newRow("25600 keeps the low 8 bits of 256") << QByteArray("6400") << "0";
    QTest::newRow("1099") << QByteArray("044b") << "10";
}

void TestBasicParameterPage::powerModeReadShowsDeviceValues()
{
    QFETCH(QByteArray, timeoutPayload);
    QFETCH(QString, dark);
    PageFixture f;
    f.device()->setSetting(1, QByteArray::fromHex("0131003205dc"));
    f.device()->setSetting(2, QByteArray::fromHex(timeoutPayload));
    f.ui()->pushButton_get->click();
    QCOMPARE(f.codesSinceMark(), QList<int>({0x86, 0x82, 0x81}));
    QCOMPARE(f.ui()->lineEdit_dark->text(), dark);
    QCOMPARE(f.ui()->lineEdit_power->text(), QString("30.5"));
    QCOMPARE(f.ui()->lineEdit_overshootPower->text(), QString("5"));
    QCOMPARE(f.ui()->lineEdit_overshootTime->text(), QString("1.5"));
    QVERIFY(f.ui()->lineEdit_overshootPower->isEnabled());
    for (QWidget *off :
         {(QWidget *)f.ui()->lineEdit_temp, (QWidget *)f.ui()->comboBox_temp, (QWidget *)f.ui()->comboBox_type})
        QVERIFY(!off->isEnabled());
}

void TestBasicParameterPage::temperatureModeRoundTrip_data()
{
    // Fields: power, preheat time, temperature, compensation; then the atomizer type index.
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("saved");
    // The heater keeps the compensation of each unit apart: byte 7 for F, byte 8 for C.
    QTest::newRow("C") << QByteArray("012c00c801f400050a00") << QStringList({"30.5", "0.02", "250", "-35"}) << 7
                       << QByteArray("013100fa00140705dd00");
    QTest::newRow("C, positive compensation")
        << QByteArray("012c00c801f400050a00") << QStringList({"10", "9.999", "100", "40"}) << 0
        << QByteArray("00640064270f00052800");
    QTest::newRow("F sets bit 7 of the type byte")
        << QByteArray("012c019001f480050a00") << QStringList({"300", "9.999", "572", "104"}) << 14
        << QByteArray("0bb8023c270f8e680a00");
    QTest::newRow("F, negative compensation")
        << QByteArray("012c019001f480050a00") << QStringList({"45.5", "1", "200", "-95"}) << 2
        << QByteArray("01c700c803e882a10a00");
}

void TestBasicParameterPage::temperatureModeRoundTrip()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, fields);
    QFETCH(int, type);
    QFETCH(QByteArray, saved);
    PageFixture f;
    f.readTemperatureMode(stored);
    Ui::MainWindow *ui = f.ui();
    const int unit = ui->comboBox_temp->currentIndex();
    const QVector<QLineEdit *> edits = {ui->lineEdit_power, ui->lineEdit_overshootTime, ui->lineEdit_temp,
                                        ui->lineEdit_compensation_C};
    PageFixture::setTexts(edits, fields);
    ui->comboBox_type->setCurrentIndex(type);
    f.mark();
    ui->pushButton_set->click();
    QCOMPARE(f.codesSinceMark(), saveTemperatureMode);
    QCOMPARE(f.payloadSinceMark(0), QByteArray::fromHex("02"));
    QCOMPARE(ui->label_29->text(), QString("Save success"));
    QCOMPARE(f.device()->setting(3).toHex(), saved);

    PageFixture::setTexts(edits, {});
    ui->comboBox_type->setCurrentIndex(-1);
    ui->pushButton_get->click();
    QCOMPARE(CoilFields::texts(edits), fields);
    QCOMPARE(ui->comboBox_type->currentIndex(), type);
    QCOMPARE(ui->comboBox_temp->currentIndex(), unit);
    QCOMPARE(f.boxes.count(), 0);
}

void TestBasicParameterPage::unitChange_data()
{
    // The heater's temperature in its unit, the unit the user picks, what is shown and saved.
    QTest::addColumn<bool>("storedFahrenheit");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("200 C -> 392 F") << false << 200 << 392;
    QTest::newRow("300 C -> 572 F") << false << 300 << 572;
    QTest::newRow("100 C -> 212 F") << false << 100 << 212;
    QTest::newRow("392 F -> 200 C") << true << 392 << 200;
    QTest::newRow("212 F -> 100 C") << true << 212 << 100;
    QTest::newRow("572 F -> 300 C") << true << 572 << 300;
    QTest::newRow("below 32 F -> 300 C") << true << 20 << 300;
    QTest::newRow("50 C -> clamped to 200 F") << false << 50 << 200;
    QTest::newRow("600 F -> clamped to 300 C") << true << 600 << 300;
}

// Picking the other unit shows the converted temperature and the compensation
// kept for that unit, then saves the whole tab in the new unit.
void TestBasicParameterPage::unitChange()
{
    QFETCH(bool, storedFahrenheit);
    QFETCH(int, stored);
    QFETCH(int, shown);
    PageFixture f;
    // Compensation: 27 for F, -3 for C.
    f.readTemperatureMode(storedFahrenheit ? "012c018801f4801bfd00" : "012c00c801f4001bfd00");
    // The heater's value now, read with the combo already on the heater's unit.
    QByteArray setting = f.device()->setting(3);
    setting[2] = char(stored >> 8);
    setting[3] = char(stored);
    f.device()->setSetting(3, setting);
    f.ui()->pushButton_get->click();
    QCOMPARE(f.ui()->lineEdit_temp->text(), QString::number(stored));

    LogCapture log;
    f.mark();
    const int unit = storedFahrenheit ? 0 : 1;
    f.ui()->comboBox_temp->setCurrentIndex(unit);
    QVERIFY(log.containsPart(QString("Fun:[typeChange] File:[mainwindow] you select :%1").arg(unit)));
    QCOMPARE(f.ui()->lineEdit_temp->text(), QString::number(shown));
    QCOMPARE(f.ui()->lineEdit_compensation_C->text(), QString(unit ? "27" : "-3"));
    QCOMPARE(f.ui()->label_27->text(), QString(unit ? "   ℉" : "   ℃"));
    QCOMPARE(f.ui()->label_106->text(), f.ui()->label_27->text());
    QCOMPARE(f.codesSinceMark(), saveTemperatureMode);
    QCOMPARE(f.ui()->label_29->text(), QString("Save success"));
    const QByteArray saved = f.device()->setting(3);
    QCOMPARE((uint8_t(saved[2]) << 8) | uint8_t(saved[3]), shown);
    QCOMPARE(bool(uint8_t(saved[6]) & 0x80), bool(unit));
    QCOMPARE(saved.mid(7, 2).toHex(), QByteArray("1bfd"));
    const auto *validator =
        qobject_cast<const QRegularExpressionValidator *>(f.ui()->lineEdit_compensation_C->validator());
    QCOMPARE(validator->regularExpression().pattern(),
             QString(unit ? InputRules::CompensationFahrenheitPattern : InputRules::CompensationCelsiusPattern));
    QCOMPARE(f.boxes.count(), 0);
}

// The combo follows the heater's unit; the save that starts sends back the
// values just read, not what the fields held before.
void TestBasicParameterPage::readFollowsDeviceUnitAndSavesWhatItRead()
{
    PageFixture f;
    f.readTemperatureMode("012c00c801f400000000");
    QCOMPARE(f.ui()->comboBox_temp->currentIndex(), 0);
    f.ui()->lineEdit_power->setText("99");
    f.ui()->lineEdit_overshootTime->setText("3");
    f.device()->setSetting(3, QByteArray::fromHex("01c7019004d28507f600"));
    f.mark();
    f.ui()->pushButton_get->click();
    QCOMPARE(f.ui()->comboBox_temp->currentIndex(), 1);
    QCOMPARE(f.ui()->lineEdit_power->text(), QString("45.5"));
    QCOMPARE(f.ui()->lineEdit_overshootTime->text(), QString("1.234"));
    QCOMPARE(f.ui()->lineEdit_temp->text(), QString("400"));
    QCOMPARE(f.ui()->lineEdit_compensation_C->text(), QString("7"));
    QCOMPARE(f.ui()->comboBox_type->currentIndex(), 5);
    QCOMPARE(f.ui()->label_27->text(), QString("   ℉"));
    QCOMPARE(f.codesSinceMark(), QList<int>({0x86, 0x82, 0x83, 6, 2, 3}));
    QCOMPARE(f.payloadSinceMark(5).toHex(), QByteArray("01c7019004d28507"));
    QCOMPARE(f.device()->setting(3).toHex(), QByteArray("01c7019004d28507f600"));
}

// Following the heater's unit converts nothing, but the value shown and saved
// back stays within the unit's range.
void TestBasicParameterPage::unitFollowedKeepsItsRange()
{
    PageFixture f;
    f.readTemperatureMode("012c006401f480000000");
    QCOMPARE(f.ui()->comboBox_temp->currentIndex(), 1);
    QCOMPARE(f.ui()->lineEdit_temp->text(), QString("200"));
    QCOMPARE(f.device()->setting(3).toHex(), QByteArray("012c00c801f480000000"));
}

void TestBasicParameterPage::workModeChangeWritesAndRereadsEveryTab()
{
    PageFixture f;
    f.device()->setSetting(4, QByteArray::fromHex("3039ea6000010000ea5f"));
    f.device()->setSetting(2, QByteArray::fromHex("1770"));
    LogCapture log;
    f.ui()->comboBox_workmode->setCurrentIndex(1);
    QVERIFY(log.containsPart("Fun:[on_workmode_change] File:[mainwindow] you select :1"));
    QCOMPARE(f.codesSinceMark(), QList<int>({6, 0x86, 0x86, 0x82, 0x83, 0x84, 0x85, 0x82}));
    QCOMPARE(f.payloadSinceMark(0), QByteArray::fromHex("02"));
    QCOMPARE(f.device()->workMode(), 2);
    QCOMPARE(tcModeFlag.load(), 1);
    QCOMPARE(f.ui()->lineEdit_TCR_m2->text(), QString("6"));
    QCOMPARE(f.ui()->lineEdit_TFR_m55->text(), QString("1"));
    QCOMPARE(f.ui()->lineEdit_dark->text(), QString("60"));
    QCOMPARE(f.ui()->lineEdit_power->text(), QString("30"));
    QCOMPARE(f.ui()->lineEdit_temp->text(), QString("200"));
    for (QWidget *on : {(QWidget *)f.ui()->lineEdit_temp, (QWidget *)f.ui()->comboBox_temp,
                        (QWidget *)f.ui()->comboBox_type, (QWidget *)f.ui()->lineEdit_compensation_C})
        QVERIFY(on->isEnabled());
    QVERIFY(!f.ui()->lineEdit_overshootPower->isEnabled());
    QVERIFY(f.ui()->label_16->isHidden());
    QVERIFY(f.ui()->label_21->isHidden());
    QVERIFY(log.containsPart("compensationc="));
    QCOMPARE(f.boxes.count(), 0);
}

void TestBasicParameterPage::backToPowerMode()
{
    PageFixture f;
    f.readTemperatureMode("012c00c801f400000000");
    QCOMPARE(f.ui()->comboBox_workmode->currentIndex(), 1);
    f.mark();
    f.ui()->comboBox_workmode->setCurrentIndex(0);
    QCOMPARE(f.codesSinceMark(), QList<int>({6, 0x86, 0x86, 0x82, 0x81, 0x84, 0x85, 0x82}));
    QCOMPARE(f.payloadSinceMark(0), QByteArray::fromHex("01"));
    QCOMPARE(tcModeFlag.load(), 0);
    QCOMPARE(f.ui()->lineEdit_overshootPower->text(), QString("25"));
    QVERIFY(f.ui()->lineEdit_overshootPower->isEnabled());
    for (QWidget *off : {(QWidget *)f.ui()->lineEdit_temp, (QWidget *)f.ui()->comboBox_temp,
                         (QWidget *)f.ui()->comboBox_type, (QWidget *)f.ui()->lineEdit_compensation_C})
        QVERIFY(!off->isEnabled());
}

void TestBasicParameterPage::noDevice_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("boxes");
    QTest::newRow("Read") << QByteArray("0") << "pushButton_get" << 3;
    QTest::newRow("Read, Chinese") << QByteArray("1") << "pushButton_get" << 3;
    QTest::newRow("Save") << QByteArray("0") << "pushButton_set" << 1;
    QTest::newRow("Read TCR") << QByteArray("0") << "pushButton_getTCR" << 1;
    QTest::newRow("Save TCR") << QByteArray("1") << "pushButton_setTCR" << 1;
    QTest::newRow("Read TFR") << QByteArray("0") << "pushButton_getTFR" << 1;
    QTest::newRow("Save TFR") << QByteArray("0") << "pushButton_setTFR" << 1;
}

void TestBasicParameterPage::noDevice()
{
    QFETCH(QByteArray, language);
    QFETCH(QString, button);
    QFETCH(int, boxes);
    PageFixture f(language.constData(), false);
    f.ui()->lineEdit_dark->setText("5");
    f.win()->findChild<QPushButton *>(button)->click();
    QCOMPARE(f.boxes.count(), boxes);
    const QString text =
        language == "0" ? "Open usb failed. Please check the usb device" : "USB打开失败，请确保USB线正确连接";
    for (const ModalWatcher::Box &box : f.boxes.boxes()) {
        QCOMPARE(box.title, QString("Warn"));
        QCOMPARE(box.text, text);
    }
    // Nothing else happens: no check ran, no field changed.
    QCOMPARE(f.ui()->label_29->text(), QString());
    QCOMPARE(f.ui()->lineEdit_dark->text(), QString("5"));
}

void TestBasicParameterPage::refusedWrites_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("nth"); // of the three reports of a save
    QTest::addColumn<int>("fault");
    QTest::addColumn<QStringList>("box"); // title and text, if any
    QTest::addColumn<QString>("label");
    const int refused = SimDevice::Status;
    const int lost = SimDevice::Drop;
    QTest::newRow("parameters refused") << QByteArray("0") << 3 << refused << QStringList() << "Save success";
    QTest::newRow("parameters refused, Chinese") << QByteArray("1") << 3 << refused << QStringList() << "保存成功";
    QTest::newRow("parameters not exchanged") << QByteArray("0") << 3 << lost << QStringList() << "Save fail";
    QTest::newRow("parameters not exchanged, Chinese") << QByteArray("1") << 3 << lost << QStringList() << "保存失败";
    QTest::newRow("work mode refused") << QByteArray("0") << 1 << refused
                                       << QStringList({"Set Operate Mode", "Set Operate Mode  Failed"})
                                       << "Save success";
    QTest::newRow("work mode refused, Chinese")
        << QByteArray("1") << 1 << refused << QStringList({"设置工作模式", "设置工作模式失败"}) << "保存成功";
    QTest::newRow("screen timeout refused")
        << QByteArray("0") << 2 << refused << QStringList({"Set Screen timeout", "Set Screen timeout Failed"})
        << "Save success";
    QTest::newRow("screen timeout refused, Chinese")
        << QByteArray("1") << 2 << refused << QStringList({"设置暗屏时间", "设置暗屏时间失败"}) << "保存成功";
}

void TestBasicParameterPage::refusedWrites()
{
    QFETCH(QByteArray, language);
    QFETCH(int, nth);
    QFETCH(int, fault);
    QFETCH(QStringList, box);
    QFETCH(QString, label);
    PageFixture f(language.constData());
    const QByteArray before = f.device()->setting(1);
    PageFixture::setTexts(powerModeFields(f.ui()), {"20", "50", "60", "2"});
    f.device()->inject(nth, SimDevice::Fault(fault), 0);
    f.ui()->pushButton_set->click();
    QCOMPARE(f.codesSinceMark(), savePowerMode);
    QCOMPARE(f.ui()->label_29->text(), label);
    QStringList shown;
    for (const ModalWatcher::Box &seen : f.boxes.boxes())
        shown << seen.title << seen.text;
    QCOMPARE(shown, box);
    // A refused report is not acted on; a lost answer still leaves the write done.
    QCOMPARE(f.device()->setting(1) == before, nth == 3 && fault == SimDevice::Status);
}

void TestBasicParameterPage::failedReadKeepsTheFieldsAndHoldsTheSave_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("nth"); // of the reports of a Read: 0x86, 0x82, 0x81
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("shown"); // screen timeout, power, preheat power, preheat time
    const QStringList timeoutRead = {"30", "35", "40", "2"};
    QTest::newRow("work mode refused") << QByteArray("0") << 1 << int(SimDevice::Status) << 3 << timeoutRead;
    QTest::newRow("screen timeout answered as the work mode")
        << QByteArray("0") << 2 << int(SimDevice::Foreign) << 0x86 << QStringList({"20", "20", "25", "1"});
    QTest::newRow("power settings cut short, Chinese")
        << QByteArray("1") << 3 << int(SimDevice::Short) << 2 << timeoutRead;
}

// Only answers that carried a setting reach the fields; until a read succeeds,
// Save sends nothing, and the label says why.
void TestBasicParameterPage::failedReadKeepsTheFieldsAndHoldsTheSave()
{
    QFETCH(QByteArray, language);
    QFETCH(int, nth);
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(QStringList, shown);
    const bool english = language == "0";
    PageFixture f(language.constData());
    const QVector<QLineEdit *> fields = powerModeFields(f.ui());
    PageFixture::setTexts(fields, {"20", "35", "40", "2"});
    f.device()->inject(nth, SimDevice::Fault(fault), value);
    f.ui()->pushButton_get->click();
    QCOMPARE(CoilFields::texts(fields), shown);
    QCOMPARE(f.ui()->comboBox_workmode->currentIndex(), 0);
    QCOMPARE(f.ui()->label_29->text(), QString(english ? "Read fail" : "读取失败"));

    f.mark();
    f.ui()->pushButton_set->click();
    QCOMPARE(f.codesSinceMark(), QList<int>());
    QCOMPARE(f.ui()->label_29->text(), QString(english ? "Save fail: Read again first" : "保存失败：请先重新读取"));

    f.ui()->pushButton_get->click();
    QCOMPARE(f.ui()->label_29->text(), QString());
    f.ui()->pushButton_set->click();
    QCOMPARE(f.codesSinceMark(), QList<int>({0x86, 0x82, 0x81}) + savePowerMode);
    QCOMPARE(f.boxes.count(), 0);
}

QTEST_MAIN(TestBasicParameterPage)
#include "tst_basicparameterpage.moc"
