#include "common/log.h"
#include "common/processstate.h"
#include "protocol/packet.h"
#include "protocol/stream.h"
#include "tests/support/logcapture.h"

#include <QtTest>
#include <climits>
#include <vector>

namespace {

QByteArray unread(const Stream &stream)
{
    return QByteArray(reinterpret_cast<const char *>(stream.readPointer()), stream.size());
}

QByteArray counting(int count, int first = 0)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(first + i));
    return bytes;
}

const uint8_t *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

// A framed report written out from the layout: code, length, payload, zero fill
// to byte 61, then the checksum given high byte first.
QByteArray framed(const char *headAndPayload, const char *crc)
{
    QByteArray bytes = QByteArray::fromHex(headAndPayload);
    return bytes + QByteArray(62 - bytes.size(), '\0') + QByteArray::fromHex(crc);
}

// Bit by bit, independent of the table the framing uses; for generated payloads.
QByteArray framed(int code, const QByteArray &payload)
{
    QByteArray head = char(code) + QByteArray(1, char(payload.size())) + payload;
    uint16_t crc = 0xFFFF;
    for (char byte : head) {
        crc ^= uint8_t(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return head + QByteArray(60 - payload.size(), '\0') + char(crc >> 8) + char(crc & 0xFF);
}

QByteArray plain(int code)
{
    return char(code) + QByteArray(63, '\0');
}

QList<QByteArray> reports(const Packet &packet)
{
    const QByteArray all = unread(*packet.output());
    QList<QByteArray> list;
    for (int at = 0; at < all.size(); at += 64)
        list << all.mid(at, 64);
    return list;
}

// The message part of each structured line, prefix and line number dropped.
QStringList warnings(const LogCapture &log)
{
    QStringList lines;
    for (const QString &line : log.messages())
        lines << line.mid(line.indexOf("File:["));
    return lines;
}

} // namespace

class TestWire : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        upgradeStarted = 0;
        linkState = 0;
    }

    void structuredLogLines()
    {
        LogCapture log;
        const int line = __LINE__ + 1;
        LOG_WARN("input data length:%d is ill\n\n", 61);
        LOG_INFO("work mode:%d \n\n", 2);
        LOG_ERROR("requers size too big\n\n");
        Log::plain("01 ab ");
        const char *format = "%s---Line:[%4d] Fun:[structuredLogLines] File:[tst_wire]%s";
        QCOMPARE(log.messages(),
                 (QStringList{QString::asprintf(format, " Warn ", line, " input data length:61 is ill\n\n"),
                              QString::asprintf(format, " Info ", line + 1, " work mode:2 \n\n"),
                              QString::asprintf(format, " Error ", line + 2, "requers size too big\n\n"), "01 ab "}));
        QCOMPARE(Log::fileBaseName("/src/params/paramter.cpp"), QString("paramter"));
    }

    void streamGrowsByPowersOfTwo_data()
    {
        QTest::addColumn<QList<int>>("chunks");
        QTest::addColumn<int>("capacity");
        QTest::newRow("nothing") << QList<int>{} << 64;
        QTest::newRow("64 bytes fit") << QList<int>{64} << 64;
        QTest::newRow("one more byte doubles") << QList<int>{64, 1} << 128;
        QTest::newRow("65 at once asks for 129") << QList<int>{65} << 256;
        QTest::newRow("bytewise to 129") << QVector<int>(129, 1).toList() << 256;
    }

    void streamGrowsByPowersOfTwo()
    {
        QFETCH(QList<int>, chunks);
        QFETCH(int, capacity);
        Stream stream;
        QByteArray written;
        for (int count : chunks) {
            QCOMPARE(stream.write(counting(count, written.size()).constData(), count), count);
            written += counting(count, written.size());
        }
        QCOMPARE(stream.capacity(), capacity);
        QCOMPARE(stream.freeSpace(), capacity - written.size());
        QCOMPARE(unread(stream), written);
    }

    // Each row: the bytes a put of that width writes, the value a get takes back.
    void streamIsBigEndian_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<uint>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("u8") << 1 << 0xabu << QByteArray::fromHex("ab");
        QTest::newRow("u16") << 2 << 0x1234u << QByteArray::fromHex("1234");
        QTest::newRow("u24") << 3 << 0xfedcbau << QByteArray::fromHex("fedcba");
        QTest::newRow("u32") << 4 << 0x89abcdefu << QByteArray::fromHex("89abcdef");
        QTest::newRow("u32 all ones") << 4 << 0xffffffffu << QByteArray::fromHex("ffffffff");
    }

    void streamIsBigEndian()
    {
        QFETCH(int, width);
        QFETCH(uint, value);
        QFETCH(QByteArray, bytes);
        int (Stream::*const puts[])(uint32_t) = {&Stream::putU8, &Stream::putU16, &Stream::putU24, &Stream::putU32};
        int (Stream::*const gets[])() = {&Stream::getU8, &Stream::getU16, &Stream::getU24, &Stream::getU32};
        Stream stream;
        const uint32_t above = width < 4 ? 0x5au << (8 * width) : 0; // bits above the width are dropped
        QCOMPARE((stream.*puts[width - 1])(value | above), width);
        QCOMPARE(unread(stream), bytes);
        QCOMPARE((stream.*gets[width - 1])(), int(value));
        QCOMPARE(stream.size(), 0);
        stream.write(bytes.constData(), width - 1);
        QCOMPARE((stream.*gets[width - 1])(), -1); // one byte short: nothing taken
        QCOMPARE(unread(stream), bytes.left(width - 1));
    }

    void streamReadsConsumesAndGoesBack()
    {
        LogCapture log;
        Stream stream;
        stream.write(counting(64).constData(), 64);
        QByteArray taken(100, '\x77');
        QCOMPARE(stream.read(taken.data(), -1), 0);
        QCOMPARE(stream.read(taken.data(), 10), 10);
        QCOMPARE(taken.left(11), counting(10) + '\x77');
        QCOMPARE(stream.backward(11), -1);
        QCOMPARE(stream.backward(-1), -1);
        QCOMPARE(stream.backward(4), 4);
        QCOMPARE(stream.read(taken.data(), 100), 58);
        QCOMPARE(taken.left(58), counting(58, 6));
        QCOMPARE(stream.read(taken.data(), 5), 0);
        stream.backward(8);
        QCOMPARE(stream.freeSpace(), 0); // consumed bytes are not reused before a compact or growth
        QCOMPARE(stream.compact(), 0);
        QCOMPARE(stream.freeSpace(), 56);
        QCOMPARE(unread(stream), counting(8, 56));
        QCOMPARE(stream.backward(1), -1);
        const QString back = "File:[stream]can not before size:%1 \n\n";
        QCOMPARE(warnings(log), (QStringList{back.arg(11), back.arg(-1), back.arg(1)}));
    }

    void streamClearResizeAndRefusals()
    {
        LogCapture log;
        Stream stream;
        stream.write(counting(100).constData(), 100);
        QCOMPARE(stream.clear(), 0);
        QCOMPARE(stream.size(), 0);
        QCOMPARE(stream.freeSpace(), 256);
        stream.write(counting(40).constData(), 40);
        char taken[8];
        stream.read(taken, 8);
        QCOMPARE(stream.resize(10), 0); // within the capacity: kept, and the head dropped
        QCOMPARE(stream.capacity(), 256);
        QCOMPARE(stream.freeSpace(), 256 - 32);
        QCOMPARE(stream.reserve(-5), 0);
        QCOMPARE(stream.reserve(1000), 0);
        QCOMPARE(stream.capacity(), 2048);
        // Requests past the largest power of two a signed count holds change nothing.
        const char one = 1; // never read
        for (int request : {-1, INT_MIN, INT_MAX, (1 << 30) + 1})
            QCOMPARE(stream.resize(request), -1);
        QCOMPARE(stream.write(&one, INT_MAX), -1);
        QCOMPARE(stream.reserve(INT_MAX - 100), -1);
        QCOMPARE(stream.capacity(), 2048);
        QCOMPARE(unread(stream), counting(32, 8));
        QCOMPARE(warnings(log), QVector<QString>(6, "File:[stream]requers size too big\n\n").toList());
        QCOMPARE(stream.resize(1 << 30), 0); // the largest still works, and leaves the content
        QCOMPARE(unread(stream), counting(32, 8));
    }

    void streamHexDumpsRecordsOf32Bytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("records");
        const QByteArray row = QByteArray(32, '\x0f');
        const QString text = QString("0f ").repeated(32);
        QTest::newRow("count below unread") << QByteArray::fromHex("01ab00") << 2 << QStringList{"", "01 ab "};
        QTest::newRow("count above unread") << QByteArray::fromHex("01ab00") << 9 << QStringList{"", "01 ab 00 "};
        QTest::newRow("nothing") << QByteArray() << 5 << QStringList{""};
        QTest::newRow("32 bytes") << row << 32 << QStringList{"", text};
        QTest::newRow("33 bytes") << row + '\xff' << 40 << QStringList{"", text, "ff "};
    }

    void streamHexDumpsRecordsOf32Bytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(QStringList, records);
        Stream stream;
        stream.write(bytes.constData(), bytes.size());
        LogCapture log;
        QCOMPARE(stream.hexDump(count), 0);
        QCOMPARE(log.messages(), records);
        QCOMPARE(unread(stream), bytes);
    }

    void crcIsModbus()
    {
        QCOMPARE(Packet::crc16(bytesOf("123456789"), 9), uint16_t(0x4B37));
        QCOMPARE(Packet::crc16(bytesOf(QByteArray::fromHex("010300000001")), 6), uint16_t(0x0A84));
        QCOMPARE(Packet::crc16(nullptr, 0), uint16_t(0xFFFF));
    }

    // One table of the wire: what each builder puts out, report by report.
    void reportsOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QList<QByteArray>>("expected");
        const auto param = [](int code, const QByteArray &payload) {
            Packet packet;
            packet.paramEncode(0x05, bytesOf(counting(30)), 30); // replaced, not appended to
            packet.paramEncode(uint8_t(code), bytesOf(payload), payload.size());
            return unread(*packet.output());
        };
        QTest::newRow("read request") << param(0x86, {}) << QList<QByteArray>{framed("8600", "d063")};
        QTest::newRow("write, one byte") << param(0x06, QByteArray::fromHex("02"))
                                         << QList<QByteArray>{framed("060102", "9011")};
        QTest::newRow("60 bytes, no fill") << param(0x07, counting(60)) << QList<QByteArray>{framed(7, counting(60))};
        uint8_t handshake[64];
        std::fill(handshake, handshake + 64, 0xEE);
        Packet::handshakeEncode(handshake);
        QTest::newRow("handshake") << QByteArray(reinterpret_cast<char *>(handshake), 64)
                                   << QList<QByteArray>{plain(0x72)};
        Packet firmware;
        firmware.packetFile(bytesOf("\xa5"), 1);
        QTest::newRow("one-byte image") << unread(*firmware.output())
                                        << QList<QByteArray>{framed("010400000001", "ca31"), framed("0201a5", "eb11"),
                                                             plain(0x03)};
        Packet logo;
        const QByteArray text = "{0x1F,0xab,0x0x7,0x-1,0x 5,0x}"; // low 8 bits, any case, blanks and signs
        logo.logoEncode(text.constData(), text.size());
        QTest::newRow("logo") << unread(*logo.output())
                              << QList<QByteArray>{plain(0x70), framed("07101fab07ff05", "2630"), plain(0x71)};
    }

    void reportsOnTheWire()
    {
        QFETCH(QByteArray, built);
        QFETCH(QList<QByteArray>, expected);
        QCOMPARE(built.toHex(), expected.join().toHex());
    }

    void refusalsLeaveTheReportsAlone_data()
    {
        QTest::addColumn<int>("builder");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("warning");
        QTest::newRow("payload of 61") << 0 << 61 << "input size :61 > 60 \n\n";
        QTest::newRow("negative payload") << 0 << -1 << "input size :-1 > 60 \n\n";
        QTest::newRow("data of 0") << 1 << 0 << "input data length:0 is ill\n\n";
        QTest::newRow("data of 61") << 1 << 61 << "input data length:61 is ill\n\n";
        QTest::newRow("empty image") << 2 << 0 << "data must  size:0 > 0\n\n";
        QTest::newRow("image too big") << 2 << 536870881 << "data must  size:536870881 <= 536870880\n\n";
        QTest::newRow("largest count") << 2 << INT_MAX << "data must  size:2147483647 <= 536870880\n\n";
    }

    void refusalsLeaveTheReportsAlone()
    {
        QFETCH(int, builder);
        QFETCH(int, length);
        QFETCH(QString, warning);
        Packet packet;
        packet.paramEncode(0x82, nullptr, 0);
        LogCapture log;
        const QByteArray data = counting(61); // never read past its length
        const int result = builder == 0   ? packet.paramEncode(0x01, bytesOf(data), length)
                           : builder == 1 ? packet.dataEncode(bytesOf(data), length)
                                          : packet.packetFile(bytesOf(data), length);
        QCOMPARE(result, -1);
        QCOMPARE(log.messages().size(), 1);
        QVERIFY2(log.messages().first().startsWith(" Warn ---Line:["), qPrintable(log.messages().first()));
        QCOMPARE(warnings(log).first().section("] ", 1), warning);
        QCOMPARE(reports(packet), QList<QByteArray>{framed("8200", "1061")});
    }

    // Firmware pages are 1024 bytes: 17 reports of 60, then one of 4.
    void firmwareIsCutIntoPages_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("pieces");
        const QList<int> page = QVector<int>(17, 60).toList() << 4;
        QTest::newRow("100 bytes") << 100 << QList<int>{60, 40};
        QTest::newRow("1022 bytes") << 1022 << (QVector<int>(17, 60).toList() << 2);
        QTest::newRow("1025 bytes") << 1025 << (page + QList<int>{1});
        QTest::newRow("2148 bytes") << 2148 << (page + page + QList<int>{60, 40});
    }

    void firmwareIsCutIntoPages()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, pieces);
        QByteArray image;
        for (int i = 0; i < length; ++i)
            image += char(i * 7 + i / 256 + 3);
        Packet packet;
        QCOMPARE(packet.packetFile(bytesOf(image), length), 0);
        QList<QByteArray> expected{
            framed(1, QByteArray::fromHex(QByteArray::number(length, 16).rightJustified(8, '0')))};
        for (int at = 0, i = 0; i < pieces.size(); at += pieces.at(i++))
            expected << framed(2, image.mid(at, pieces.at(i)));
        QCOMPARE(reports(packet), expected << plain(0x03));
    }

    // Only a removal during an upgrade stops the framing: nobody would take the rest.
    void firmwareStopsWhenTheDeviceWentAway_data()
    {
        QTest::addColumn<int>("started");
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("result");
        QTest::newRow("removed during upgrade") << 1 << 0 << 1;
        QTest::newRow("upgrade state") << 1 << 2 << 0;
        QTest::newRow("removed, no upgrade") << 0 << 0 << 0;
    }

    void firmwareStopsWhenTheDeviceWentAway()
    {
        QFETCH(int, started);
        QFETCH(int, link);
        QFETCH(int, result);
        upgradeStarted = started;
        linkState = link;
        Packet packet;
        QCOMPARE(packet.packetFile(bytesOf(counting(100)), 100), result);
        QCOMPARE(reports(packet).size(), result == 0 ? 4 : 1);
    }

    void logoTextBecomesLogoBytes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("logo");
        QTest::addColumn<int>("values"); // converted, not zeros of a group that stopped early
        const QByteArray group = "{0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,0x10}";
        const QByteArray values = counting(16, 1);
        const QByteArray zeros15(15, '\0');
        QTest::newRow("declaration and two groups") << "const char logo[] = {\n" + group + ",\n" + group + "\n};\n"
                                                    << QByteArray(16, '\0') + values + values << 32;
        QTest::newRow("no brace") << QByteArray("0x01,0x02") << QByteArray() << 0;
        QTest::newRow("blanks after commas") << QByteArray("{0x12, 0x34}") << '\x12' + zeros15 << 1;
        QTest::newRow("brace inside a group") << QByteArray("{{0x05}") << QByteArray(16, '\0') + '\x05' + zeros15 << 1;
        QTest::newRow("NUL ends a group, not the text")
            << QByteArray("{0x01\0,0x02}{0x03}", 18) << '\x01' + zeros15 + '\x03' + zeros15 << 2;
        QTest::newRow("cut after a digit")
            << QByteArray("{0x01,0x2") << QByteArray::fromHex("0102") + QByteArray(14, 0) << 2;
        QTest::newRow("cut after 0x") << QByteArray("{0x01,0x") << '\x01' + zeros15 << 1;
        QTest::newRow("lone brace") << QByteArray("{") << QByteArray(16, '\0') << 0;
        QTest::newRow("more than 512 bytes") << group.repeated(33) << values.repeated(32) << 512;
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
        QList<QByteArray> expected{plain(0x70)};
        for (int at = 0; at < logo.size(); at += 60)
            expected << framed(7, logo.mid(at, 60));
        QCOMPARE(reports(packet), expected << plain(0x71));
        QCOMPARE(Packet::logoValues(buffer.data(), int(buffer.size())), values);
    }

    void replyDecodeSplitsTheHead()
    {
        Packet packet;
        QCOMPARE(packet.replyDecode(bytesOf(QByteArray::fromHex("a305") + QByteArray(62, 'U'))), 5);
        QCOMPARE(packet.replyFlag(), 0x80u);
        QCOMPARE(packet.replyCommand(), 0x23u);
        QCOMPARE(packet.replyStatus(), 5u);
        QCOMPARE(packet.replyDecode(bytesOf(QByteArray::fromHex("7fff") + QByteArray(62, 'U'))), 255);
        QCOMPARE(packet.replyFlag(), 0u);
        QCOMPARE(packet.replyCommand(), 0x7Fu);
    }
};

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
