#include "params/paramter.h"
#include "protocol/parametercodec.h"
#include "tests/support/logcapture.h"

#include <QtTest>
#include <memory>

namespace {

// A framed report: head and payload, zero fill up to byte 61, then the CRC (high byte first).
QByteArray report(const char *headAndPayload, const char *crc)
{
    QByteArray bytes = QByteArray::fromHex(headAndPayload);
    bytes.append(62 - bytes.size(), '\0');
    return bytes + QByteArray::fromHex(crc);
}

// A 64-byte answer starting with the given bytes.
QByteArray answer(const QByteArray &head)
{
    QByteArray bytes = QByteArray::fromHex(head);
    bytes.append(64 - bytes.size(), '\0');
    return bytes;
}

int decode(Parameter &record, const QByteArray &bytes)
{
    return ParameterCodec(record).decode(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
}

QByteArray encoded(Parameter &record, int code)
{
    QByteArray buffer(64, '\0');
    if (ParameterCodec(record).encode(code, reinterpret_cast<uint8_t *>(buffer.data()), buffer.size()) != 0)
        return QByteArray();
    return buffer;
}

// The tail of a structured log line.
QString logged(const QString &function, const QString &message)
{
    return QString(" Fun:[%1] File:[paramter] %2").arg(function, message);
}

Parameter::TfrTable countingTfr()
{
    Parameter::TfrTable table{};
    for (int i = 0; i < int(table.size()); ++i)
        table[i] = uint16_t(i * 100 + 1);
    return table;
}

} // namespace

Q_DECLARE_METATYPE(Parameter::TcrTable)

class TestParameter : public QObject
{
    Q_OBJECT

private slots:
    void newRecordWritesPowerModeOne()
    {
        LogCapture log;
        Parameter record;
        QCOMPARE(encoded(record, 6).toHex(), report("060101", "9151").toHex());
        QVERIFY(log.containsPart(logged("encodeWorkMode", "work mode:1 \n\n")));
    }

    void encodeWritesEachCommand_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("power") << 1 << report("0106012c003205dc", "d6d4");
        QTest::newRow("screen timeout") << 2 << report("020203e8", "e2a0");
        QTest::newRow("temperature") << 3 << report("030801f400c800640105", "57f2");
        QTest::newRow("tcr") << 4 << report("040a0027000100020003ea60", "acdd");
        QTest::newRow("tfr") << 5
                             << report("05320001006500c9012d019101f5025902bd0321038503e9044d04b10515057905dd064106a507"
                                       "09076d07d10835089908fd0961",
                                       "4d51");
        QTest::newRow("work mode") << 6 << report("060102", "9011");
        QTest::newRow("no payload") << 7 << report("0700", "8003");
    }

    void encodeWritesEachCommand()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, expected);
        Parameter record;
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
        record.setTfr(countingTfr());
        record.setWorkMode(2);

        QCOMPARE(encoded(record, code).toHex(), expected.toHex());
        QCOMPARE(record.tcr(), (Parameter::TcrTable{39, 1, 2, 3, 60000}));
        QCOMPARE(record.tfr(), countingTfr());
        QCOMPARE(record.power(), 300);
    }

    void encodeTracesPayloadAndCompensations()
    {
        Parameter record;
        record.setPower(300);
        record.setOvershootPower(50);
        record.setOvershootTime(1500);
        record.setFahrenheit(1);
        record.setCompensation(-10);
        LogCapture log;
        encoded(record, 1);
        QCOMPARE(log.messages(), (QStringList{"len- 6", "", "01 2c 00 32 05 dc ", "catch temp 0", "catch temp 246"}));
    }

    void encodeRefusesSmallBufferAndUnknownCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("message");
        QTest::newRow("63 bytes") << 1 << 63 << logged("encode", "buffer size must bigger than 64\n\n");
        QTest::newRow("code 0") << 0 << 64 << QString();
        QTest::newRow("code 8") << 8 << 64 << QString();
        QTest::newRow("read code") << 0x81 << 64 << QString();
    }

    void encodeRefusesSmallBufferAndUnknownCodes()
    {
        QFETCH(int, code);
        QFETCH(int, size);
        QFETCH(QString, message);
        Parameter record;
        LogCapture log;
        QByteArray buffer(64, char(0xAA));
        QCOMPARE(ParameterCodec(record).encode(code, reinterpret_cast<uint8_t *>(buffer.data()), size), -1);
        QCOMPARE(buffer, QByteArray(64, char(0xAA)));
        if (message.isEmpty())
            QVERIFY(log.messages().isEmpty());
        else
            QVERIFY(log.containsPart(message));
    }

    void encodeForReadBuildsBareRequest_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("0x81") << 0x81 << report("8100", "e061");
        QTest::newRow("0x85") << 0x85 << report("8500", "2063");
        QTest::newRow("0x86") << 0x86 << report("8600", "d063");
    }

    void encodeForReadBuildsBareRequest()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, expected);
        Parameter record;
        record.setTcr({1, 2, 3, 4, 5});
        QByteArray buffer(64, char(0xAA));
        QCOMPARE(ParameterCodec(record).encodeForRead(code, reinterpret_cast<uint8_t *>(buffer.data()), buffer.size()),
                 0);
        QCOMPARE(buffer.toHex(), expected.toHex());
    }

    void encodeForReadRefusesSmallBuffer()
    {
        Parameter record;
        LogCapture log;
        QByteArray buffer(64, char(0xAA));
        QCOMPARE(ParameterCodec(record).encodeForRead(0x81, reinterpret_cast<uint8_t *>(buffer.data()), 10), -1);
        QCOMPARE(buffer, QByteArray(64, char(0xAA)));
        QVERIFY(log.containsPart(logged("encodeForRead", "buffer size must bigger than 64\n\n")));
    }

    void atomizerTypeCarriesUnitBit_data()
    {
        QTest::addColumn<int>("fahrenheit");
        QTest::addColumn<int>("typeAndUnit");
        QTest::newRow("celsius") << 0 << 0x02;
        QTest::newRow("fahrenheit") << 1 << 0x82;
    }

    void atomizerTypeCarriesUnitBit()
    {
        QFETCH(int, fahrenheit);
        QFETCH(int, typeAndUnit);
        Parameter record;
        record.setFahrenheit(fahrenheit);
        record.setAtomizerType(2);
        QCOMPARE(int(record.typeAndUnit()), typeAndUnit);
        QCOMPARE(record.atomizerType(), 2);
        QCOMPARE(record.unitBit(), fahrenheit);
    }

    void compensationGoesToCurrentUnit_data()
    {
        QTest::addColumn<int>("fahrenheit");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("-35 C") << 0 << -35
                               << report("0308000000000000"
                                         "00dd",
                                         "9127");
        QTest::newRow("40 C") << 0 << 40
                              << report("0308000000000000"
                                        "0028",
                                        "d6e7");
        QTest::newRow("-95 F") << 1 << -95
                               << report("0308000000000000"
                                         "80a1",
                                         "b047");
        QTest::newRow("104 F") << 1 << 104
                               << report("0308000000000000"
                                         "8068",
                                         "e687");
    }

    void compensationGoesToCurrentUnit()
    {
        QFETCH(int, fahrenheit);
        QFETCH(int, value);
        QFETCH(QByteArray, expected);
        Parameter record;
        record.setFahrenheit(!fahrenheit);
        record.setCompensation(7); // the other unit's value stays
        record.setFahrenheit(fahrenheit);
        record.setAtomizerType(0);
        record.setCompensation(value);
        QCOMPARE(encoded(record, 3).toHex(), expected.toHex());
        QCOMPARE(fahrenheit ? record.compensationF() : record.compensationC(), value);
        QCOMPARE(fahrenheit ? record.compensationC() : record.compensationF(), 7);
    }

    void compensationTraces()
    {
        Parameter record;
        LogCapture log;
        record.setCompensation(-35);
        QCOMPARE(record.compensationC(), -35);
        QCOMPARE(record.compensationF(), 0);
        QCOMPARE(log.messages(), (QStringList{"tt= 221", "catch 2 221", "step 2  -35",
                                              "temperatureCompensationCOUT= 221", "step 3 0"}));
    }

    void decodeTakesWorkModeFromHead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("workMode");
        QTest::newRow("0xA3 mode 2") << answer("a30a01f400c8006400000000") << 0x83 << 2;
        QTest::newRow("0xB3 mode 3 ignored") << answer("b30a01f400c8006400000000") << 0x83 << 1;
        QTest::newRow("0x96 payload wins") << answer("960102") << 0x86 << 2;
        QTest::newRow("0x86 payload") << answer("860102") << 0x86 << 2;
        QTest::newRow("0xA7 unknown code") << answer("a70a01f4") << 0x87 << 2;
    }

    void decodeTakesWorkModeFromHead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        QFETCH(int, workMode);
        Parameter record;
        QCOMPARE(decode(record, bytes), code);
        QCOMPARE(record.workMode(), workMode);
    }

    void decodeStoresTemperatureMode()
    {
        Parameter record;
        LogCapture log;
        QCOMPARE(decode(record, answer("a30a01f400c80064"
                                       "81f6fd09")),
                 0x83);
        QCOMPARE(record.workMode(), 2);
        QCOMPARE(record.tempPower(), 500);
        QCOMPARE(record.temperature(), 200);
        QCOMPARE(record.tempOvershootTime(), 100);
        QCOMPARE(int(record.typeAndUnit()), 0x81);
        QCOMPARE(record.atomizerType(), 1);
        QCOMPARE(record.unitBit(), 1);
        QCOMPARE(log.messages(),
                 (QStringList{"10", "temperatureCompensationF123= -10", "temperatureCompensationC123= 129 246 253 9"}));
        QCOMPARE(record.compensationF(), -10);
        QCOMPARE(record.compensationC(), -3);
        record.setAtomizerType(3); // the answer switched the record to Fahrenheit
        QCOMPARE(int(record.typeAndUnit()), 0x83);
    }

    void decodePowerNeedsSixBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("power");
        QTest::addColumn<int>("overshootPower");
        QTest::addColumn<int>("overshootTime");
        QTest::addColumn<QString>("message");
        QTest::newRow("6 bytes") << answer("8106012c003205dc") << 300 << 50 << 1500 << QString();
        QTest::newRow("8 bytes") << answer("8108012c003205dcffff") << 300 << 50 << 1500 << QString();
        QTest::newRow("length byte past the report") << answer("81ff012c003205dc") << 300 << 50 << 1500 << QString();
        QTest::newRow("5 bytes") << answer("8105012c003205dc") << 7 << 7 << 7
                                 << logged("decodePower", "must data size:5 == 6 \n\n");
    }

    void decodePowerNeedsSixBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, power);
        QFETCH(int, overshootPower);
        QFETCH(int, overshootTime);
        QFETCH(QString, message);
        Parameter record;
        record.setPower(7);
        record.setOvershootPower(7);
        record.setOvershootTime(7);
        LogCapture log;
        QCOMPARE(decode(record, bytes), 0x81);
        QCOMPARE(record.power(), power);
        QCOMPARE(record.overshootPower(), overshootPower);
        QCOMPARE(record.overshootTime(), overshootTime);
        QCOMPARE(log.containsPart(" Warn ---"), !message.isEmpty());
        if (!message.isEmpty())
            QVERIFY(log.containsPart(message));
    }

    void decodeScreenTimeout()
    {
        Parameter record;
        QCOMPARE(decode(record, answer("82020bb8")), 0x82);
        QCOMPARE(record.screenTimeout(), 3000);
    }

    void decodeTcrNeedsTenBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Parameter::TcrTable>("tcr");
        QTest::addColumn<QString>("message");
        QTest::newRow("10 bytes") << answer("840a0027000100020003ea60") << Parameter::TcrTable{39, 1, 2, 3, 60000}
                                  << QString();
        QTest::newRow("8 bytes") << answer("84080027000100020003ea60") << Parameter::TcrTable{9, 9, 9, 9, 9}
                                 << logged("decodeTCR", "must data size:8 == 10\n\n");
        QTest::newRow("11 bytes") << answer("840b0027000100020003ea60") << Parameter::TcrTable{9, 9, 9, 9, 9}
                                  << logged("decodeTCR", "must data size:11 == 10\n\n");
    }

    void decodeTcrNeedsTenBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Parameter::TcrTable, tcr);
        QFETCH(QString, message);
        Parameter record;
        record.setTcr({9, 9, 9, 9, 9});
        LogCapture log;
        QCOMPARE(decode(record, bytes), 0x84);
        QCOMPARE(record.tcr(), tcr);
        QCOMPARE(log.containsPart(" Warn ---"), !message.isEmpty());
        if (!message.isEmpty())
            QVERIFY(log.containsPart(message));
    }

    void decodeTfrNeedsFiftyBytes()
    {
        const QByteArray table = QByteArray::fromHex("0001006500c9012d019101f5025902bd0321038503e9044d04b10515057905dd"
                                                     "064106a50709076d07d10835089908fd0961");
        Parameter record;
        LogCapture log;
        QCOMPARE(decode(record, answer("8531" + table.toHex())), 0x85);
        QCOMPARE(record.tfr(), Parameter::TfrTable{});
        QVERIFY(log.containsPart(logged("decodeTFR", "must data size == 50\n\n")));
        QCOMPARE(decode(record, answer("8532" + table.toHex())), 0x85);
        QCOMPARE(record.tfr(), countingTfr());
    }

    void shortAnswerIsNotReadPastItsEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::newRow("tfr in 20 bytes") << QByteArray::fromHex("8532000100650000000000000000000000000000") << 0x85;
        QTest::newRow("temperature in 8 bytes") << QByteArray::fromHex("a30a01f400c80064") << 0x83;
        QTest::newRow("head only") << QByteArray::fromHex("a6") << -1;
    }

    void shortAnswerIsNotReadPastItsEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        // An exact-size heap copy, so a read past the end trips the address sanitizer.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
        memcpy(exact.get(), bytes.constData(), size_t(bytes.size()));
        Parameter record;
        LogCapture log;
        QCOMPARE(ParameterCodec(record).decode(exact.get(), bytes.size()), code);
        QCOMPARE(record.tfr(), Parameter::TfrTable{});
        QCOMPARE(record.tempPower(), 0);
        QCOMPARE(record.workMode(), 1);
        QVERIFY(
            log.containsPart(logged("decode", "answer size:" + QByteArray::number(bytes.size()) + " too short\n\n")));
    }
};

QTEST_GUILESS_MAIN(TestParameter)
#include "tst_parameter.moc"
