#include "params/inputrules.h"

#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(InputRules::BasicTexts)

namespace {

InputRules::BasicTexts validPowerMode()
{
    InputRules::BasicTexts texts;
    texts.screenTimeout = "30";
    texts.power = "30.5";
    texts.preheatTime = "1.5";
    texts.preheatPower = "20";
    return texts;
}

InputRules::BasicTexts validTemperatureMode(bool fahrenheit)
{
    InputRules::BasicTexts texts = validPowerMode();
    texts.workMode = 2;
    texts.fahrenheit = fahrenheit;
    texts.preheatPower.clear(); // not examined in temperature mode
    texts.temperature = fahrenheit ? "400" : "200";
    texts.compensation = "-5";
    return texts;
}

QStringList zeros(int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << "0";
    return texts;
}

} // namespace

class TestInputRules : public QObject
{
    Q_OBJECT

private slots:
    // The validator's view: a text is acceptable only when the whole of it matches.
    void patternsAcceptWholeTexts_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("acceptable");
        const QString power = InputRules::PowerPattern;
        QTest::newRow("power 300") << power << "300" << true;
        QTest::newRow("power 300.1") << power << "300.1" << true;
        QTest::newRow("power 301") << power << "301" << false;
        QTest::newRow("power 99.95") << power << "99.95" << false;
        QTest::newRow("power +50") << power << "+50" << false;
        const QString preheatPower = InputRules::PreheatPowerPattern;
        QTest::newRow("preheat power +50") << preheatPower << "+50" << true;
        QTest::newRow("preheat power 5") << preheatPower << "5" << false;
        const QString timePower = InputRules::PreheatTimePowerModePattern;
        QTest::newRow("time pm 0.1") << timePower << "0.1" << true;
        QTest::newRow("time pm +0.5") << timePower << "+0.5" << true;
        QTest::newRow("time pm 0.05") << timePower << "0.05" << false;
        QTest::newRow("time pm 10") << timePower << "10" << false;
        const QString timeTemperature = InputRules::PreheatTimeTemperatureModePattern;
        QTest::newRow("time tm 0.02") << timeTemperature << "0.02" << true;
        QTest::newRow("time tm 0.05") << timeTemperature << "0.05" << true;
        QTest::newRow("time tm 0.01") << timeTemperature << "0.01" << false;
        QTest::newRow("time tm 0.020") << timeTemperature << "0.020" << false;
        const QString compF = InputRules::CompensationFahrenheitPattern;
        QTest::newRow("comp F -95") << compF << "-95" << true;
        QTest::newRow("comp F 104") << compF << "104" << true;
        QTest::newRow("comp F -5") << compF << "-5" << true;
        QTest::newRow("comp F -96") << compF << "-96" << false;
        QTest::newRow("comp F 105") << compF << "105" << false;
        QTest::newRow("comp F 5") << compF << "5" << false;
        const QString compC = InputRules::CompensationCelsiusPattern;
        QTest::newRow("comp C -35") << compC << "-35" << true;
        QTest::newRow("comp C 40") << compC << "40" << true;
        QTest::newRow("comp C 5") << compC << "5" << true;
        QTest::newRow("comp C -36") << compC << "-36" << false;
        QTest::newRow("comp C 41") << compC << "41" << false;
        const QString coefficient = InputRules::CoefficientPattern;
        QTest::newRow("coefficient 5.9999") << coefficient << "5.9999" << true;
        QTest::newRow("coefficient 6") << coefficient << "6" << false;
        QTest::newRow("coefficient 1.23456") << coefficient << "1.23456" << false;
    }

    void patternsAcceptWholeTexts()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, acceptable);
        const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern));
        QVERIFY(expression.isValid());
        QCOMPARE(expression.match(text).hasMatch(), acceptable);
    }

    void fahrenheitCompensationFiveIsOnlyIntermediate()
    {
        const QRegularExpression expression(
            QRegularExpression::anchoredPattern(InputRules::CompensationFahrenheitPattern));
        QVERIFY(expression.match("5", 0, QRegularExpression::PartialPreferCompleteMatch).hasPartialMatch());
        QCOMPARE(InputRules::checkCompensation("5", true, 0), QString());
    }

    void singleChecksHoldTheirBounds_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("flag"); // work mode 2 or Fahrenheit, where the check has one
        QTest::addColumn<bool>("accepted");
        QTest::newRow("screen 9") << "screen"
                                  << "9" << false << false;
        QTest::newRow("screen 10") << "screen"
                                   << "10" << false << true;
        QTest::newRow("screen 60") << "screen"
                                   << "60" << false << true;
        QTest::newRow("screen 61") << "screen"
                                   << "61" << false << false;
        QTest::newRow("screen empty") << "screen"
                                      << "" << false << false;
        QTest::newRow("power 300.0") << "power"
                                     << "300.0" << false << true;
        QTest::newRow("power 300.1") << "power"
                                     << "300.1" << false << false;
        QTest::newRow("power nan") << "power"
                                   << "nan" << false << false;
        QTest::newRow("power inf") << "power"
                                   << "inf" << false << false;
        QTest::newRow("time 0.05 pm") << "time"
                                      << "0.05" << false << false;
        QTest::newRow("time 0.05 tm") << "time"
                                      << "0.05" << true << true;
        QTest::newRow("time 10 pm") << "time"
                                    << "10" << false << false;
        QTest::newRow("time 10 tm") << "time"
                                    << "10" << true << false;
        QTest::newRow("time 0.02 tm") << "time"
                                      << "0.02" << true << true;
        QTest::newRow("time 0.019 tm") << "time"
                                       << "0.019" << true << false;
        QTest::newRow("preheat 300.1") << "preheat"
                                       << "300.1" << false << false;
        QTest::newRow("temp C 300") << "temp"
                                    << "300" << false << true;
        QTest::newRow("temp C 301") << "temp"
                                    << "301" << false << false;
        QTest::newRow("temp F 572") << "temp"
                                    << "572" << true << true;
        QTest::newRow("temp F 573") << "temp"
                                    << "573" << true << false;
        QTest::newRow("comp C -35") << "comp"
                                    << "-35" << false << true;
        QTest::newRow("comp C 40") << "comp"
                                   << "40" << false << true;
        QTest::newRow("comp C -36") << "comp"
                                    << "-36" << false << false;
        QTest::newRow("comp C 41") << "comp"
                                   << "41" << false << false;
        QTest::newRow("comp F -95") << "comp"
                                    << "-95" << true << true;
        QTest::newRow("comp F 104") << "comp"
                                    << "104" << true << true;
        QTest::newRow("comp F -96") << "comp"
                                    << "-96" << true << false;
        QTest::newRow("comp F 105") << "comp"
                                    << "105" << true << false;
        QTest::newRow("comp empty") << "comp"
                                    << "" << false << true;
    }

    void singleChecksHoldTheirBounds()
    {
        QFETCH(QString, check);
        QFETCH(QString, text);
        QFETCH(bool, flag);
        QFETCH(bool, accepted);
        QString message;
        if (check == "screen")
            message = InputRules::checkScreenTimeout(text, 0);
        else if (check == "power")
            message = InputRules::checkPower(text, 0);
        else if (check == "time")
            message = InputRules::checkPreheatTime(text, flag ? 2 : 1, 0);
        else if (check == "preheat")
            message = InputRules::checkPreheatPower(text, 0);
        else if (check == "temp")
            message = InputRules::checkTemperature(text, flag, 0);
        else
            message = InputRules::checkCompensation(text, flag, 0);
        QCOMPARE(message.isEmpty(), accepted);
        QVERIFY(accepted || message.startsWith("Error    "));
    }

    // Each row fails exactly one check; the message is the first failure's, in both languages.
    void basicCheckStopsAtFirstFailure_data()
    {
        QTest::addColumn<InputRules::BasicTexts>("texts");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        InputRules::BasicTexts t = validPowerMode();
        QTest::newRow("power mode passes") << t << QString() << QString();
        t.temperature = "999";
        t.compensation = "-99";
        QTest::newRow("power mode ignores temperature fields") << t << QString() << QString();
        t = validPowerMode();
        t.screenTimeout = "";
        t.power = "301";
        QTest::newRow("screen before power")
            << t << "Error    Screen timeout in [10,60] s" << QString("错误    暗屏时间 范围 [10,60] 秒");
        t = validPowerMode();
        t.power = "300.1";
        t.preheatTime = "10";
        QTest::newRow("power before time")
            << t << "Error    Power Value in [10.0, 300.0] W" << QString("错误    功率值范围 [10.0, 300.0] 瓦");
        t = validPowerMode();
        t.preheatTime = "0.05";
        t.preheatPower = "0";
        QTest::newRow("time in power mode")
            << t << "Error    Preheat Time in [0.1, 9.999] s" << QString("错误    预热时间范围 [0.1, 9.999] 秒");
        t = validPowerMode();
        t.preheatPower = "9.9";
        QTest::newRow("preheat power") << t << "Error    Preheat Power in [10.0, 300.0] W"
                                       << QString("错误    预热功率范围 [10.0, 300.0] 瓦");
        t = validTemperatureMode(false);
        QTest::newRow("temperature mode passes") << t << QString() << QString();
        t.preheatTime = "0.05";
        QTest::newRow("temperature mode takes 0.05") << t << QString() << QString();
        t.preheatTime = "0.01";
        t.temperature = "0";
        QTest::newRow("time in temperature mode")
            << t << "Error    Preheat Time in [0.02, 9.999] s" << QString("错误    预热时间范围 [0.02, 9.999] 秒");
        t = validTemperatureMode(false);
        t.temperature = "301";
        t.compensation = "99";
        QTest::newRow("temperature C") << t << "Error    Temperature in [100, 300] ℃"
                                       << QString("错误    温度值范围 [100, 300] ℃");
        t = validTemperatureMode(true);
        t.temperature = "573";
        QTest::newRow("temperature F") << t << "Error    Temperature in [200, 572] ℉"
                                       << QString("错误    温度值范围 [200, 572] ℉");
        t = validTemperatureMode(false);
        t.compensation = "41";
        QTest::newRow("compensation C") << t << "Error    Compensation in [-35, 40] ℃"
                                        << QString("错误    温度补偿范围 [-35, 40] ℃");
        t = validTemperatureMode(true);
        t.compensation = "-96";
        QTest::newRow("compensation F") << t << "Error    Compensation in [-95, 104] ℉"
                                        << QString("错误    温度补偿范围 [-95, 104] ℉");
    }

    void basicCheckStopsAtFirstFailure()
    {
        QFETCH(InputRules::BasicTexts, texts);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(InputRules::checkBasic(texts, 0), english);
        QCOMPARE(InputRules::checkBasic(texts, 1), chinese);
    }

    void tcrNamesFirstSlotOutOfRange_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QStringList texts = zeros(5);
        QTest::newRow("all zero") << texts << QString() << QString();
        texts[4] = "6.0";
        QTest::newRow("6.0 passes") << texts << QString() << QString();
        texts[2] = "6.5";
        QTest::newRow("6.5 in M3") << texts << "Error    TCR M3 in [0, 6.0000]"
                                   << QString("错误    TCR M3 范围 [0, 6.0000]");
        texts[0] = "-0.1";
        QTest::newRow("M1 first") << texts << "Error    TCR M1 in [0, 6.0000]"
                                  << QString("错误    TCR M1 范围 [0, 6.0000]");
        QTest::newRow("empty and unconvertible count as 0")
            << QStringList{"", "x", "1.5", "", ""} << QString() << QString();
    }

    void tcrNamesFirstSlotOutOfRange()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(InputRules::checkTCR(texts, 0), english);
        QCOMPARE(InputRules::checkTCR(texts, 1), chinese);
    }

    void tfrNamesSlotAndTemperature_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("first") << 0 << "Error    TFR (M1, 100℃) in [0, 6.0000]"
                               << QString("错误    TFR (M1, 100℃) 范围 [0, 6.0000]");
        QTest::newRow("eighth") << 7 << "Error    TFR (M2, 200℃) in [0, 6.0000]"
                                << QString("错误    TFR (M2, 200℃) 范围 [0, 6.0000]");
        QTest::newRow("last") << 24 << "Error    TFR (M5, 300℃) in [0, 6.0000]"
                              << QString("错误    TFR (M5, 300℃) 范围 [0, 6.0000]");
    }

    void tfrNamesSlotAndTemperature()
    {
        QFETCH(int, index);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QStringList texts = zeros(25);
        QCOMPARE(InputRules::checkTFR(texts, 0), QString());
        texts[index] = "6.0001";
        if (index < 24)
            texts[24] = "7"; // a later failure is not reported
        QCOMPARE(InputRules::checkTFR(texts, 0), english);
        QCOMPARE(InputRules::checkTFR(texts, 1), chinese);
    }
};

QTEST_GUILESS_MAIN(TestInputRules)
#include "tst_inputrules.moc"
