#include "params/inputrules.h"
#include "params/units.h"

#include <QtTest>
#include <tuple>

// What the parameter pages let through, and the numbers they send and show.
class TestParams : public QObject
{
    Q_OBJECT

private slots:
    // Each row changes valid entries; a save shows the first failure's message, in both languages.
    void basicPageChecks_data()
    {
        QTest::addColumn<int>("workMode");
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("messages"); // English|Chinese
        const QString screen = "Error    Screen timeout in [10,60] s|错误    暗屏时间 范围 [10,60] 秒";
        const QString power = "Error    Power Value in [10.0, 300.0] W|错误    功率值范围 [10.0, 300.0] 瓦";
        const QString celsius = "Error    Temperature in [100, 300] ℃|错误    温度值范围 [100, 300] ℃";
        const QString compF = "Error    Compensation in [-95, 104] ℉|错误    温度补偿范围 [-95, 104] ℉";
        const QString compC = "Error    Compensation in [-35, 40] ℃|错误    温度补偿范围 [-35, 40] ℃";
        const QList<std::tuple<const char *, int, bool, QString, QString>> rows{
            {"power mode passes", 1, false, "temperature=999 compensation=-99 preheatTime=0.1 power=10", ""},
            {"screen 9 before power", 1, false, "screenTimeout=9 power=301", screen},
            {"screen 61", 1, false, "screenTimeout=61", screen},
            {"screen empty", 1, false, "screenTimeout=", screen},
            {"power before time", 1, false, "power=300.1 preheatTime=10", power},
            {"power nan", 1, false, "power=nan", power},
            {"time in power mode", 1, false, "preheatTime=0.05 preheatPower=0",
             "Error    Preheat Time in [0.1, 9.999] s|错误    预热时间范围 [0.1, 9.999] 秒"},
            {"preheat power", 1, false, "preheatPower=9.9",
             "Error    Preheat Power in [10.0, 300.0] W|错误    预热功率范围 [10.0, 300.0] 瓦"},
            {"temperature mode passes", 2, false, "preheatTime=0.02 preheatPower= temperature=300 compensation=40", ""},
            {"time in temperature mode", 2, false, "preheatTime=0.019 temperature=0",
             "Error    Preheat Time in [0.02, 9.999] s|错误    预热时间范围 [0.02, 9.999] 秒"},
            {"temperature C", 2, false, "temperature=301 compensation=99", celsius},
            {"temperature F", 2, true, "temperature=573",
             "Error    Temperature in [200, 572] ℉|错误    温度值范围 [200, 572] ℉"},
            {"Fahrenheit passes", 2, true, "temperature=572 compensation=104", ""},
            {"compensation C -36", 2, false, "compensation=-36", compC},
            {"compensation C 41", 2, false, "compensation=41", compC},
            {"compensation F -96", 2, true, "compensation=-96", compF},
            {"compensation F 105", 2, true, "compensation=105", compF}};
        for (const auto &row : rows)
            QTest::newRow(std::get<0>(row)) << std::get<1>(row) << std::get<2>(row) << std::get<3>(row)
                                            << (std::get<4>(row).isEmpty() ? "|" : std::get<4>(row));
    }

    void basicPageChecks()
    {
        QFETCH(int, workMode);
        QFETCH(bool, fahrenheit);
        QFETCH(QString, entries);
        QFETCH(QString, messages);
        InputRules::BasicTexts texts{"30", "30.5", "1.5", "20", fahrenheit ? "400" : "200", "-5", workMode, fahrenheit};
        QString *const field[] = {&texts.screenTimeout, &texts.power,       &texts.preheatTime,
                                  &texts.preheatPower,  &texts.temperature, &texts.compensation};
        const QStringList names{"screenTimeout", "power", "preheatTime", "preheatPower", "temperature", "compensation"};
        for (const QString &entry : entries.split(' ', Qt::SkipEmptyParts))
            *field[names.indexOf(entry.section('=', 0, 0))] = entry.section('=', 1);
        QCOMPARE(InputRules::checkBasic(texts, 0) + '|' + InputRules::checkBasic(texts, 1), messages);
    }

    // The first coefficient out of [0, 6] is named, in both languages.
    void coefficientChecksNameTheFirstFailure()
    {
        using Check = QString (*)(const QStringList &, int);
        const auto both = [](Check check, const QStringList &texts) { return check(texts, 0) + '|' + check(texts, 1); };
        const Check tcr = &InputRules::checkTCR, tfr = &InputRules::checkTFR;
        const QString tcrFailure = "Error    TCR M%1 in [0, 6.0000]|错误    TCR M%1 范围 [0, 6.0000]";
        const QString tfrFailure = "Error    TFR (M%1, %2℃) in [0, 6.0000]|错误    TFR (M%1, %2℃) 范围 [0, 6.0000]";
        QCOMPARE(both(tcr, {"", "x", "1.5", "0", "6.0"}), QString("|"));
        QCOMPARE(both(tcr, {"0", "0", "6.5", "7", "0"}), tcrFailure.arg(3));
        QCOMPARE(both(tcr, {"-0.1", "0", "0", "0", "0"}), tcrFailure.arg(1));
        QStringList texts = QVector<QString>(25, "6").toList();
        QCOMPARE(both(tfr, texts), QString("|"));
        texts[24] = "7";
        QCOMPARE(both(tfr, texts), tfrFailure.arg(5).arg(300));
        texts[7] = "6.0001";
        QCOMPARE(both(tfr, texts), tfrFailure.arg(2).arg(200));
        texts[0] = "-1";
        QCOMPARE(both(tfr, texts), tfrFailure.arg(1).arg(100));
    }

    // From typed numbers to the device's counts, and from counts to the texts shown.
    void unitsConvert_data()
    {
        QTest::addColumn<QString>("converted");
        QTest::addColumn<QString>("expected");
        const auto count = [](int value) { return QString::number(value); };
        QTest::newRow("power 30.5") << count(Units::powerCount("30.5")) << "305";
        QTest::newRow("power not a number") << count(Units::powerCount("nan")) << "0";
        QTest::newRow("power huge") << count(Units::powerCount("1e300")) << "2147483647";
        QTest::newRow("preheat 0.02") << count(Units::preheatTimeCount("0.02")) << "20";
        QTest::newRow("timeout 60") << count(Units::screenTimeoutCount("60")) << "6000";
        QTest::newRow("timeout low 16 bits") << count(Units::screenTimeoutCount("700")) << "4464";
        QTest::newRow("timeout real text") << count(Units::screenTimeoutCount("30.5")) << "0";
        QTest::newRow("coefficient 1.2345") << count(Units::coefficientCount("1.2345")) << "12345";
        QTest::newRow("coefficient low 16 bits") << count(Units::coefficientCount("7")) << "4464";
        QTest::newRow("30.5 W") << Units::powerText(305) << "30.5";
        QTest::newRow("six digits") << Units::powerText(12345678) << "1.23457e+06";
        QTest::newRow("0.02 s") << Units::preheatTimeText(20) << "0.02";
        QTest::newRow("timeout 3000") << Units::screenTimeoutText(3000) << "30";
        QTest::newRow("timeout 65535") << Units::screenTimeoutText(65535) << "143";
        QTest::newRow("coefficient 1") << Units::coefficientText(1) << "0.0001";
        QTest::newRow("200 C as F") << count(Units::fahrenheitOf(200)) << "392";
        QTest::newRow("50 C as F, clamped") << count(Units::fahrenheitOf(50)) << "200";
        QTest::newRow("huge C as F, clamped") << count(Units::fahrenheitOf(4000000000u)) << "572";
        QTest::newRow("400 F as C, rounded") << count(Units::celsiusOf(400)) << "204";
        QTest::newRow("600 F as C, clamped") << count(Units::celsiusOf(600)) << "300";
        QTest::newRow("20 F as C wraps to the top") << count(Units::celsiusOf(20)) << "300";
    }

    void unitsConvert()
    {
        QFETCH(QString, converted);
        QFETCH(QString, expected);
        QCOMPARE(converted, expected);
    }
};

QTEST_GUILESS_MAIN(TestParams)
#include "tst_params.moc"
