#include "common/processstate.h"
#include "protocol/packet.h"
#include "protocol/stream.h"
#include "tests/protocol/loglines.h"

#include <QtTest>
#include <climits>
#include <vector>

namespace {

// Bit by bit, independent of the table the framing uses.
uint16_t referenceCrc(const QByteArray &bytes)
{
    uint16_t crc = 0xFFFF;
    for (char byte : bytes) {
        crc ^= uint8_t(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

QByteArray framed(int code, const QByteArray &payload)
{
    QByteArray head;
    head.append(char(code)).append(char(payload.size())).append(payload);
    const uint16_t crc = referenceCrc(head);
    return head + QByteArray(60 - payload.size(), '\0') + char(crc >> 8) + char(crc & 0xFF);
}

QByteArray plain(int code)
{
    return char(code) + QByteArray(63, '\0');
}

QList<QByteArray> reports(const Packet &packet)
{
    const Stream *out = packet.output();
    const QByteArray all(reinterpret_cast<const char *>(out->readPointer()), out->size());
    QList<QByteArray> list;
    for (int at = 0; at < all.size(); at += 64)
        list << all.mid(at, 64);
    return list;
}

QByteArray image(int length)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i)
        bytes[i] = char(i * 7 + i / 256 + 3);
    return bytes;
}

const uint8_t *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

const QByteArray Zeros60(60, '\0');

} // namespace

class TestPacket : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        upgradeStarted = 0;
        linkState = 0;
    }

    void crcIsModbus_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("crc");
        QTest::newRow("check value") << QByteArray("123456789") << 0x4B37;
        QTest::newRow("read request 0x86") << QByteArray::fromHex("8600") << 0xD063;
        QTest::newRow("modbus read holding register") << QByteArray::fromHex("010300000001") << 0x0A84;
        QTest::newRow("nothing") << QByteArray() << 0xFFFF;
    }

    void crcIsModbus()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, crc);
        QCOMPARE(int(Packet::crc16(bytesOf(bytes), bytes.size())), crc);
    }

    void paramEncodeFramesOneReport_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("read request 0x86")
            << 0x86 << QByteArray() << QByteArray::fromHex("8600") + Zeros60 + QByteArray::fromHex("d063");
        QTest::newRow("check string") << 0x01 << QByteArray("123456789") << framed(0x01, QByteArray("123456789"));
        // Checksum over code, length and payload only, never the zero fill.
        QTest::newRow("one byte") << 0x06 << QByteArray::fromHex("02")
                                  << QByteArray::fromHex("060102") + QByteArray(59, '\0') + QByteArray::fromHex("9011");
        QTest::newRow("60 bytes, no fill") << 0x07 << image(60) << framed(0x07, image(60));
    }

    void paramEncodeFramesOneReport()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, report);
        Packet packet;
        QCOMPARE(packet.paramEncode(0x05, bytesOf(image(30)), 30), 0);
        QCOMPARE(packet.paramEncode(uint8_t(code), bytesOf(payload), payload.size()), 0);
        QCOMPARE(reports(packet), QList<QByteArray>{report});
        QCOMPARE(report, framed(code, payload));
    }

    void paramEncodeRefusesLongPayloads_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("61") << 61;
        QTest::newRow("negative") << -1;
    }

    void paramEncodeRefusesLongPayloads()
    {
        QFETCH(int, length);
        Packet packet;
        packet.paramEncode(0x81, nullptr, 0);
        LogCapture log;
        const QByteArray payload = image(61);
        QCOMPARE(packet.paramEncode(0x01, bytesOf(payload), length), -1);
        QCOMPARE(
            logLines(log),
            QStringList{
                QString(" Warn ---Line:[%4d] Fun:[paramEncode] File:[packet] input size :%1 > 60 \n\n").arg(length)});
        QCOMPARE(reports(packet), QList<QByteArray>{framed(0x81, QByteArray())});
    }

    void dataEncodeAppendsOrRefuses_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("result");
        QTest::newRow("0") << 0 << -1;
        QTest::newRow("61") << 61 << -1;
        QTest::newRow("1") << 1 << 0;
        QTest::newRow("60") << 60 << 0;
    }

    void dataEncodeAppendsOrRefuses()
    {
        QFETCH(int, length);
        QFETCH(int, result);
        Packet packet;
        packet.headEncode(300);
        LogCapture log;
        const QByteArray data = image(61);
        QCOMPARE(packet.dataEncode(bytesOf(data), length), result);
        QList<QByteArray> expected{framed(0x01, QByteArray::fromHex("0000012c"))};
        QStringList lines;
        if (result == 0)
            expected << framed(0x02, data.left(length));
        else
            lines << QString(" Warn ---Line:[%4d] Fun:[dataEncode] File:[packet] input data length:%1 is ill\n\n")
                         .arg(length);
        QCOMPARE(reports(packet), expected);
        QCOMPARE(logLines(log), lines);
    }

    void packetFileCutsPagesInto17x60And4_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("pieces");
        QTest::addColumn<QByteArray>("start");
        const QList<int> page = QVector<int>(17, 60).toList() << 4;
        QTest::newRow("1 byte") << 1 << QList<int>{1} << QByteArray::fromHex("010400000001");
        QTest::newRow("100 bytes") << 100 << QList<int>{60, 40} << QByteArray::fromHex("010400000064");
        QTest::newRow("1020 bytes") << 1020 << QVector<int>(17, 60).toList() << QByteArray::fromHex("0104000003fc");
        QTest::newRow("1022 bytes") << 1022 << (QVector<int>(17, 60).toList() << 2)
                                    << QByteArray::fromHex("0104000003fe");
        QTest::newRow("1024 bytes") << 1024 << page << QByteArray::fromHex("010400000400");
        QTest::newRow("1025 bytes") << 1025 << (page + QList<int>{1}) << QByteArray::fromHex("010400000401");
        QTest::newRow("2148 bytes") << 2148 << (page + page + QList<int>{60, 40})
                                    << QByteArray::fromHex("010400000864");
    }

    void packetFileCutsPagesInto17x60And4()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, pieces);
        QFETCH(QByteArray, start);
        const QByteArray data = image(length);
        Packet packet;
        QCOMPARE(packet.packetFile(bytesOf(data), length), 0);
        const QList<QByteArray> got = reports(packet);
        QCOMPARE(got.size(), pieces.size() + 2);
        const uint16_t startCrc = referenceCrc(start);
        QCOMPARE(got.first(), start + QByteArray(56, '\0') + char(startCrc >> 8) + char(startCrc & 0xFF));
        int at = 0;
        for (int i = 0; i < pieces.size(); ++i) {
            QCOMPARE(got.at(i + 1), framed(0x02, data.mid(at, pieces.at(i))));
            at += pieces.at(i);
        }
        QCOMPARE(at, length);
        QCOMPARE(got.last(), plain(0x03));
    }

    void packetFileStopsWhenTheDeviceWentAway_data()
    {
        QTest::addColumn<int>("started");
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("count");
        QTest::newRow("removed during upgrade") << 1 << 0 << 1 << 1;
        QTest::newRow("upgrade state") << 1 << 2 << 0 << 4;
        QTest::newRow("removed, no upgrade") << 0 << 0 << 0 << 4;
        QTest::newRow("exchange failed") << 1 << -1 << 0 << 4;
    }

    void packetFileStopsWhenTheDeviceWentAway()
    {
        QFETCH(int, started);
        QFETCH(int, link);
        QFETCH(int, result);
        QFETCH(int, count);
        upgradeStarted = started;
        linkState = link;
        const QByteArray data = image(100);
        Packet packet;
        LogCapture log;
        QCOMPARE(packet.packetFile(bytesOf(data), data.size()), result);
        const QList<QByteArray> got = reports(packet);
        QCOMPARE(got.size(), count);
        QCOMPARE(got.first(), framed(0x01, QByteArray::fromHex("00000064")));
        QCOMPARE(got.last() == plain(0x03), result == 0);
        QVERIFY(log.messages().isEmpty());
    }

    void packetFileRefusesImagesItCannotHold_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("line");
        const QString prefix = " Warn ---Line:[%4d] Fun:[packetFile] File:[packet] ";
        QTest::newRow("empty") << 0 << prefix + "data must  size:0 > 0\n\n";
        QTest::newRow("negative") << -7 << prefix + "data must  size:-7 > 0\n\n";
        QTest::newRow("just too big") << 536870881 << prefix + "data must  size:536870881 <= 536870880\n\n";
        QTest::newRow("largest count") << INT_MAX << prefix + "data must  size:2147483647 <= 536870880\n\n";
    }

    void packetFileRefusesImagesItCannotHold()
    {
        QFETCH(int, length);
        QFETCH(QString, line);
        Packet packet;
        packet.paramEncode(0x82, nullptr, 0);
        LogCapture log;
        const uint8_t data[1] = {0x42}; // refused before anything is read
        QCOMPARE(packet.packetFile(data, length), -1);
        QCOMPARE(logLines(log), QStringList{line});
        QCOMPARE(reports(packet), QList<QByteArray>{framed(0x82, QByteArray())});
    }

    void logoTextBecomesDataReports_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("logo");
        const QByteArray group = "{0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,0x10}";
        const QByteArray values = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10");
        const QByteArray zeros15(15, '\0');
        QTest::newRow("two groups") << "const char logo[] = {\n" + group + ",\n" + group + "\n};\n"
                                    << QByteArray(16, '\0') + values + values;
        QTest::newRow("two bare groups") << group + group << values + values;
        QTest::newRow("no brace") << QByteArray("0x01,0x02,0x03") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("blanks after commas")
            << QByteArray("{0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, "
                          "0x77, 0x88}")
            << QByteArray::fromHex("12") + zeros15;
        QTest::newRow("low 8 bits, any case") << QByteArray("{0x1FF,0xAb,0x0x7,0x-1,0x 5,0x}")
                                              << QByteArray::fromHex("ffab07ff05") + QByteArray(11, '\0');
        QTest::newRow("brace inside a group")
            << QByteArray("{0x01,{0x02}") << QByteArray::fromHex("01") + zeros15 + QByteArray::fromHex("02") + zeros15;
        QTest::newRow("NUL ends a group, not the text")
            << QByteArray("{0x01\0,0x02}{0x03}", 18)
            << QByteArray::fromHex("01") + zeros15 + QByteArray::fromHex("03") + zeros15;
        QTest::newRow("cut after a digit")
            << QByteArray("{0x01,0x2") << QByteArray::fromHex("0102") + QByteArray(14, '\0');
        QTest::newRow("cut after 0x") << QByteArray("{0x01,0x") << QByteArray::fromHex("01") + zeros15;
        QTest::newRow("cut after 0") << QByteArray("{0x01,0") << QByteArray::fromHex("01") + zeros15;
        QTest::newRow("cut after a comma") << QByteArray("{0x01,") << QByteArray::fromHex("01") + zeros15;
        QTest::newRow("lone brace at the end") << QByteArray("text {") << QByteArray(16, '\0');
        QTest::newRow("full logo") << group.repeated(32) << values.repeated(32);
        QTest::newRow("more than 512 bytes") << group.repeated(33) << values.repeated(32);
    }

    void logoTextBecomesDataReports()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, logo);
        // Exactly as long as the text, no terminator: reading past it trips the sanitizer.
        const std::vector<char> buffer(text.begin(), text.end());
        Packet packet;
        packet.paramEncode(0x83, nullptr, 0);
        QCOMPARE(packet.logoEncode(buffer.data(), int(buffer.size())), 0);
        QList<QByteArray> expected{plain(0x70)};
        for (int at = 0; at < logo.size(); at += 60)
            expected << framed(0x07, logo.mid(at, 60));
        expected << plain(0x71);
        QCOMPARE(reports(packet), expected);
    }

    void fullLogoTravelsAs8x60And32()
    {
        const QByteArray group = "{0xff,0xfe,0xfd,0xfc,0xfb,0xfa,0xf9,0xf8,0xf7,0xf6,0xf5,0xf4,0xf3,0xf2,0xf1,0xf0}";
        const QByteArray text = group.repeated(32);
        Packet packet;
        QCOMPARE(packet.logoEncode(text.constData(), text.size()), 0);
        QList<QByteArray> heads;
        for (const QByteArray &report : reports(packet))
            heads << report.left(2).toHex();
        QCOMPARE(heads, QList<QByteArray>(
                            {"7000", "073c", "073c", "073c", "073c", "073c", "073c", "073c", "073c", "0720", "7100"}));
    }

    void handshakeIs0x72AndZeros()
    {
        uint8_t buffer[64];
        std::fill(buffer, buffer + 64, 0xEE);
        QCOMPARE(Packet::handshakeEncode(buffer), 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(buffer), 64), plain(0x72));
    }

    void replyDecodeSplitsTheHead_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<uint>("flag");
        QTest::addColumn<uint>("command");
        QTest::newRow("read answer") << QByteArray::fromHex("8106") << 6 << 128u << 1u;
        QTest::newRow("work-mode bits stay") << QByteArray::fromHex("a301") << 1 << 128u << 0x23u;
        QTest::newRow("firmware accepted") << QByteArray::fromHex("0201") << 1 << 0u << 2u;
        QTest::newRow("all ones") << QByteArray::fromHex("ffff") << 255 << 128u << 0x7Fu;
    }

    void replyDecodeSplitsTheHead()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(uint, flag);
        QFETCH(uint, command);
        answer.append(QByteArray(62, '\x55'));
        Packet packet;
        QCOMPARE(packet.replyDecode(bytesOf(answer)), status);
        QCOMPARE(packet.replyFlag(), flag);
        QCOMPARE(packet.replyCommand(), command);
        QCOMPARE(packet.replyStatus(), uint(status));
    }
};

QTEST_GUILESS_MAIN(TestPacket)
#include "tst_packet.moc"
