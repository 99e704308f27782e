#include "app/fieldunits.h"

#include <QtTest>

// From typed numbers to the device's counts and back.
class TestFieldUnits : public QObject
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

static int screenTimeout(const QString &text)
{
    return FieldUnits::screenTimeoutCount(text);
}

static int coefficient(const QString &text)
{
    return FieldUnits::coefficientCount(text);
}

void TestFieldUnits::counts_data()
{
    QTest::addColumn<Conversion>("convert");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    const Conversion watts = &FieldUnits::tenths;
    const Conversion seconds = &FieldUnits::thousandths;
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
    QTest::newRow("timeout 10") << &screenTimeout << "10" << 1000;
    QTest::newRow("timeout 60") << &screenTimeout << "60" << 6000;
    QTest::newRow("timeout low 16 bits") << &screenTimeout << "700" << 4464;
    QTest::newRow("timeout real text") << &screenTimeout << "30.5" << 0;
    QTest::newRow("coefficient 1.2345") << &coefficient << "1.2345" << 12345;
    QTest::newRow("coefficient 6") << &coefficient << "6" << 60000;
    QTest::newRow("coefficient 0.0001") << &coefficient << "0.0001" << 1;
    QTest::newRow("coefficient 5.9999") << &coefficient << "5.9999" << 59999;
    QTest::newRow("coefficient low 16 bits") << &coefficient << "7" << 4464;
}

void TestFieldUnits::counts()
{
    QFETCH(Conversion, convert);
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(convert(text), count);
}

void TestFieldUnits::countsToText_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    QTest::newRow("30.5 W") << FieldUnits::shown(305 / 10.0) << "30.5";
    QTest::newRow("200 W") << FieldUnits::shown(2000 / 10.0) << "200";
    QTest::newRow("0.02 s") << FieldUnits::shown(20 / 1000.0) << "0.02";
    QTest::newRow("six digits") << FieldUnits::shown(1234567.0) << "1.23457e+06";
    QTest::newRow("timeout 3000") << FieldUnits::screenTimeoutText(3000) << "30";
    QTest::newRow("timeout 25600") << FieldUnits::screenTimeoutText(25600) << "0";
    QTest::newRow("timeout 65535") << FieldUnits::screenTimeoutText(65535) << "143";
    QTest::newRow("coefficient 12345") << FieldUnits::coefficientText(12345) << "1.2345";
    QTest::newRow("coefficient 5000") << FieldUnits::coefficientText(5000) << "0.5";
    QTest::newRow("coefficient 0") << FieldUnits::coefficientText(0) << "0";
    QTest::newRow("coefficient 60000") << FieldUnits::coefficientText(60000) << "6";
    QTest::newRow("coefficient 1") << FieldUnits::coefficientText(1) << "0.0001";
}

void TestFieldUnits::countsToText()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

void TestFieldUnits::temperature_data()
{
    QTest::addColumn<bool>("fahrenheit");
    QTest::addColumn<unsigned>("stored");
    QTest::addColumn<bool>("storedFahrenheit");
    QTest::addColumn<unsigned>("shown");
    QTest::newRow("200 C as F") << true << 200u << false << 392u;
    QTest::newRow("300 C as F") << true << 300u << false << 572u;
    QTest::newRow("100 C as F") << true << 100u << false << 212u;
    QTest::newRow("50 C as F, clamped") << true << 50u << false << 200u;
    QTest::newRow("392 F as C") << false << 392u << true << 200u;
    QTest::newRow("212 F as C") << false << 212u << true << 100u;
    QTest::newRow("400 F as C, rounded") << false << 400u << true << 204u;
    QTest::newRow("600 F as C, clamped") << false << 600u << true << 300u;
    QTest::newRow("20 F as C, wraps to the top") << false << 20u << true << 300u;
    QTest::newRow("F kept") << true << 392u << true << 392u;
    QTest::newRow("F kept, clamped") << true << 20u << true << 200u;
    QTest::newRow("C kept, clamped") << false << 350u << false << 300u;
    QTest::newRow("huge C as F") << true << 4000000000u << false << 572u;
}

void TestFieldUnits::temperature()
{
    QFETCH(bool, fahrenheit);
    QFETCH(unsigned, stored);
    QFETCH(bool, storedFahrenheit);
    QFETCH(unsigned, shown);
    QCOMPARE(FieldUnits::temperatureIn(fahrenheit, stored, storedFahrenheit), shown);
}

QTEST_APPLESS_MAIN(TestFieldUnits)
#include "tst_fieldunits.moc"
