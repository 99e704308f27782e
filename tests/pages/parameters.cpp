#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

// The parameter tabs against the simulated heater: what Save sends, what Read
// shows, what the user may type, and how refusals and failures are told.

namespace {

const QStringList powerFields = {"lineEdit_dark", "lineEdit_power", "lineEdit_overshootPower",
                                 "lineEdit_overshootTime"};
const QStringList temperatureFields = {"lineEdit_dark", "lineEdit_power", "lineEdit_overshootTime", "lineEdit_temp",
                                       "lineEdit_compensation_C"};

// The TCR table's five fields, or the TFR table's five rows of five.
QStringList tableFields(const QString &table)
{
    QStringList names;
    for (int i = 0; i < (table == "TFR" ? 25 : 5); ++i)
        names << (table == "TFR" ? QString("lineEdit_TFR_m%1%2").arg(i / 5 + 1).arg(i % 5 + 1)
                                 : QString("lineEdit_TCR_m%1").arg(i + 1));
    return names;
}

QStringList repeated(const QString &text, int count)
{
    return QVector<QString>(count, text).toList();
}

} // namespace

// The heater switches to a mode (-1 power; 0, 1 temperature in C or F) and Read brings it in.
void WindowTests::enterMode(int mode)
{
    f.click("homeSettingButton");
    f.heater().setSetting(6, QByteArray(1, mode < 0 ? 1 : 2));
    f.heater().setSetting(3, QByteArray::fromHex(mode == 1 ? "012c019001f480000000" : "012c00c801f400000000"));
    f.click("pushButton_get");
    f.mark();
}

void WindowTests::basicTab_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("fields"); // powerFields or temperatureFields
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QByteArray>("stored"); // the screen timeout's setting, then the mode's; empty: nothing sent
    const struct
    {
        const char *row;
        int language, mode;
        QStringList fields;
        int type;
        const char *label, *stored;
    } rows[] = {
        {"power mode", 0, -1, {"10", "30.5", "25", "9.999"}, -1, "Save success", "03e8013100fa270f"},
        {"power mode limits, Chinese", 1, -1, {"60", "10", "300", "0.1"}, -1, "保存成功", "177000640bb80064"},
        // The heater keeps the compensation of each unit apart: byte 7 for F, byte 8 for C.
        {"C", 0, 0, {"30", "30.5", "0.02", "250", "-35"}, 7, "Save success", "0bb8013100fa00140700dd00"},
        // F sets bit 7 of the type byte.
        {"F", 0, 1, {"20", "300", "9.999", "572", "104"}, 14, "Save success", "07d00bb8023c270f8e680000"},
        {"F, compensation < 0", 0, 1, {"30", "45.5", "1", "200", "-95"}, 2, "Save success", "0bb801c700c803e882a10000"},
        // The first value out of range is named, and nothing reaches the heater.
        {"screen timeout 9", 0, -1, {"9", "400", "30", "1.5"}, -1, "Error    Screen timeout in [10,60] s", ""},
        {"screen timeout 61, Chinese", 1, -1, {"61", "30", "30", "1.5"}, -1, "错误    暗屏时间 范围 [10,60] 秒", ""},
        {"power 300.1", 0, 0, {"30", "300.1", "1.5", "200", "0"}, 0, "Error    Power Value in [10.0, 300.0] W", ""},
        {"preheat power 9.9", 0, -1, {"30", "30", "9.9", "1.5"}, -1, "Error    Preheat Power in [10.0, 300.0] W", ""},
        {"preheat 0.05 s, power", 0, -1, {"30", "30", "30", "0.05"}, -1, "Error    Preheat Time in [0.1, 9.999] s", ""},
        {"preheat 0.01, C", 0, 0, {"30", "30", "0.01", "200", "0"}, 0, "Error    Preheat Time in [0.02, 9.999] s", ""},
        {"temperature 301 C", 0, 0, {"30", "30", "1.5", "301", "0"}, 0, "Error    Temperature in [100, 300] ℃", ""},
        {"temperature 199 F, Chinese", 1, 1, {"30", "30", "1.5", "199", "0"}, 0, "错误    温度值范围 [200, 572] ℉", ""},
        {"compensation 105 F", 0, 1, {"30", "30", "1.5", "400", "105"}, 0, "Error    Compensation in [-95, 104] ℉", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row.row) << row.language << row.mode << row.fields << row.type << QString::fromUtf8(row.label)
                               << QByteArray(row.stored);
}

// Save then Read shows what was typed, or Save names the first value out of range.
void WindowTests::basicTab()
{
    QFETCH(int, language);
    QFETCH(int, mode);
    QFETCH(QStringList, fields);
    QFETCH(int, type);
    QFETCH(QString, label);
    QFETCH(QByteArray, stored);
    f.setLanguage(language);
    enterMode(mode);
    const QStringList names = mode < 0 ? powerFields : temperatureFields;
    auto *types = f.find<QComboBox>("comboBox_type");
    f.setTexts(names, fields);
    types->setCurrentIndex(type);
    f.click("pushButton_set");
    QCOMPARE(f.text("label_29"), label);
    if (stored.isEmpty()) {
        QCOMPARE(f.codesSinceMark(), QList<int>());
    } else {
        QCOMPARE(f.heater().workMode(), mode < 0 ? 1 : 2);
        QCOMPARE(f.heater().setting(2).toHex() + f.heater().setting(mode < 0 ? 1 : 3).toHex(), stored);
        f.setTexts(names, {});
        types->setCurrentIndex(-1);
        f.click("pushButton_get");
        QCOMPARE(types->currentIndex(), type);
        QCOMPARE(f.find<QComboBox>("comboBox_temp")->currentIndex(), qMax(mode, 0));
    }
    QCOMPARE(f.texts(names), fields); // kept on a refusal, read back after a save
}

void WindowTests::typing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    const struct
    {
        const char *row;
        int mode;
        const char *field, *keys, *text;
    } rows[] = {
        {"power beyond 300", -1, "lineEdit_power", "3005", "300"},
        {"screen timeout", -1, "lineEdit_dark", "6x05", "60"},
        {"preheat time, power mode", -1, "lineEdit_overshootTime", "0.05", "0.5"},
        {"preheat time, temperature mode", 0, "lineEdit_overshootTime", "0.05", "0.05"},
        {"compensation, C", 0, "lineEdit_compensation_C", "-95", "-9"},
        {"compensation, F", 1, "lineEdit_compensation_C", "-95", "-95"},
        {"TCR", -1, "lineEdit_TCR_m1", "65.99999", "5.9999"},
        {"TFR", -1, "lineEdit_TFR_m55", "61.2345", "1.2345"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.row) << row.mode << row.field << row.keys << row.text;
}

void WindowTests::typing()
{
    QFETCH(int, mode);
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    enterMode(mode);
    auto *edit = f.find<QLineEdit>(field);
    edit->clear();
    QTest::keyClicks(edit, keys);
    QCOMPARE(edit->text(), text);
}

void WindowTests::unitChange_data()
{
    QTest::addColumn<QByteArray>("stored"); // the heater's temperature-mode setting
    QTest::addColumn<int>("picked");        // the unit the user picks after Read; -1 none
    QTest::addColumn<QStringList>("shown"); // temperature, compensation, unit
    QTest::addColumn<QByteArray>("saved");
    // Compensation: 27 for F, -3 for C.
    QTest::newRow("200 C shown as 392 F") << QByteArray("012c00c801f4001bfd00") << 1
                                          << QStringList({"392", "27", "   ℉"}) << QByteArray("012c018801f4801bfd00");
    QTest::newRow("392 F shown as 200 C") << QByteArray("012c018801f4801bfd00") << 0
                                          << QStringList({"200", "-3", "   ℃"}) << QByteArray("012c00c801f4001bfd00");
    // Following the heater's unit converts nothing, but stays within the unit's range.
    QTest::newRow("100 F read as 200 F") << QByteArray("012c006401f4801bfd00") << -1
                                         << QStringList({"200", "27", "   ℉"}) << QByteArray("012c00c801f4801bfd00");
}

// A unit change shows the temperature and compensation in the new unit and saves the tab.
void WindowTests::unitChange()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, picked);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, saved);
    enterMode(0);
    f.heater().setSetting(3, QByteArray::fromHex(stored));
    f.click("pushButton_get");
    if (picked >= 0)
        f.find<QComboBox>("comboBox_temp")->setCurrentIndex(picked);
    QCOMPARE(f.texts({"lineEdit_temp", "lineEdit_compensation_C", "label_27"}), shown);
    QCOMPARE(f.text("label_106"), shown.last());
    QCOMPARE(f.text("label_29"), QString("Save success"));
    QCOMPARE(f.heater().setting(3).toHex(), saved);
}

void WindowTests::workModeChangeRereadsEveryTab()
{
    enterMode(-1);
    const QStringList temperatureOnly = {"lineEdit_temp", "comboBox_temp", "comboBox_type", "lineEdit_compensation_C"};
    for (int index : {1, 0}) {
        f.heater().setSetting(4, QByteArray::fromHex(index ? "3039ea6000010000ea5f" : "003c003c003c003c003c"));
        f.mark();
        f.find<QComboBox>("comboBox_workmode")->setCurrentIndex(index);
        QCOMPARE(f.heater().workMode(), index + 1);
        const QList<int> codes = f.codesSinceMark();
        QCOMPARE(codes.first(), 6);
        for (int read : {0x82, 0x84, 0x85, index ? 0x83 : 0x81})
            QVERIFY2(codes.contains(read), qPrintable(QString::number(read, 16)));
        QCOMPARE(f.text("lineEdit_TCR_m2"), QString(index ? "6" : "0.006"));
        for (const QString &name : temperatureOnly)
            QCOMPARE(f.enabled(name), bool(index));
        QCOMPARE(f.enabled("lineEdit_overshootPower"), !index);
    }
}

void WindowTests::coefficientTables_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("tfr");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("fault"); // on the save; -1 none
    QTest::addColumn<QString>("label");
    QTest::addColumn<QByteArray>("stored"); // empty: what the heater had
    QStringList ascending;
    QByteArray ascendingCounts;
    for (int i = 1; i <= 25; ++i) {
        ascending << QString::number(i * 0.24, 'g', 6);
        ascendingCounts += QByteArray::number(i * 2400, 16).rightJustified(4, '0');
    }
    const QString tcrSaved = "Save TCR success";
    QTest::newRow("TCR limits") << 0 << false << QStringList({"1.2345", "6", "0.0001", "0", "5.9999"}) << -1 << tcrSaved
                                << QByteArray("3039ea6000010000ea5f");
    QTest::newRow("TFR, row by row") << 0 << true << ascending << -1 << "Save TFR success" << ascendingCounts;
    QTest::newRow("TCR, Chinese") << 1 << false << repeated("2", 5) << -1 << "保存TCR成功"
                                  << QByteArray("4e204e204e204e204e20");
    QTest::newRow("TCR refused") << 0 << false << repeated("2", 5) << int(SimDevice::Status)
                                 << "Error    Save TCR failed" << QByteArray();
    // The answer was lost, but the heater acted on the report; the link is given up.
    QTest::newRow("TFR answer lost") << 0 << true << repeated("0.5", 25) << int(SimDevice::Drop)
                                     << "Error    Save TRF failed" << QByteArray("1388").repeated(25);
    QTest::newRow("TCR M3 out of range") << 0 << false << QStringList({"1", "2", "6.5", "7", "4"}) << -1
                                         << "Error    TCR M3 in [0, 6.0000]" << QByteArray();
    QTest::newRow("TFR eighth out of range, Chinese")
        << 1 << true << (repeated("1", 7) << "6.5" << repeated("1", 17)) << -1
        << "错误    TFR (M2, 200℃) 范围 [0, 6.0000]" << QByteArray();
}

void WindowTests::coefficientTables()
{
    QFETCH(int, language);
    QFETCH(bool, tfr);
    QFETCH(QStringList, values);
    QFETCH(int, fault);
    QFETCH(QString, label);
    QFETCH(QByteArray, stored);
    f.setLanguage(language);
    const int code = tfr ? 5 : 4;
    const QString table = tfr ? "TFR" : "TCR";
    const QStringList fields = tableFields(table);
    const QByteArray before = f.heater().setting(code).toHex();
    f.setTexts(fields, values);
    if (fault >= 0)
        f.heater().inject(1, SimDevice::Fault(fault), 3);
    f.click("pushButton_set" + table);
    QCOMPARE(f.text("label_" + table + "_msg"), label);
    QCOMPARE(f.heater().setting(code).toHex(), stored.isEmpty() ? before : stored);
    QCOMPARE(f.codesSinceMark(), label.contains(" in [") || label.contains("范围") ? QList<int>() : QList<int>{code});
    if (fault == SimDevice::Drop)
        QVERIFY(f.replug());
    else if (!stored.isEmpty()) {
        f.setTexts(fields, {});
        f.click("pushButton_get" + table);
        QCOMPARE(f.texts(fields), values);
    }
}

void WindowTests::failedReadKeepsTheFieldsAndHoldsTheSave_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("table"); // empty: the basic tab
    QTest::addColumn<int>("nth");       // of the reports of a Read
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("labels"); // after the read, after the save
    QTest::newRow("work mode refused") << 0 << "" << 1 << int(SimDevice::Status) << 3
                                       << QStringList({"Read fail", "Save fail: Read again first"});
    QTest::newRow("power settings cut short, Chinese")
        << 1 << "" << 3 << int(SimDevice::Short) << 2 << QStringList({"读取失败", "保存失败：请先重新读取"});
    QTest::newRow("TCR refused") << 0 << "TCR" << 1 << int(SimDevice::Status) << 3
                                 << QStringList(
                                        {"Error    Read TCR failed", "Error    Save TCR failed: Read TCR again first"});
    QTest::newRow("TFR answered as TCR, Chinese")
        << 1 << "TFR" << 1 << int(SimDevice::Foreign) << 0x84
        << QStringList({"错误    读取TFR失败", "错误    保存TFR失败：请先重新读取TFR"});
}

// Only answers that carried a setting reach the fields; until a read succeeds,
// Save sends nothing, and the label says why.
void WindowTests::failedReadKeepsTheFieldsAndHoldsTheSave()
{
    QFETCH(int, language);
    QFETCH(QString, table);
    QFETCH(int, nth);
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(QStringList, labels);
    f.setLanguage(language);
    enterMode(-1);
    const QStringList fields = table.isEmpty() ? powerFields.mid(1) : tableFields(table);
    const QStringList typed = repeated("1.5", fields.size());
    const QString label = table.isEmpty() ? "label_29" : "label_" + table + "_msg";
    f.setTexts(fields, typed);
    f.heater().inject(nth, SimDevice::Fault(fault), value);
    f.click("pushButton_get" + table);
    QCOMPARE(f.texts(fields), typed);
    QCOMPARE(f.text(label), labels.first());

    f.mark();
    f.click("pushButton_set" + table);
    QCOMPARE(f.codesSinceMark(), QList<int>());
    QCOMPARE(f.text(label), labels.last());

    f.click("pushButton_get" + table);
    QCOMPARE(f.text(label), QString());
    f.mark();
    f.click("pushButton_set" + table);
    QVERIFY(!f.codesSinceMark().isEmpty());
}
