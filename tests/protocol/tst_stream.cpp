#include "protocol/stream.h"
#include "tests/protocol/loglines.h"

#include <QtTest>
#include <climits>

namespace {

QByteArray unread(const Stream &stream)
{
    return QByteArray(reinterpret_cast<const char *>(stream.readPointer()), stream.size());
}

QByteArray pattern(int count, int first = 0)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(first + i));
    return bytes;
}

int put(Stream &stream, int width, uint32_t value)
{
    switch (width) {
    case 1:
        return stream.putU8(value);
    case 2:
        return stream.putU16(value);
    case 3:
        return stream.putU24(value);
    }
    return stream.putU32(value);
}

int get(Stream &stream, int width)
{
    switch (width) {
    case 1:
        return stream.getU8();
    case 2:
        return stream.getU16();
    case 3:
        return stream.getU24();
    }
    return stream.getU32();
}

const QString TooBig = " Error ---Line:[%4d] Fun:[resize] File:[stream]requers size too big\n\n";

QString cannotGoBack(int count)
{
    return QString(" Error ---Line:[%4d] Fun:[backward] File:[stream]can not before size:%1 \n\n").arg(count);
}

} // namespace

class TestStream : public QObject
{
    Q_OBJECT

private slots:
    void newStreamHas64BytesAndNoContent()
    {
        Stream stream;
        QCOMPARE(stream.capacity(), 64);
        QCOMPARE(stream.size(), 0);
        QCOMPARE(stream.freeSpace(), 64);
        QCOMPARE(stream.getU8(), -1);
    }

    void writesGrowByPowersOfTwo_data()
    {
        QTest::addColumn<QList<int>>("chunks");
        QTest::addColumn<int>("capacity");
        QTest::newRow("64 bytes fit") << QList<int>{64} << 64;
        QTest::newRow("one more byte doubles") << QList<int>{64, 1} << 128;
        QTest::newRow("65 at once asks for 129") << QList<int>{65} << 256;
        QTest::newRow("1000 at once asks for 1064") << QList<int>{1000} << 2048;
        QTest::newRow("bytewise to 129") << QVector<int>(129, 1).toList() << 256;
    }

    void writesGrowByPowersOfTwo()
    {
        QFETCH(QList<int>, chunks);
        QFETCH(int, capacity);
        Stream stream;
        QByteArray written;
        for (int count : chunks) {
            const QByteArray chunk = pattern(count, written.size());
            QCOMPARE(stream.write(chunk.constData(), count), count);
            written += chunk;
        }
        QCOMPARE(stream.capacity(), capacity);
        QCOMPARE(unread(stream), written);
        QCOMPARE(stream.freeSpace(), capacity - written.size());
    }

    void growthDropsTheConsumedHead()
    {
        LogCapture log;
        Stream stream;
        stream.write(pattern(64).constData(), 64);
        char taken[10];
        QCOMPARE(stream.read(taken, 10), 10);
        QCOMPARE(stream.freeSpace(), 0); // consumed bytes are not reused before a growth
        QCOMPARE(stream.putU8(0x99), 1);
        QCOMPARE(stream.capacity(), 128);
        QCOMPARE(unread(stream), pattern(54, 10) + QByteArray::fromHex("99"));
        QCOMPARE(stream.freeSpace(), 128 - 55);
        QCOMPARE(stream.backward(1), -1);
        QCOMPARE(logLines(log), QStringList{cannotGoBack(1)});
    }

    void reserveMakesRoomAfterTheWritePosition_data()
    {
        QTest::addColumn<int>("filled");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("capacity");
        QTest::newRow("room enough") << 54 << 10 << 64;
        QTest::newRow("asks for capacity + n") << 60 << 10 << 128;
        QTest::newRow("negative needs nothing") << 64 << -5 << 64;
        QTest::newRow("far beyond") << 0 << 5000 << 8192;
    }

    void reserveMakesRoomAfterTheWritePosition()
    {
        QFETCH(int, filled);
        QFETCH(int, count);
        QFETCH(int, capacity);
        Stream stream;
        stream.write(pattern(filled).constData(), filled);
        QCOMPARE(stream.reserve(count), 0);
        QCOMPARE(stream.capacity(), capacity);
        QCOMPARE(unread(stream), pattern(filled));
    }

    void putsAppendBigEndian_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<uint>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("u8 low byte") << 1 << 0x1ffu << QByteArray::fromHex("ff");
        QTest::newRow("u16") << 2 << 0x1234u << QByteArray::fromHex("1234");
        QTest::newRow("u16 low 16 bits") << 2 << 0xabcdefu << QByteArray::fromHex("cdef");
        QTest::newRow("u24 low 24 bits") << 3 << 0x12345678u << QByteArray::fromHex("345678");
        QTest::newRow("u32") << 4 << 0x89abcdefu << QByteArray::fromHex("89abcdef");
    }

    void putsAppendBigEndian()
    {
        QFETCH(int, width);
        QFETCH(uint, value);
        QFETCH(QByteArray, bytes);
        Stream stream;
        stream.putU8(0x55);
        QCOMPARE(put(stream, width, value), width);
        QCOMPARE(unread(stream), QByteArray::fromHex("55") + bytes);
    }

    void getsTakeBigEndian_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("u8") << QByteArray::fromHex("ab01") << 1 << 0xab << QByteArray::fromHex("01");
        QTest::newRow("u16") << QByteArray::fromHex("1234") << 2 << 4660 << QByteArray();
        QTest::newRow("u16 short") << QByteArray::fromHex("12") << 2 << -1 << QByteArray::fromHex("12");
        QTest::newRow("u24") << QByteArray::fromHex("fedcba") << 3 << 0xfedcba << QByteArray();
        QTest::newRow("u24 short") << QByteArray::fromHex("fedc") << 3 << -1 << QByteArray::fromHex("fedc");
        QTest::newRow("u32") << QByteArray::fromHex("0102030405") << 4 << 0x01020304 << QByteArray::fromHex("05");
        QTest::newRow("u32 high bit") << QByteArray::fromHex("80000001") << 4 << INT_MIN + 1 << QByteArray();
        QTest::newRow("u32 all ones") << QByteArray::fromHex("ffffffff") << 4 << -1 << QByteArray();
        QTest::newRow("u32 short") << QByteArray::fromHex("010203") << 4 << -1 << QByteArray::fromHex("010203");
        QTest::newRow("u8 empty") << QByteArray() << 1 << -1 << QByteArray();
    }

    void getsTakeBigEndian()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, width);
        QFETCH(int, result);
        QFETCH(QByteArray, left);
        Stream stream;
        stream.write(bytes.constData(), bytes.size());
        QCOMPARE(get(stream, width), result);
        QCOMPARE(unread(stream), left);
    }

    void readCopiesWhatIsThere_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("more than unread") << 100 << 10 << 0;
        QTest::newRow("part") << 4 << 4 << 4;
        QTest::newRow("zero") << 0 << 0 << 0;
        QTest::newRow("negative") << -3 << 0 << 0;
    }

    void readCopiesWhatIsThere()
    {
        QFETCH(int, count);
        QFETCH(int, first);
        QFETCH(int, second);
        Stream stream;
        stream.write(pattern(10).constData(), 10);
        QByteArray destination(100, '\x77');
        QCOMPARE(stream.read(destination.data(), count), first);
        QCOMPARE(destination.left(first), pattern(first));
        QCOMPARE(destination.at(first), '\x77');
        QCOMPARE(stream.read(destination.data(), count), second);
        QCOMPARE(stream.size(), 10 - first - second);
    }

    void backwardBringsConsumedBytesBack_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("unreadAfter");
        QTest::newRow("all taken") << 5 << 5 << 10;
        QTest::newRow("some") << 2 << 2 << 7;
        QTest::newRow("none") << 0 << 0 << 5;
        QTest::newRow("one too many") << 6 << -1 << 5;
        QTest::newRow("negative") << -1 << -1 << 5;
    }

    void backwardBringsConsumedBytesBack()
    {
        QFETCH(int, count);
        QFETCH(int, result);
        QFETCH(int, unreadAfter);
        LogCapture log;
        Stream stream;
        stream.write(pattern(10).constData(), 10);
        char taken[5];
        stream.read(taken, 5);
        QCOMPARE(stream.backward(count), result);
        QCOMPARE(unread(stream), pattern(unreadAfter, 10 - unreadAfter));
        QCOMPARE(logLines(log), result < 0 ? QStringList{cannotGoBack(count)} : QStringList());
    }

    void oversizedRequestsChangeNothing_data()
    {
        QTest::addColumn<int>("request");
        QTest::newRow("minus one") << -1;
        QTest::newRow("most negative") << INT_MIN;
        QTest::newRow("doubling past 2^31 - 1") << INT_MAX;
        QTest::newRow("just above 2^30") << (1 << 30) + 1;
    }

    void oversizedRequestsChangeNothing()
    {
        QFETCH(int, request);
        LogCapture log;
        Stream stream;
        stream.write(pattern(20).constData(), 20);
        char taken[3];
        stream.read(taken, 3);
        QCOMPARE(stream.resize(request), -1);
        QCOMPARE(logLines(log), QStringList{TooBig});
        QCOMPARE(stream.capacity(), 64);
        QCOMPARE(unread(stream), pattern(17, 3));
        QCOMPARE(stream.backward(3), 3);
    }

    void appendsThatCannotGrowAppendNothing()
    {
        LogCapture log;
        Stream stream;
        stream.write(pattern(64).constData(), 64);
        const char one = 1;
        // capacity + n would pass the largest count; the source is never read
        QCOMPARE(stream.write(&one, INT_MAX), -1);
        QCOMPARE(stream.reserve(INT_MAX - 63), -1);
        QCOMPARE(logLines(log), QStringList({TooBig, TooBig}));
        QCOMPARE(stream.capacity(), 64);
        QCOMPARE(unread(stream), pattern(64));
    }

    void resizeWithinCapacityKeepsItAndCompacts()
    {
        Stream stream;
        stream.write(pattern(40).constData(), 40);
        char taken[8];
        stream.read(taken, 8);
        QCOMPARE(stream.resize(10), 0);
        QCOMPARE(stream.capacity(), 64);
        QCOMPARE(stream.freeSpace(), 64 - 32);
        QCOMPARE(unread(stream), pattern(32, 8));
    }

    void clearKeepsTheCapacity()
    {
        Stream stream;
        stream.write(pattern(100).constData(), 100);
        QCOMPARE(stream.clear(), 0);
        QCOMPARE(stream.size(), 0);
        QCOMPARE(stream.capacity(), 256);
        QCOMPARE(stream.freeSpace(), 256);
    }

    void compactMovesUnreadToTheStart()
    {
        LogCapture log;
        Stream stream;
        stream.write(pattern(64).constData(), 64);
        char taken[24];
        stream.read(taken, 24);
        QCOMPARE(stream.compact(), 0);
        QCOMPARE(stream.freeSpace(), 24);
        QCOMPARE(unread(stream), pattern(40, 24));
        QCOMPARE(stream.backward(1), -1);
        QCOMPARE(stream.write(pattern(24).constData(), 24), 24);
        QCOMPARE(stream.capacity(), 64);
        QCOMPARE(logLines(log), QStringList{cannotGoBack(1)});
    }

    void hexDumpEmitsRecordsOf32Bytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("records");
        const QByteArray row32 = QByteArray::fromHex(QByteArray("0f").repeated(32));
        const QString text32 = QString("0f ").repeated(32);
        QTest::newRow("three bytes") << QByteArray::fromHex("01ab00") << 0 << 3 << QStringList{"", "01 ab 00 "};
        QTest::newRow("count below unread") << QByteArray::fromHex("01ab00") << 0 << 2 << QStringList{"", "01 ab "};
        QTest::newRow("count above unread") << QByteArray::fromHex("01ab00") << 1 << 9 << QStringList{"", "ab 00 "};
        QTest::newRow("zero count") << QByteArray::fromHex("01ab00") << 0 << 0 << QStringList{""};
        QTest::newRow("negative count") << QByteArray::fromHex("01") << 0 << -1 << QStringList{""};
        QTest::newRow("empty stream") << QByteArray() << 0 << 5 << QStringList{""};
        QTest::newRow("32 bytes") << row32 << 0 << 32 << QStringList{"", text32};
        QTest::newRow("33 bytes") << row32 + QByteArray::fromHex("ff") << 0 << 40 << QStringList{"", text32, "ff "};
        QTest::newRow("64 bytes") << row32 + row32 << 0 << 64 << QStringList{"", text32, text32};
    }

    void hexDumpEmitsRecordsOf32Bytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, skipped);
        QFETCH(int, count);
        QFETCH(QStringList, records);
        Stream stream;
        stream.write(bytes.constData(), bytes.size());
        QByteArray taken(skipped, '\0');
        stream.read(taken.data(), skipped);
        LogCapture log;
        QCOMPARE(stream.hexDump(count), 0);
        QCOMPARE(log.messages(), records);
        QCOMPARE(unread(stream), bytes.mid(skipped));
    }
};

QTEST_GUILESS_MAIN(TestStream)
#include "tst_stream.moc"
