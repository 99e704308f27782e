#include "link/usb.h"
#include "link/usboption.h"
#include "sim/simbus.h"
#include "tests/protocol/loglines.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray HandshakeRequest = QByteArray::fromHex("72") + QByteArray(63, '\0');

QString warnLine(const char *function, const char *message)
{
    return QString(" Warn ---Line:[%4d] Fun:[%1] File:[usb] %2\n\n").arg(function, message);
}

// Stand-in transport for the port's own rules, counting what reaches it.
struct Recorder
{
    static int result;
    static QList<int> closed;
    static int calls;
    static int read(int, void *, int)
    {
        ++calls;
        return result;
    }
    static int write(int, const void *, int)
    {
        ++calls;
        return result;
    }
    static int close(int handle)
    {
        closed << handle;
        return 0;
    }
    static int open(const char *) { return 7; }
};
int Recorder::result = 0;
QList<int> Recorder::closed;
int Recorder::calls = 0;

void useRecorder(Usb &port, int result)
{
    UsbOps *ops = port.ops();
    ops->open = Recorder::open;
    ops->close = Recorder::close;
    ops->read = Recorder::read;
    ops->write = Recorder::write;
    Recorder::result = result;
    Recorder::closed.clear();
    Recorder::calls = 0;
}

} // namespace

class TestUsb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KORVANE_READ_TIMEOUT_MS", "200"); }

    void registersTheHidTransportAndStartsClosed()
    {
        Usb port;
        QCOMPARE(port.ops()->handle, -1);
        QVERIFY(port.ops()->open == usb_open);
        QVERIFY(port.ops()->close == usb_close);
        QVERIFY(port.ops()->read == usb_read);
        QVERIFY(port.ops()->write == usb_write);
    }

    void programWidePortExistsBeforeMain()
    {
        // Nothing in this program asked for it yet; it was built with the statics.
        QVERIFY(programUsb().ops() != nullptr);
        QCOMPARE(programUsb().ops()->handle, -1);
        QVERIFY(programUsb().ops()->open == usb_open);
        QCOMPARE(programUsb().parent(), nullptr);
    }

    void exchangeAnnouncesBothBlocksInOrder()
    {
        SimBus bus;
        bus.attach("/dev/hidraw0", std::make_shared<SimDevice>());
        Usb port;
        QVERIFY(port.open("/dev/ttyUSB0") > 0);
        QStringList order;
        connect(&port, &Usb::writeData, this, [&order](const QByteArray &data) { order << "out " + data.toHex(); });
        connect(&port, &Usb::readData, this, [&order](const QByteArray &data) { order << "in " + data.toHex(); });
        QCOMPARE(port.write(HandshakeRequest.constData(), 64), 64);
        QByteArray answer(64, '\x11');
        QCOMPARE(port.read(answer.data(), 64), 64);
        const QByteArray expected = QByteArray::fromHex("7201") + QByteArray(62, '\0');
        QCOMPARE(order, (QStringList{"out " + HandshakeRequest.toHex(), "in " + expected.toHex()}));
        QCOMPARE(answer, expected);
        port.close();
    }

    void transferOnClosedPortDoesNotReachTheTransport()
    {
        Usb port;
        useRecorder(port, 64);
        QSignalSpy written(&port, &Usb::writeData);
        QSignalSpy read(&port, &Usb::readData);
        LogCapture log;
        QByteArray buffer(64, '\x33');
        QCOMPARE(port.write(buffer.constData(), 64), -1);
        QCOMPARE(port.read(buffer.data(), 64), -1);
        QCOMPARE(buffer, QByteArray(64, '\x33'));
        QCOMPARE(Recorder::calls, 0);
        QCOMPARE(written.count() + read.count(), 0);
        QCOMPARE(logLines(log), (QStringList{warnLine("write", "usb no open"), warnLine("read", "usb no open")}));
    }

    void missingFunctionsAreReported()
    {
        Usb port;
        useRecorder(port, 64);
        port.open("x");
        port.ops()->read = nullptr;
        port.ops()->write = nullptr;
        LogCapture log;
        QByteArray buffer(64, '\x33');
        QCOMPARE(port.write(buffer.constData(), 64), -1);
        QCOMPARE(port.read(buffer.data(), 64), -1);
        // The buffer is cleared once the port is known to be open.
        QCOMPARE(buffer, QByteArray(64, '\0'));
        QCOMPARE(logLines(log), (QStringList{warnLine("write", "usb write function is null"),
                                             warnLine("read", "usb read function is null")}));
        QCOMPARE(port.ops()->handle, 7);
    }

    void transferResultDecidesWhetherThePortStaysOpen_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("announced");
        QTest::newRow("full block") << 64 << true << 64;
        QTest::newRow("upgrade answer") << 2 << true << 2;
        QTest::newRow("nothing moved") << 0 << true << 0;
        QTest::newRow("failure") << -1 << false << 0;
        QTest::newRow("other failure") << -5 << false << 0;
    }

    void transferResultDecidesWhetherThePortStaysOpen()
    {
        QFETCH(int, result);
        QFETCH(bool, staysOpen);
        QFETCH(int, announced);
        for (const bool reading : {false, true}) {
            Usb port;
            useRecorder(port, result);
            port.open("x");
            QSignalSpy readData(&port, &Usb::readData);
            QSignalSpy writeData(&port, &Usb::writeData);
            QByteArray buffer(64, '\x44');
            QCOMPARE(reading ? port.read(buffer.data(), 64) : port.write(buffer.constData(), 64), result);
            QCOMPARE(port.ops()->handle, staysOpen ? 7 : -1);
            QCOMPARE(Recorder::closed, staysOpen ? QList<int>{} : QList<int>{7});
            QCOMPARE(readData.count(), reading ? 1 : 0);
            QCOMPARE(writeData.count(), reading ? 0 : 1);
            if (reading)
                QCOMPARE(readData.at(0).at(0).toByteArray(), QByteArray(announced, '\0'));
            else
                QCOMPARE(writeData.at(0).at(0).toByteArray(), QByteArray(64, '\x44'));
        }
    }

    void failedTransferClosesAndNextWriteSaysNoOpen()
    {
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw0", device);
        Usb port;
        QVERIFY(port.open("/dev/ttyUSB0") > 0);
        device->inject(1, SimDevice::Drop);
        QCOMPARE(port.write(HandshakeRequest.constData(), 64), 64);
        QByteArray answer(64, '\0');
        QCOMPARE(port.read(answer.data(), 64), -1);
        QCOMPARE(bus.openCount(), 0);
        LogCapture log;
        QCOMPARE(port.write(HandshakeRequest.constData(), 64), -1);
        QCOMPARE(logLines(log), QStringList{warnLine("write", "usb no open")});
        QCOMPARE(device->reportCount(), 1);
    }

    void closeAlwaysCallsTheCloseFunction()
    {
        Usb port;
        useRecorder(port, 64);
        QCOMPARE(port.close(), 0);
        QCOMPARE(Recorder::closed, QList<int>{-1});
        port.open("x");
        QCOMPARE(port.close(), 0);
        QCOMPARE(Recorder::closed, (QList<int>{-1, 7}));
        QCOMPARE(port.ops()->handle, -1);
    }

    void openWithoutOpenFunctionKeepsTheHandle()
    {
        Usb port;
        useRecorder(port, 64);
        QCOMPARE(port.open("/dev/ttyUSB0"), 7);
        port.ops()->open = nullptr;
        QCOMPARE(port.open("/dev/ttyUSB0"), -1);
        QCOMPARE(port.ops()->handle, 7);
    }
};

QTEST_GUILESS_MAIN(TestUsb)
#include "tst_usb.moc"
