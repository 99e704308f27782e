#include "params/units.h"

#include <QtTest>

// From typed numbers to the device's counts and back.
class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void countsToText_data();
    void countsToText();
    void temperature_data();
    void temperature();
};

using Conversion = int (*)(const QString &);
Q_DECLARE_METATYPE(Conversion)

static int coefficient(const QString &text)
{
    return Units::coefficientCount(text);
}

void TestUnits::counts_data()
{
    QTest::addColumn<Conversion>("convert");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    const Conversion watts = &Units::powerCount;
    const Conversion seconds = &Units::preheatTimeCount;
    const Conversion screenTimeout = &Units::screenTimeoutCount;
    QTest::newRow("power 30.5") << watts << "30.5" << 305;
    QTest::newRow("power 10.1") << watts << "10.1" << 101;
    QTest::newRow("power 300") << watts << "300" << 3000;
    QTest::newRow("power empty") << watts << "" << 0;
    QTest::newRow("power not a number") << watts << "abc" << 0;
    QTest::newRow("power nan") << watts << "nan" << 0;
    QTest::newRow("power huge") << watts << "1e300" << 2147483647;
    QTest::newRow("preheat 9.999") << seconds << "9.999" << 9999;
    QTest::newRow("preheat 0.1") << seconds << "0.1" << 100;
    QTest::newRow("preheat 0.02") << seconds << "0.02" << 20;
    QTest::newRow("preheat 1.5") << seconds << "1.5" << 1500;
    QTest::newRow("timeout 10") << screenTimeout << "10" << 1000;
    QTest::newRow("timeout 60") << screenTimeout << "60" << 6000;
    QTest::newRow("timeout low 16 bits") << screenTimeout << "700" << 4464;
    QTest::newRow("timeout real text") << screenTimeout << "30.5" << 0;
    QTest::newRow("coefficient 1.2345") << &coefficient << "1.2345" << 12345;
    QTest::newRow("coefficient 6") << &coefficient << "6" << 60000;
    QTest::newRow("coefficient 0.0001") << &coefficient << "0.0001" << 1;
    QTest::newRow("coefficient 5.9999") << &coefficient << "5.9999" << 59999;
    QTest::newRow("coefficient low 16 bits") << &coefficient << "7" << 4464;
}

void TestUnits::counts()
{
    QFETCH(Conversion, convert);
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(convert(text), count);
}

void TestUnits::countsToText_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    QTest::newRow("30.5 W") << Units::powerText(305) << "30.5";
    QTest::newRow("200 W") << Units::powerText(2000) << "200";
    QTest::newRow("0.02 s") << Units::preheatTimeText(20) << "0.02";
    QTest::newRow("six digits") << Units::powerText(12345678) << "1.23457e+06";
    QTest::newRow("timeout 3000") << Units::screenTimeoutText(3000) << "30";
    QTest::newRow("timeout 25600") << Units::screenTimeoutText(25600) << "0";
    QTest::newRow("timeout 65535") << Units::screenTimeoutText(65535) << "143";
    QTest::newRow("coefficient 12345") << Units::coefficientText(12345) << "1.2345";
    QTest::newRow("coefficient 5000") << Units::coefficientText(5000) << "0.5";
    QTest::newRow("coefficient 0") << Units::coefficientText(0) << "0";
    QTest::newRow("coefficient 60000") << Units::coefficientText(60000) << "6";
    QTest::newRow("coefficient 1") << Units::coefficientText(1) << "0.0001";
}

void TestUnits::countsToText()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

void TestUnits::temperature_data()
{
    QTest::addColumn<bool>("toFahrenheit");
    QTest::addColumn<uint>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("200 C as F") << true << 200u << 392;
    QTest::newRow("300 C as F") << true << 300u << 572;
    QTest::newRow("100 C as F") << true << 100u << 212;
    QTest::newRow("50 C as F, clamped") << true << 50u << 200;
    QTest::newRow("huge C as F, clamped") << true << 4000000000u << 572;
    QTest::newRow("392 F as C") << false << 392u << 200;
    QTest::newRow("212 F as C") << false << 212u << 100;
    QTest::newRow("400 F as C, rounded") << false << 400u << 204;
    QTest::newRow("600 F as C, clamped") << false << 600u << 300;
    QTest::newRow("20 F as C, wraps to the top") << false << 20u << 300;
}

void TestUnits::temperature()
{
    QFETCH(bool, toFahrenheit);
    QFETCH(uint, stored);
    QFETCH(int, shown);
    QCOMPARE(toFahrenheit ? Units::fahrenheitOf(stored) : Units::celsiusOf(stored), shown);
}

QTEST_APPLESS_MAIN(TestUnits)
#include "tst_units.moc"
