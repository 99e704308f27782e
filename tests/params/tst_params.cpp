#include "params/inputrules.h"
#include "params/paramter.h"
#include "params/units.h"
#include "tests/support/logcapture.h"

#include <QRegularExpression>
#include <QtTest>
#include <memory>

namespace {

// A framed report written out from the layout: code, length, payload, zero fill
// to byte 61, then the checksum given high byte first.
QByteArray report(const char *headAndPayload, const char *crc)
{
    QByteArray bytes = QByteArray::fromHex(headAndPayload);
    return bytes + QByteArray(62 - bytes.size(), '\0') + QByteArray::fromHex(crc);
}

const char *const Tfr =
    "0001006500c9012d019101f5025902bd0321038503e9044d04b10515057905dd064106a50709076d07d10835089908fd0961";

template <typename Table> QByteArray hexOf(const Table &table)
{
    QByteArray bytes;
    for (uint16_t value : table)
        bytes += char(value >> 8) + QByteArray(1, char(value));
    return bytes.toHex();
}

template <typename Table> Table tableOf(const QByteArray &hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    Table table{};
    for (int i = 0; i < int(table.size()); ++i)
        table[i] = uint16_t(uint8_t(bytes[2 * i]) << 8 | uint8_t(bytes[2 * i + 1]));
    return table;
}

// Every value the record holds, by name.
QStringList fields(const Parameter &p)
{
    const QList<int> values{p.power(),     p.overshootPower(), p.overshootTime(),     p.screenTimeout(),
                            p.tempPower(), p.temperature(),    p.tempOvershootTime(), p.typeAndUnit(),
                            p.workMode(),  p.compensationC(),  p.compensationF()};
    const QStringList names{"power",     "overshootPower", "overshootTime",     "screenTimeout",
                            "tempPower", "temperature",    "tempOvershootTime", "typeAndUnit",
                            "workMode",  "compensationC",  "compensationF"};
    QStringList list;
    for (int i = 0; i < names.size(); ++i)
        list << names[i] + '=' + QString::number(values[i]);
    return list << "tcr=" + hexOf(p.tcr()) << "tfr=" + hexOf(p.tfr());
}

// A record whose every setting differs from what the tests send or expect.
void fill(Parameter &record)
{
    record.setPower(300);
    record.setOvershootPower(50);
    record.setOvershootTime(1500);
    record.setScreenTimeout(1000);
    record.setTempPower(500);
    record.setTemperature(200);
    record.setTempOvershootTime(100);
    record.setAtomizerType(1);
    record.setCompensation(5);
    record.setTcr({39, 1, 2, 3, 60000});
    record.setTfr(tableOf<Parameter::TfrTable>(Tfr));
    record.setWorkMode(2);
}

QByteArray encoded(Parameter &record, int code, int size = 64)
{
    QByteArray buffer(64, '\xAA');
    auto *at = reinterpret_cast<uint8_t *>(buffer.data());
    const int result =
        code & Parameter::ReadRequest ? record.encodeForRead(code, at, size) : record.encode(code, at, size);
    return result == 0 ? buffer : "refused " + buffer.toHex();
}

} // namespace

class TestParams : public QObject
{
    Q_OBJECT

private slots:
    // One table of the wire: each command's report, byte by byte.
    void reportsOnTheWire_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("power") << 1 << report("0106012c003205dc", "d6d4");
        QTest::newRow("screen timeout") << 2 << report("020203e8", "e2a0");
        QTest::newRow("temperature") << 3 << report("030801f400c800640105", "57f2");
        QTest::newRow("tcr") << 4 << report("040a0027000100020003ea60", "acdd");
        QTest::newRow("tfr") << 5 << report(QByteArray("0532") + Tfr, "4d51");
        QTest::newRow("work mode") << 6 << report("060102", "9011");
        QTest::newRow("no payload") << 7 << report("0700", "8003");
        QTest::newRow("read power") << 0x81 << report("8100", "e061");
        QTest::newRow("read work mode") << 0x86 << report("8600", "d063");
        const QByteArray untouched = "refused " + QByteArray(64, '\xAA').toHex();
        QTest::newRow("code 0") << 0 << untouched;
        QTest::newRow("code 8") << 8 << untouched;
    }

    void reportsOnTheWire()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, expected);
        Parameter record;
        fill(record);
        const QStringList before = fields(record);
        QCOMPARE(encoded(record, code).toHex(), expected.toHex());
        QCOMPARE(fields(record), before);
        QCOMPARE(encoded(record, code).toHex(), expected.toHex()); // a second report is the same
    }

    void smallBuffersAreRefused()
    {
        Parameter record;
        LogCapture log;
        const QByteArray untouched = "refused " + QByteArray(64, '\xAA').toHex();
        QCOMPARE(encoded(record, 1, 63), untouched);
        QCOMPARE(encoded(record, 0x81, 10), untouched);
        QVERIFY(log.containsPart("] Fun:[encode] File:[paramter] buffer size must bigger than 64\n\n"));
        QVERIFY(log.containsPart("] Fun:[encodeForRead] File:[paramter] buffer size must bigger than 64\n\n"));
    }

    // The compensation goes to the unit in use as a sign-and-magnitude byte; the other unit's stays.
    void compensationTravelsInTheUnitInUse_data()
    {
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("-35 C") << false << -35 << report("030800000000000000dd", "9127");
        QTest::newRow("40 C") << false << 40 << report("03080000000000000028", "d6e7");
        QTest::newRow("-95 F") << true << -95 << report("030800000000000080a1", "b047");
        QTest::newRow("104 F") << true << 104 << report("03080000000000008068", "e687");
    }

    void compensationTravelsInTheUnitInUse()
    {
        QFETCH(bool, fahrenheit);
        QFETCH(int, value);
        QFETCH(QByteArray, expected);
        Parameter record;
        record.setFahrenheit(!fahrenheit);
        record.setCompensation(7);
        record.setFahrenheit(fahrenheit);
        record.setAtomizerType(0);
        record.setCompensation(value);
        QCOMPARE(encoded(record, 3).toHex(), expected.toHex());
        QCOMPARE(fahrenheit ? record.compensationF() : record.compensationC(), value);
        QCOMPARE(fahrenheit ? record.compensationC() : record.compensationF(), 7);
        record.setAtomizerType(2);
        QCOMPARE(record.atomizerType(), 2);
        QCOMPARE(record.unitBit(), int(fahrenheit));
    }

    // What an answer changes in a record that held other values; the result is its code.
    void answersChangeTheRecord_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("changes");
        QTest::newRow("power") << QByteArray("8106000a000b000c") << 0x81
                               << "power=10 overshootPower=11 overshootTime=12";
        QTest::newRow("power of 8 bytes, mode 1")
            << QByteArray("91080001000200030000") << 0x81 << "power=1 overshootPower=2 overshootTime=3 workMode=1";
        QTest::newRow("power of 5 bytes") << QByteArray("81050001000200030000") << 0x81 << "";
        QTest::newRow("screen timeout") << QByteArray("82020bb8") << 0x82 << "screenTimeout=3000";
        QTest::newRow("temperature, mode 2, Fahrenheit")
            << QByteArray("a30a00010002000381f6fd09") << 0x83
            << "tempPower=1 temperature=2 tempOvershootTime=3 typeAndUnit=129 compensationC=-3 compensationF=-10";
        QTest::newRow("mode 3 is no mode") << QByteArray("b30a00000000000000000000") << 0x83
                                           << "tempPower=0 temperature=0 tempOvershootTime=0 typeAndUnit=0 "
                                              "compensationC=0 compensationF=0";
        QTest::newRow("tcr") << QByteArray("840a00010002000300040005") << 0x84 << "tcr=00010002000300040005";
        QTest::newRow("tcr of 11 bytes") << QByteArray("840b00010002000300040005") << 0x84 << "";
        QTest::newRow("tfr of 49 bytes") << "8531" + QByteArray(Tfr).replace("0001", "0007") << 0x85 << "";
        QTest::newRow("tfr") << "8532" + QByteArray(Tfr).replace("0001", "0007") << 0x85
                             << "tfr=" + QString(Tfr).replace("0001", "0007");
        QTest::newRow("work mode, payload wins") << QByteArray("a60101") << 0x86 << "workMode=1";
        QTest::newRow("write answer") << QByteArray("0401") << 0x04 << "";
        QTest::newRow("unknown code") << QByteArray("a70a01f4") << 0x87 << "";
    }

    void answersChangeTheRecord()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, code);
        QFETCH(QString, changes);
        Parameter record;
        fill(record);
        record.setFahrenheit(1);
        record.setCompensation(9);
        const QStringList before = fields(record);
        QByteArray bytes = QByteArray::fromHex(answer);
        bytes.append(64 - bytes.size(), '\0');
        QCOMPARE(record.decode(reinterpret_cast<const uint8_t *>(bytes.constData()), 64), code);
        QStringList changed;
        for (const QString &field : fields(record))
            if (!before.contains(field))
                changed << field;
        QCOMPARE(changed.join(' '), changes);
    }

    // Read past its end, a short answer would take bytes that were never received.
    void shortAnswersAreLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("code");
        QTest::newRow("tfr in 20 bytes") << QByteArray::fromHex("8532000100650000000000000000000000000000") << 0x85;
        QTest::newRow("temperature in 8 bytes") << QByteArray::fromHex("a30a01f400c80064") << 0x83;
        QTest::newRow("head only") << QByteArray::fromHex("a6") << -1;
    }

    void shortAnswersAreLeftAlone()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, code);
        const std::unique_ptr<uint8_t[]> exact(new uint8_t[answer.size()]);
        memcpy(exact.get(), answer.constData(), size_t(answer.size()));
        Parameter record;
        const QStringList before = fields(record);
        LogCapture log;
        QCOMPARE(record.decode(exact.get(), answer.size()), code);
        QCOMPARE(fields(record), before);
        QVERIFY(log.containsPart(QString("File:[paramter] answer size:%1 too short\n\n").arg(answer.size())));
    }

    // Whether an answer is the whole answer to a read request, a refusal, or something else.
    void answersFitTheirRequest_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("fit");
        const int carries = Parameter::AnswerCarries, refuses = Parameter::AnswerRefuses;
        const int foreign = Parameter::AnswerForeign;
        const QByteArray zeros = QByteArray(62, '0');
        QTest::newRow("power") << 0x81 << "8106" + zeros << carries;
        QTest::newRow("power may carry more") << 0x81 << "8108" + zeros << carries;
        QTest::newRow("power of 5") << 0x81 << "8105" + zeros << foreign;
        QTest::newRow("temperature, mode bits aside") << 0x83 << "a30a" + zeros << carries;
        QTest::newRow("tcr") << 0x84 << "840a" + zeros << carries;
        QTest::newRow("tcr of 11") << 0x84 << "840b" + zeros << foreign;
        QTest::newRow("tcr refused") << 0x84 << "8403" + zeros << refuses;
        QTest::newRow("screen timeout refused") << 0x82 << "8203" + zeros << refuses;
        QTest::newRow("tfr answer to a tcr request") << 0x84 << "850a" + zeros << foreign;
        QTest::newRow("work-mode answer to a tcr request") << 0x84 << "960a" + zeros << foreign;
        QTest::newRow("tcr cut short") << 0x84 << QByteArray("840a0001000200030004") << foreign;
        QTest::newRow("one byte") << 0x81 << QByteArray("81") << foreign;
    }

    void answersFitTheirRequest()
    {
        QFETCH(int, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, fit);
        QByteArray bytes = QByteArray::fromHex(answer);
        const int count = bytes.size();
        bytes.append(64 - count, '\0');
        QCOMPARE(int(Parameter::fitOf(request, reinterpret_cast<const uint8_t *>(bytes.constData()), count)), fit);
    }

    void tracesTheValuesItHandles()
    {
        Parameter record;
        record.setPower(300);
        record.setFahrenheit(1);
        LogCapture log;
        record.setCompensation(-10);
        encoded(record, 1);
        const QByteArray answer = QByteArray::fromHex("a30a01f400c8006481f6fd09") + QByteArray(52, '\0');
        record.decode(reinterpret_cast<const uint8_t *>(answer.constData()), 64);
        QCOMPARE(log.messages(),
                 (QStringList{"tt= 246", "catch 2 246", "step 2  -10", "len- 6", "", "01 2c 00 00 00 00 ",
                              "catch temp 0", "catch temp 246", "10", "temperatureCompensationF123= -10",
                              "temperatureCompensationC123= 129 246 253 9"}));
        log.clear();
        QCOMPARE(record.compensationC(), -3);
        QCOMPARE(record.compensationF(), -10);
        QCOMPARE(log.messages(), (QStringList{"temperatureCompensationCOUT= 253", "step 3 246"}));
    }

    // The validator's view while typing: acceptable only when the whole text matches.
    void patternsTakeWholeTexts_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("acceptable");
        const QString power = InputRules::PowerPattern, preheat = InputRules::PreheatPowerPattern;
        const QString timePower = InputRules::PreheatTimePowerModePattern;
        const QString timeTemperature = InputRules::PreheatTimeTemperatureModePattern;
        const QString celsius = InputRules::CompensationCelsiusPattern;
        const QString fahrenheit = InputRules::CompensationFahrenheitPattern;
        const QString coefficient = InputRules::CoefficientPattern;
        for (const auto &row : QList<QPair<QString, QStringList>>{{power, {"300", "300.1", "30"}},
                                                                  {power, {"!301", "!99.95", "!+50"}},
                                                                  {preheat, {"+50"}},
                                                                  {preheat, {"!5"}},
                                                                  {timePower, {"0.1", "+0.5", "9.999"}},
                                                                  {timePower, {"!0.05", "!10"}},
                                                                  {timeTemperature, {"0.02", "0.05"}},
                                                                  {timeTemperature, {"!0.01", "!0.020"}},
                                                                  {celsius, {"-35", "40", "5"}},
                                                                  {celsius, {"!-36", "!41"}},
                                                                  {fahrenheit, {"-95", "104", "-5"}},
                                                                  {fahrenheit, {"!-96", "!105", "!5"}},
                                                                  {coefficient, {"5.9999", "0"}},
                                                                  {coefficient, {"!6", "!1.23456"}}}) {
            for (QString text : row.second) {
                const bool acceptable = !text.startsWith('!');
                text.remove('!');
                QTest::addRow("%s %s", qPrintable(row.first.left(12)), qPrintable(text))
                    << row.first << text << acceptable;
            }
        }
    }

    void patternsTakeWholeTexts()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, acceptable);
        const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern));
        QCOMPARE(expression.match(text).hasMatch(), acceptable);
    }

    // Each row changes valid entries; a save shows the first failure's message, in both languages.
    void basicPageChecks_data()
    {
        QTest::addColumn<int>("workMode");
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
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
            {"power inf", 1, false, "power=inf", power},
            {"time in power mode", 1, false, "preheatTime=0.05 preheatPower=0",
             "Error    Preheat Time in [0.1, 9.999] s|错误    预热时间范围 [0.1, 9.999] 秒"},
            {"preheat power", 1, false, "preheatPower=9.9",
             "Error    Preheat Power in [10.0, 300.0] W|错误    预热功率范围 [10.0, 300.0] 瓦"},
            {"temperature mode passes", 2, false, "preheatTime=0.02 preheatPower= temperature=300 compensation=40", ""},
            {"time in temperature mode", 2, false, "preheatTime=0.019 temperature=0",
             "Error    Preheat Time in [0.02, 9.999] s|错误    预热时间范围 [0.02, 9.999] 秒"},
            {"time 10 in temperature mode", 2, false, "preheatTime=10",
             "Error    Preheat Time in [0.02, 9.999] s|错误    预热时间范围 [0.02, 9.999] 秒"},
            {"temperature C", 2, false, "temperature=301 compensation=99", celsius},
            {"temperature C 99", 2, false, "temperature=99", celsius},
            {"temperature F", 2, true, "temperature=573",
             "Error    Temperature in [200, 572] ℉|错误    温度值范围 [200, 572] ℉"},
            {"Fahrenheit passes", 2, true, "temperature=572 compensation=104", ""},
            {"compensation C -36", 2, false, "compensation=-36", compC},
            {"compensation C 41", 2, false, "compensation=41", compC},
            {"compensation F -96", 2, true, "compensation=-96", compF},
            {"compensation F 105", 2, true, "compensation=105", compF}};
        for (const auto &row : rows)
            QTest::newRow(std::get<0>(row)) << std::get<1>(row) << std::get<2>(row) << std::get<3>(row)
                                            << std::get<4>(row).section('|', 0, 0) << std::get<4>(row).section('|', 1);
    }

    void basicPageChecks()
    {
        QFETCH(int, workMode);
        QFETCH(bool, fahrenheit);
        QFETCH(QString, entries);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        InputRules::BasicTexts texts{"30", "30.5", "1.5", "20", fahrenheit ? "400" : "200", "-5", workMode, fahrenheit};
        QString *const field[] = {&texts.screenTimeout, &texts.power,       &texts.preheatTime,
                                  &texts.preheatPower,  &texts.temperature, &texts.compensation};
        const QStringList names{"screenTimeout", "power", "preheatTime", "preheatPower", "temperature", "compensation"};
        for (const QString &entry : entries.split(' ', Qt::SkipEmptyParts))
            *field[names.indexOf(entry.section('=', 0, 0))] = entry.section('=', 1);
        QCOMPARE(InputRules::checkBasic(texts, 0), english);
        QCOMPARE(InputRules::checkBasic(texts, 1), chinese);
    }

    void coefficientChecksNameTheFirstFailure_data()
    {
        QTest::addColumn<bool>("tfr");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("tcr in range") << false << QStringList{"", "x", "1.5", "0", "6.0"} << ""
                                      << "";
        QTest::newRow("tcr M3 6.5, M4 7")
            << false << QStringList{"0", "0", "6.5", "7", "0"} << "Error    TCR M3 in [0, 6.0000]"
            << "错误    TCR M3 范围 [0, 6.0000]";
        QTest::newRow("tcr M1 -0.1") << false << QStringList{"-0.1", "0", "0", "0", "0"}
                                     << "Error    TCR M1 in [0, 6.0000]"
                                     << "错误    TCR M1 范围 [0, 6.0000]";
        QStringList tfr = QVector<QString>(25, "6").toList();
        QTest::newRow("tfr in range") << true << tfr << ""
                                      << "";
        tfr[24] = "7";
        QTest::newRow("tfr last") << true << tfr << "Error    TFR (M5, 300℃) in [0, 6.0000]"
                                  << "错误    TFR (M5, 300℃) 范围 [0, 6.0000]";
        tfr[7] = "6.0001";
        QTest::newRow("tfr eighth") << true << tfr << "Error    TFR (M2, 200℃) in [0, 6.0000]"
                                    << "错误    TFR (M2, 200℃) 范围 [0, 6.0000]";
        tfr[0] = "-1";
        QTest::newRow("tfr first") << true << tfr << "Error    TFR (M1, 100℃) in [0, 6.0000]"
                                   << "错误    TFR (M1, 100℃) 范围 [0, 6.0000]";
    }

    void coefficientChecksNameTheFirstFailure()
    {
        QFETCH(bool, tfr);
        QFETCH(QStringList, texts);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(tfr ? InputRules::checkTFR(texts, 0) : InputRules::checkTCR(texts, 0), english);
        QCOMPARE(tfr ? InputRules::checkTFR(texts, 1) : InputRules::checkTCR(texts, 1), chinese);
    }

    // From typed numbers to the device's counts, and from counts to the texts shown.
    void unitsConvert_data()
    {
        QTest::addColumn<QString>("converted");
        QTest::addColumn<QString>("expected");
        const auto count = [](int value) { return QString::number(value); };
        QTest::newRow("power 30.5") << count(Units::powerCount("30.5")) << "305";
        QTest::newRow("power 10.1") << count(Units::powerCount("10.1")) << "101";
        QTest::newRow("power not a number") << count(Units::powerCount("nan")) << "0";
        QTest::newRow("power huge") << count(Units::powerCount("1e300")) << "2147483647";
        QTest::newRow("preheat 9.999") << count(Units::preheatTimeCount("9.999")) << "9999";
        QTest::newRow("preheat 0.02") << count(Units::preheatTimeCount("0.02")) << "20";
        QTest::newRow("timeout 60") << count(Units::screenTimeoutCount("60")) << "6000";
        QTest::newRow("timeout low 16 bits") << count(Units::screenTimeoutCount("700")) << "4464";
        QTest::newRow("timeout real text") << count(Units::screenTimeoutCount("30.5")) << "0";
        QTest::newRow("coefficient 1.2345") << count(Units::coefficientCount("1.2345")) << "12345";
        QTest::newRow("coefficient 0.0001") << count(Units::coefficientCount("0.0001")) << "1";
        QTest::newRow("coefficient low 16 bits") << count(Units::coefficientCount("7")) << "4464";
        QTest::newRow("30.5 W") << Units::powerText(305) << "30.5";
        QTest::newRow("six digits") << Units::powerText(12345678) << "1.23457e+06";
        QTest::newRow("0.02 s") << Units::preheatTimeText(20) << "0.02";
        QTest::newRow("timeout 3000") << Units::screenTimeoutText(3000) << "30";
        QTest::newRow("timeout 65535") << Units::screenTimeoutText(65535) << "143";
        QTest::newRow("coefficient 1") << Units::coefficientText(1) << "0.0001";
        QTest::newRow("coefficient 60000") << Units::coefficientText(60000) << "6";
        QTest::newRow("200 C as F") << count(Units::fahrenheitOf(200)) << "392";
        QTest::newRow("100 C as F") << count(Units::fahrenheitOf(100)) << "212";
        QTest::newRow("50 C as F, clamped") << count(Units::fahrenheitOf(50)) << "200";
        QTest::newRow("huge C as F, clamped") << count(Units::fahrenheitOf(4000000000u)) << "572";
        QTest::newRow("212 F as C") << count(Units::celsiusOf(212)) << "100";
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
