#include "common/log.h"
#include "common/processstate.h"
#include "params/paramter.h"
#include "protocol/packet.h"
#include "protocol/parametercodec.h"
#include "protocol/stream.h"
#include "tests/support/counting.h"
#include "tests/support/logcapture.h"

#include <QtTest>
#include <climits>
#include <memory>
#include <vector>

namespace {

QByteArray unread(const Stream &stream)
{
    return QByteArray(reinterpret_cast<const char *>(stream.readPointer()), stream.size());
}

const uint8_t *u8(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

// A report written out from the layout: code, length, payload, zero fill to
// byte 61, then the checksum, high byte first.
QByteArray framed(const QByteArray &hex, const char *crc)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + QByteArray(62 - bytes.size(), '\0') + QByteArray::fromHex(crc);
}

// The same for generated payloads; the table of reports pins the checksum itself.
QByteArray framed(int code, const QByteArray &payload)
{
    const QByteArray head = char(code) + QByteArray(1, char(payload.size())) + payload;
    const uint16_t crc = Packet::crc16(u8(head), head.size());
    return head + QByteArray(60 - payload.size(), '\0') + char(crc >> 8) + char(crc & 0xFF);
}

QByteArray plain(int code)
{
    return char(code) + QByteArray(63, '\0');
}

// TFR values 1, 101, 201, ... as the device holds them.
const QByteArray Tfr =
    "0001006500c9012d019101f5025902bd0321038503e9044d04b10515057905dd064106a50709076d07d10835089908fd0961";

// A record whose every setting differs from the values the answers below carry.
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
    Parameter::TfrTable tfr;
    for (int i = 0; i < int(tfr.size()); ++i)
        tfr[i] = uint16_t(i * 100 + 1); // the values of Tfr
    record.setTfr(tfr);
    record.setWorkMode(2);
}

QByteArray encoded(Parameter &record, int code, int size = 64)
{
    QByteArray buffer(64, '\xAA');
    auto *at = reinterpret_cast<uint8_t *>(buffer.data());
    ParameterCodec codec(record);
    const int result = code & 0x80 ? codec.encodeForRead(code, at, size) : codec.encode(code, at, size);
    return result == 0 ? buffer : "refused, untouched: " + buffer.toHex();
}

// What the record would send for each command, and the Celsius compensation it keeps aside.
QStringList payloads(Parameter &record)
{
    QStringList list;
    for (int code = 1; code <= 6; ++code) {
        const QByteArray report = encoded(record, code);
        list << QString("%1:").arg(code) + report.mid(2, report.at(1)).toHex();
    }
    return list << QString("C:%1").arg(record.compensationByteC());
}

} // namespace

class TestWire : public QObject
{
    Q_OBJECT

private slots:
    // QT_LOGGING_RULES picks lines by the folder of the code that writes them;
    // the lines themselves stay in the default category.
    void folderCategoryDecidesWhetherLinesAreWritten()
    {
        LogCapture log;
        QLoggingCategory::setFilterRules("korvane.protocol.debug=false");
        LOG_WARN("input data length:%d is ill\n\n", 61);
        Log::plain("01 ab 00 ");
        LOG_TRACE() << "usb open" << false;
        Log::plain("written", "/src/link/usb.cpp");
        QLoggingCategory::setFilterRules(QString());
        LOG_TRACE() << "usb open" << true;
        QCOMPARE(log.messages(), (QStringList{"written", "usb open true"}));
    }

    // What a put of each width writes, and what a get takes back.
    void streamIsBigEndian()
    {
        int (Stream::*const puts[])(uint32_t) = {&Stream::putU8, &Stream::putU16, &Stream::putU24, &Stream::putU32};
        int (Stream::*const gets[])() = {&Stream::getU8, &Stream::getU16, &Stream::getU24, &Stream::getU32};
        for (const QByteArray &bytes : QList<QByteArray>{"ab", "1234", "fedcba", "89abcdef", "ffffffff"}) {
            const int width = bytes.size() / 2;
            const uint value = bytes.toUInt(nullptr, 16);
            Stream stream;
            QCOMPARE((stream.*puts[width - 1])(value | (width < 4 ? 0x5au << (8 * width) : 0)), width); // bits above go
            QCOMPARE(unread(stream).toHex(), bytes);
            QCOMPARE((stream.*gets[width - 1])(), int(value));
            stream.write(QByteArray::fromHex(bytes).constData(), width - 1);
            QCOMPARE((stream.*gets[width - 1])(), -1); // one byte short: nothing taken
            QCOMPARE(stream.size(), width - 1);
        }
    }

    void streamConsumesGoesBackAndRefuses()
    {
        LogCapture log;
        Stream stream;
        QCOMPARE(stream.capacity(), 64);
        stream.write(counting(64).constData(), 64);
        QByteArray taken(100, '\x77');
        QCOMPARE(stream.read(taken.data(), 10), 10);
        QCOMPARE(stream.backward(11), -1);
        QCOMPARE(stream.backward(4), 4);
        QCOMPARE(stream.read(taken.data(), 100), 58);
        QCOMPARE(taken.left(59), counting(58, 6) + '\x77');
        stream.backward(8);
        QCOMPARE(stream.freeSpace(), 0); // consumed bytes are not reused before a compact or growth
        QCOMPARE(stream.compact(), 0);
        QCOMPARE(unread(stream), counting(8, 56));
        QCOMPARE(stream.backward(1), -1);
        QCOMPARE(stream.write(counting(57).constData(), 57), 57); // grows to hold 64 + 57
        QCOMPARE(stream.capacity(), 128);
        QCOMPARE(stream.getU8(), 56);
        QCOMPARE(stream.clear(), 0);
        QCOMPARE(stream.size(), 0);
        QCOMPARE(stream.freeSpace(), 128);
        stream.write(counting(40).constData(), 40);
        stream.read(taken.data(), 8);
        QCOMPARE(stream.resize(1000), 0); // the head is dropped on the way
        QCOMPARE(stream.freeSpace(), 1024 - 32);
        for (int request : {-1, INT_MIN, INT_MAX, (1 << 30) + 1})
            QCOMPARE(stream.resize(request), -1);
        QCOMPARE(stream.write(taken, INT_MAX), -1);  // the source is never read
        QCOMPARE(stream.reserve(INT_MAX - 100), -1); // none past the largest power of two a count holds
        QCOMPARE(stream.resize(1 << 30), 0);         // the largest still works, and keeps the content
        QCOMPARE(unread(stream), counting(32, 8));
        const QString back = " Error ---Line:[n] Fun:[backward] File:[stream]can not before size:%1 \n\n";
        const QString big = " Error ---Line:[n] Fun:[resize] File:[stream]requers size too big\n\n";
        QCOMPARE(log.messages().replaceInStrings(QRegularExpression("Line:\\[ *\\d+\\]"), "Line:[n]"),
                 QStringList({back.arg(11), back.arg(1)}) + QVector<QString>(6, big).toList());
    }

    void streamHexDumpsRecordsOf32Bytes()
    {
        Stream stream;
        stream.write((QByteArray(32, '\x0f') + '\xff').constData(), 33);
        LogCapture log;
        QCOMPARE(stream.hexDump(40), 0);
        stream.hexDump(1);
        stream.hexDump(0);
        QCOMPARE(log.messages(), (QStringList{"", QString("0f ").repeated(32), "ff ", "", "0f ", ""}));
        QCOMPARE(stream.size(), 33);
    }

    // One table of the wire: every command's report, byte by byte.
    void reportsOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        QCOMPARE(Packet::crc16(u8("123456789"), 9), uint16_t(0x4B37)); // the check value of CRC-16/MODBUS
        const auto command = [](const char *name, int code, const QByteArray &report, const char *crc) {
            Parameter record;
            fill(record);
            QTest::newRow(name) << encoded(record, code) << framed(report, crc);
        };
        command("power", 1, "0106012c003205dc", "d6d4");
        command("screen timeout", 2, "020203e8", "e2a0");
        command("temperature", 3, "030801f400c800640105", "57f2");
        command("tcr", 4, "040a0027000100020003ea60", "acdd");
        command("tfr", 5, "0532" + Tfr, "4d51");
        command("work mode", 6, "060102", "9011");
        command("no payload", 7, "0700", "8003");
        command("read power", 0x81, "8100", "e061");
        command("read work mode", 0x86, "8600", "d063");
        Packet packet;
        packet.paramEncode(0x05, u8(counting(30)), 30); // replaced, not appended to
        packet.paramEncode(0x07, u8(counting(60)), 60);
        QTest::newRow("60 bytes, no fill") << unread(*packet.output()) << framed(7, counting(60));
        uint8_t handshake[64];
        std::fill(handshake, handshake + 64, 0xEE);
        Packet::handshakeEncode(handshake);
        QTest::newRow("handshake") << QByteArray(reinterpret_cast<char *>(handshake), 64) << plain(0x72);
        packet.packetFile(u8("\xa5"), 1);
        QTest::newRow("one-byte image") << unread(*packet.output())
                                        << framed("010400000001", "ca31") + framed("0201a5", "eb11") + plain(0x03);
        const QByteArray text = "{0x1F,0xab,0x0x7,0x-1,0x 5,0x}"; // low 8 bits, any case, blanks and signs
        packet.logoEncode(text.constData(), text.size());
        QTest::newRow("logo") << unread(*packet.output())
                              << plain(0x70) + framed("07101fab07ff05", "2630") + plain(0x71);
        packet.logoEncode("{", 0); // a text of no length holds no group
        QTest::newRow("logo of no length") << unread(*packet.output()) << plain(0x70) + plain(0x71);
    }

    void reportsOnTheWire()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built.toHex(), expected.toHex());
    }

    // What cannot be framed is refused with a warning, and the reports built before stay.
    void refusalsLeaveTheReportsAlone()
    {
        const QStringList cases{
            "paramEncode 61 input size :61 > 60 ",     "paramEncode -1 input size :-1 > 60 ",
            "dataEncode 0 input data length:0 is ill", "dataEncode 61 input data length:61 is ill",
            "packetFile 0 data must  size:0 > 0",      "packetFile 536870881 data must  size:536870881 <= 536870880"};
        const QByteArray data = counting(61); // never read past its length
        for (const QString &c : cases) {
            Packet packet;
            packet.paramEncode(0x82, nullptr, 0);
            LogCapture log;
            const QString function = c.section(' ', 0, 0);
            const int length = c.section(' ', 1, 1).toInt();
            QCOMPARE(function == "paramEncode"  ? packet.paramEncode(0x01, u8(data), length)
                     : function == "dataEncode" ? packet.dataEncode(u8(data), length)
                                                : packet.packetFile(u8(data), length),
                     -1);
            QCOMPARE(unread(*packet.output()), framed("8200", "1061"));
            QCOMPARE(log.messages().size(), 1);
            QVERIFY(log.messages().first().startsWith(" Warn ---Line:["));
            QVERIFY(log.messages().first().endsWith("] Fun:[" + function + "] File:[packet] " + c.section(' ', 2) +
                                                    "\n\n"));
        }
        Parameter record;
        LogCapture log;
        const QByteArray untouched = "refused, untouched: " + QByteArray(64, '\xAA').toHex();
        const QList<QByteArray> refused{encoded(record, 0), encoded(record, 8), encoded(record, 1, 63),
                                        encoded(record, 0x81, 63)};
        QCOMPARE(refused, QVector<QByteArray>(4, untouched).toList());
        QCOMPARE(log.messages().filter("File:[paramter] buffer size must bigger than 64\n\n").size(), 2);
    }

    void logoTextBecomesLogoBytes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("logo");
        QTest::addColumn<int>("values"); // converted, not zeros of a group that stopped early
        const QByteArray group = "{0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,0x10}";
        const QByteArray zeros15(15, '\0');
        QTest::newRow("declaration and two groups") << "const char logo[] = {\n" + group + ",\n" + group + "\n};\n"
                                                    << QByteArray(16, '\0') + counting(16, 1) + counting(16, 1) << 32;
        QTest::newRow("no brace") << QByteArray("0x01,0x02") << QByteArray() << 0;
        QTest::newRow("blanks after commas") << QByteArray("{0x12, 0x34}") << '\x12' + zeros15 << 1;
        QTest::newRow("brace inside a group") << QByteArray("{{0x05}") << QByteArray(16, '\0') + '\x05' + zeros15 << 1;
        QTest::newRow("NUL ends a group, not the text")
            << QByteArray("{0x01\0,0x02}{0x03}", 18) << '\x01' + zeros15 + '\x03' + zeros15 << 2;
        QTest::newRow("cut after a digit") << QByteArray("{0x01,0x2") << "\x01\x02" + QByteArray(14, 0) << 2;
        QTest::newRow("cut after 0x") << QByteArray("{0x01,0x") << '\x01' + zeros15 << 1;
        QTest::newRow("no digit after 0x") << QByteArray("{0x01,0xz,0x03}") << '\x01' + zeros15 << 1;
        QTest::newRow("lone brace") << QByteArray("{") << QByteArray(16, '\0') << 0;
        QTest::newRow("more than 512 bytes") << group.repeated(33) << counting(16, 1).repeated(32) << 512;
    }

    void logoTextBecomesLogoBytes()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, logo);
        QFETCH(int, values);
        // Exactly as long as the text, no terminator: reading past it trips the sanitizer.
        const std::vector<char> buffer(text.begin(), text.end());
        Packet packet;
        QCOMPARE(packet.logoEncode(buffer.data(), int(buffer.size())), 0);
        QByteArray expected = plain(0x70);
        for (int at = 0; at < logo.size(); at += 60)
            expected += framed(7, logo.mid(at, 60));
        QCOMPARE(unread(*packet.output()).toHex(), (expected + plain(0x71)).toHex());
        QCOMPARE(Packet::logoValues(buffer.data(), int(buffer.size())), values);
    }

    // What an answer changes in what the record sends next; the result is its code.
    void answersChangeTheRecord_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("changes");
        const QByteArray tfr = QByteArray(Tfr).replace("0001", "0007");
        QTest::newRow("power") << QByteArray("8106000a000b000c") << 0x81 << "1:000a000b000c";
        QTest::newRow("power of 8 bytes, mode 1")
            << QByteArray("91080001000200030000") << 0x81 << "1:000100020003 6:01";
        QTest::newRow("power of 5 bytes") << QByteArray("81050001000200030000") << 0x81 << "";
        QTest::newRow("screen timeout") << QByteArray("82020bb8") << 0x82 << "2:0bb8";
        QTest::newRow("temperature, Fahrenheit")
            << QByteArray("a30a00010002000381f6fd09") << 0x83 << "3:00010002000381f6 C:-3";
        QTest::newRow("mode 3 is no mode")
            << QByteArray("b30a00000000000000000000") << 0x83 << "3:0000000000000000 C:0";
        QTest::newRow("tcr") << QByteArray("840a00010002000300040005") << 0x84 << "4:00010002000300040005";
        QTest::newRow("tcr of 11 bytes") << QByteArray("840b00010002000300040005") << 0x84 << "";
        QTest::newRow("tfr of 49 bytes") << "8531" + tfr << 0x85 << "";
        QTest::newRow("tfr") << "8532" + tfr << 0x85 << QString("5:" + tfr);
        QTest::newRow("work mode, payload wins") << QByteArray("a60101") << 0x86 << "6:01";
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
        const QStringList before = payloads(record);
        const QByteArray bytes = QByteArray::fromHex(answer) + QByteArray(64, '\0');
        QCOMPARE(ParameterCodec(record).decode(u8(bytes), 64), code);
        QStringList changed = payloads(record);
        for (const QString &payload : before)
            changed.removeOne(payload);
        QCOMPARE(changed.join(' '), changes);
    }

    // Read past its end, a short answer would take bytes that never came.
    void shortAnswersAreLeftAlone()
    {
        const QString fresh =
            "1:000000000000 2:0000 3:0000000000000000 4:" + QString(20, '0') + " 5:" + QString(100, '0');
        const std::pair<const char *, int> answers[] = {
            {"8532000100650000000000000000000000000000", 0x85}, {"a30a01f400c80064", 0x83}, {"a6", -1}};
        for (const auto &[hex, code] : answers) {
            const QByteArray answer = QByteArray::fromHex(hex);
            const std::unique_ptr<uint8_t[]> exact(new uint8_t[answer.size()]);
            memcpy(exact.get(), answer.constData(), size_t(answer.size()));
            Parameter record;
            LogCapture log;
            QCOMPARE(ParameterCodec(record).decode(exact.get(), answer.size()), code);
            QCOMPARE(payloads(record).join(' '), fresh + " 6:01 C:0");
            QVERIFY(log.containsPart(QString("File:[paramter] answer size:%1 too short\n\n").arg(answer.size())));
        }
    }

    // Whether an answer of that many bytes is the whole answer to a read request, a refusal, or something else.
    void answersFitTheirRequest()
    {
        const QStringList carries{"81:8106", "81:8108", "83:a30a", "84:840a"}, refuses{"84:8403", "82:8203"};
        const QStringList foreign{"81:8105", "84:840b", "84:850a", "84:960a", "81:81"};
        for (const QString &c : carries + refuses + foreign) {
            QByteArray bytes = QByteArray::fromHex(c.section(':', 1).toLatin1());
            const int count = bytes.size() == 2 ? 64 : bytes.size();
            bytes.append(64 - bytes.size(), '\0');
            const int fit = carries.contains(c)   ? ParameterCodec::AnswerCarries
                            : refuses.contains(c) ? ParameterCodec::AnswerRefuses
                                                  : ParameterCodec::AnswerForeign;
            QVERIFY2(ParameterCodec::fitOf(c.section(':', 0, 0).toInt(nullptr, 16), u8(bytes), count) == fit,
                     qPrintable(c));
        }
        QCOMPARE(ParameterCodec::fitOf(0x84, u8(QByteArray::fromHex("840a") + QByteArray(62, 0)), 11),
                 ParameterCodec::AnswerForeign); // cut short
    }

    // The compensation goes out in the unit in use as a sign-and-magnitude byte; the other unit's stays.
    void compensationTravelsInTheUnitInUse()
    {
        for (const QString c : {"C -35 00dd 9127", "C 40 0028 d6e7", "F -95 80a1 b047", "F 104 8068 e687"}) {
            const bool fahrenheit = c.startsWith('F');
            Parameter record;
            record.setFahrenheit(!fahrenheit);
            record.setCompensation(7);
            record.setFahrenheit(fahrenheit);
            record.setAtomizerType(0);
            record.setCompensation(c.section(' ', 1, 1).toInt());
            QCOMPARE(
                encoded(record, 3).toHex(),
                framed("0308000000000000" + c.section(' ', 2, 2).toLatin1(), qPrintable(c.section(' ', 3))).toHex());
            QCOMPARE(fahrenheit ? record.compensationC() : record.compensationF(), 7);
        }
    }
};

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
