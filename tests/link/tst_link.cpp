#include "link/socketframe.h"
#include "link/usboption.h"
#include "sim/simbus.h"
#include "tests/support/logcapture.h"

#include <QtTest>
#include <sys/socket.h>
#include <unistd.h>

static const QByteArray Handshake = QByteArray::fromHex("72") + QByteArray(63, '\0');

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KORVANE_READ_TIMEOUT_MS", "100"); }

    // Nodes on the bus as "vendor:product", "!" when the node refuses to
    // open, "?" when it refuses for want of rights.
    void onlyTheFirstHeaterIsOpened_data()
    {
        QTest::addColumn<QStringList>("nodes");
        QTest::addColumn<int>("opened"); // index of the node, -1 for none
        QTest::addColumn<QStringList>("tried");
        QTest::addColumn<bool>("advised"); // the udev rule is named
        QTest::newRow("heater") << QStringList{"0483:5750"} << 0 << QStringList{"0"} << false;
        QTest::newRow("other product") << QStringList{"0483:5751"} << -1 << QStringList{} << false;
        QTest::newRow("other vendor") << QStringList{"0484:5750"} << -1 << QStringList{} << false;
        QTest::newRow("first of two after a keyboard")
            << QStringList{"046d:c52b!", "0483:5750", "0483:5750"} << 1 << QStringList{"1"} << false;
        QTest::newRow("no rights") << QStringList{"0483:5750?", "0483:5750"} << -1 << QStringList{"0"} << true;
        QTest::newRow("refused") << QStringList{"0483:5750!", "0483:5750"} << -1 << QStringList{"0"} << false;
        QTest::newRow("empty bus") << QStringList{} << -1 << QStringList{} << false;
    }
    void onlyTheFirstHeaterIsOpened()
    {
        QFETCH(QStringList, nodes);
        QFETCH(int, opened);
        QFETCH(QStringList, tried);
        QFETCH(bool, advised);
        SimBus bus;
        std::vector<std::shared_ptr<SimDevice>> devices;
        for (int i = 0; i < nodes.size(); ++i) {
            const uint16_t vendor = nodes[i].left(4).toUShort(nullptr, 16);
            const uint16_t product = nodes[i].mid(5, 4).toUShort(nullptr, 16);
            const QString path = "/dev/hidraw" + QString::number(i);
            devices.push_back(std::make_shared<SimDevice>());
            if (nodes[i].endsWith('!') || nodes[i].endsWith('?'))
                bus.attachUnopenable(path,
                                     nodes[i].endsWith('?') ? HidOpenFailure::PermissionDenied : HidOpenFailure::Other,
                                     vendor, product);
            else
                bus.attach(path, devices.back(), vendor, product);
        }
        LogCapture log;
        const int handle = usb_open("/dev/ttyUSB0");
        QCOMPARE(handle > 0, opened >= 0);
        QCOMPARE(bus.openAttempts(), tried.replaceInStrings(QRegularExpression("^"), "/dev/hidraw"));
        QCOMPARE(log.containsPart("no udev rule gives this user read and write access"), advised);
        if (opened >= 0) {
            QCOMPARE(usb_write(handle, Handshake.constData(), 64), 64);
            QCOMPARE(devices[size_t(opened)]->reports(), QList<QByteArray>{'\0' + Handshake});
        }
        QCOMPARE(usb_close(handle), 0);
        QCOMPARE(bus.openCount(), 0);
    }

    void anAnswerIsTakenOnlyInItsTime_data()
    {
        QTest::addColumn<bool>("upgrading");
        QTest::addColumn<int>("fault"); // a SimDevice::Fault, -1 for the heater unplugged
        QTest::addColumn<int>("result");
        QTest::newRow("answer") << false << int(SimDevice::None) << 64;
        QTest::newRow("upgrade state: two bytes, the rest zero") << true << int(SimDevice::None) << 2;
        QTest::newRow("lost") << false << int(SimDevice::Drop) << -1;
        QTest::newRow("never") << false << int(SimDevice::Stall) << -1;
        QTest::newRow("too late for its read") << false << int(SimDevice::Late) << -1;
        QTest::newRow("unplugged") << false << -1 << -1;
    }
    // A late answer is dropped before the next request, not taken for its answer.
    void anAnswerIsTakenOnlyInItsTime()
    {
        QFETCH(bool, upgrading);
        QFETCH(int, fault);
        QFETCH(int, result);
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        device->setUpgradeState(upgrading);
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        if (fault < 0)
            bus.detach("/dev/hidraw0");
        else
            device->inject(1, SimDevice::Fault(fault));
        QByteArray answer(64, '\xaa');
        QCOMPARE(usb_write(handle, Handshake.constData(), 64), fault < 0 ? -1 : 64);
        QCOMPARE(usb_read(handle, answer.data(), 64), result);
        QCOMPARE(answer, result > 0 ? QByteArray::fromHex("7201") + QByteArray(62, '\0') : QByteArray(64, '\xaa'));
        if (fault == SimDevice::Late) {
            LogCapture log;
            QCOMPARE(usb_write(handle, Handshake.constData(), 64), 64);
            QCOMPARE(usb_read(handle, answer.data(), 64), 64);
            QCOMPARE(answer.left(2), QByteArray::fromHex("7201"));
            QVERIFY(log.containsPart("stale report of 64 bytes dropped"));
        }
        usb_close(handle);
        QCOMPARE(usb_write(handle, Handshake.constData(), 64), -1);
    }

    // Every byte of a virtual heater's frame arrives where it was sent: a value
    // spread over all four bytes, the sign, a payload.
    void socketFramesArriveWhole_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("four bytes") << 0x01020384;
        QTest::newRow("no answer") << -1;
        QTest::newRow("lowest") << int(0x80000000);
    }
    void socketFramesArriveWhole()
    {
        QFETCH(int, value);
        int pair[2];
        QCOMPARE(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        SocketFrame sent{SocketFrame::Read, value, Handshake}, got;
        QVERIFY(SocketFrame::send(pair[0], sent, 100));
        QCOMPARE(SocketFrame::receive(pair[1], &got, 100), 1);
        QCOMPARE(QByteArray(1, got.kind) + QByteArray::number(got.value) + got.payload,
                 QByteArray(1, sent.kind) + QByteArray::number(value) + Handshake);
        ::close(pair[0]);
        QCOMPARE(SocketFrame::receive(pair[1], &got, 100), -1);
        ::close(pair[1]);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
