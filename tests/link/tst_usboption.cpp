#include "link/usboption.h"
#include "sim/simbus.h"
#include "tests/protocol/loglines.h"

#include <QElapsedTimer>
#include <QtTest>
#include <cerrno>

namespace {

const QByteArray HandshakeRequest = QByteArray::fromHex("72") + QByteArray(63, '\0');

QString warnLine(const char *function, const QString &message)
{
    return QString(" Warn ---Line:[%4d] Fun:[%1] File:[usboption] %2\n\n").arg(function, message);
}

int exchange(int handle, const QByteArray &request, QByteArray *answer)
{
    usb_write(handle, request.constData(), request.size());
    answer->fill('\xaa', 64);
    return usb_read(handle, answer->data(), answer->size());
}

// One heater whose writes end as the row says, with errno set as the system would.
class RefusingBackend : public HidBackend
{
public:
    RefusingBackend(int moved, int code) : result(moved), error(code) { HidBackend::setCurrent(this); }
    ~RefusingBackend() override { HidBackend::setCurrent(nullptr); }

    std::vector<HidInterface> enumerate() override
    {
        return {{"/dev/hidraw0", HidInterface::HeaterVendorId, HidInterface::HeaterProductId}};
    }
    int open(const QString &, HidOpenFailure *failure) override
    {
        *failure = HidOpenFailure::None;
        return 1;
    }
    int write(int, const uint8_t *, int) override
    {
        errno = error;
        return result;
    }
    int read(int, uint8_t *, int, int) override { return 0; }
    void close(int) override {}

private:
    const int result;
    const int error;
};

} // namespace

Q_DECLARE_METATYPE(HidOpenFailure)
Q_DECLARE_METATYPE(SimDevice::Fault)

class TestUsbOption : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KORVANE_READ_TIMEOUT_MS", "200"); }

    void onlyVendor0483Product5750Matches_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("opened");
        QTest::newRow("heater") << 0x0483 << 0x5750 << true;
        QTest::newRow("other product") << 0x0483 << 0x5751 << false;
        QTest::newRow("other vendor") << 0x0484 << 0x5750 << false;
        QTest::newRow("keyboard") << 0x046d << 0xc52b << false;
    }

    void onlyVendor0483Product5750Matches()
    {
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, opened);
        SimBus bus;
        bus.attach("/dev/hidraw3", std::make_shared<SimDevice>(), uint16_t(vendor), uint16_t(product));
        LogCapture log;
        const int handle = usb_open("/dev/ttyUSB0");
        QStringList expected{"catch you size 13"};
        if (opened)
            expected << " find usb hid " << QString(" CreateFile success handle : %1").arg(handle);
        else
            expected << " SetupDiEnumDeviceInterfaces failed ";
        QCOMPARE(log.messages(), expected);
        QCOMPARE(handle > 0, opened);
        QCOMPARE(handle == -1, !opened);
        usb_close(handle);
    }

    void firstMatchInEnumerationOrderIsOpened()
    {
        SimBus bus;
        auto first = std::make_shared<SimDevice>();
        auto second = std::make_shared<SimDevice>();
        bus.attachUnopenable("/dev/hidraw0", HidOpenFailure::Other, 0x046d, 0xc52b);
        bus.attach("/dev/hidraw1", first);
        bus.attach("/dev/hidraw2", second);
        const int handle = usb_open("/dev/ttyUSB0");
        QVERIFY(handle > 0);
        QCOMPARE(bus.openAttempts(), QStringList{"/dev/hidraw1"});
        QCOMPARE(usb_write(handle, HandshakeRequest.constData(), 64), 64);
        QCOMPARE(first->reportCount(), 1);
        QCOMPARE(second->reportCount(), 0);
        usb_close(handle);
    }

    void unopenableFirstMatchFailsWithoutTryingTheNext_data()
    {
        QTest::addColumn<HidOpenFailure>("why");
        QTest::addColumn<bool>("explained");
        QTest::newRow("no permission") << HidOpenFailure::PermissionDenied << true;
        QTest::newRow("other failure") << HidOpenFailure::Other << false;
    }

    void unopenableFirstMatchFailsWithoutTryingTheNext()
    {
        QFETCH(HidOpenFailure, why);
        QFETCH(bool, explained);
        SimBus bus;
        bus.attachUnopenable("/dev/hidraw5", why);
        bus.attach("/dev/hidraw6", std::make_shared<SimDevice>());
        LogCapture log;
        QCOMPARE(usb_open("/dev/ttyUSB0"), -1);
        QCOMPARE(bus.openAttempts(), QStringList{"/dev/hidraw5"});
        QVERIFY(log.contains(" CreateFile failed "));
        QVERIFY(!log.containsPart("CreateFile success"));
        const QString advice = " no permission to open /dev/hidraw5: the heater is present, but no udev rule gives "
                               "this user read and write access to its hidraw node (vendor 0483, product 5750)";
        QCOMPARE(log.contains(advice), explained);
    }

    void emptyBusFindsNothing()
    {
        SimBus bus;
        LogCapture log;
        QCOMPARE(usb_open("/dev/ttyUSB0"), -1);
        QCOMPARE(log.messages(), QStringList{" SetupDiEnumDeviceInterfaces failed "});
    }

    void writeSends65BytesWithReportId0_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("handshake") << HandshakeRequest;
        QTest::newRow("read tcr") << QByteArray::fromHex("8400") + QByteArray(60, '\0') + QByteArray::fromHex("b062");
        QTest::newRow("all ones") << QByteArray(64, '\xff');
    }

    void writeSends65BytesWithReportId0()
    {
        QFETCH(QByteArray, block);
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        QCOMPARE(usb_write(handle, block.constData(), block.size()), 64);
        QCOMPARE(device->reports(), QList<QByteArray>{QByteArray(1, '\0') + block});
        usb_close(handle);
    }

    void readHandsBackTheDataBytes_data()
    {
        QTest::addColumn<bool>("upgrading");
        QTest::addColumn<int>("count");
        QTest::newRow("normal operation") << false << 64;
        QTest::newRow("upgrade state") << true << 2;
    }

    void readHandsBackTheDataBytes()
    {
        QFETCH(bool, upgrading);
        QFETCH(int, count);
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        device->setUpgradeState(upgrading);
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        QByteArray answer;
        QCOMPARE(exchange(handle, HandshakeRequest, &answer), count);
        // A short answer leaves the rest of the block zero, not stale.
        QCOMPARE(answer, QByteArray::fromHex("7201") + QByteArray(62, '\0'));
        usb_close(handle);
    }

    void invalidHandleIsRefused()
    {
        LogCapture log;
        QByteArray buffer(64, '\x5a');
        QCOMPARE(usb_read(-1, buffer.data(), 64), -1);
        QCOMPARE(usb_write(-1, buffer.constData(), 64), -1);
        QCOMPARE(usb_close(-1), 0);
        QCOMPARE(buffer, QByteArray(64, '\x5a'));
        QCOMPARE(logLines(log), (QStringList{warnLine("usb_read", "usb handler is invalid"),
                                             warnLine("usb_write", "usb handler is invalid")}));
    }

    void negativeLengthIsRefused()
    {
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        LogCapture log;
        char buffer[4] = {};
        QCOMPARE(usb_write(handle, buffer, -1), -1);
        QCOMPARE(usb_read(handle, buffer, -1), -1);
        QCOMPARE(logLines(log),
                 (QStringList{warnLine("usb_write", "length:-1 is ill"), warnLine("usb_read", "length:-1 is ill")}));
        QCOMPARE(device->reportCount(), 0);
        usb_close(handle);
    }

    void failedTransfersReportMinusOne_data()
    {
        QTest::addColumn<SimDevice::Fault>("fault");
        QTest::addColumn<QString>("warning");
        QTest::newRow("answer lost") << SimDevice::Drop << "read failed";
        QTest::newRow("never answered") << SimDevice::Stall << "no answer within 200 ms";
    }

    void failedTransfersReportMinusOne()
    {
        QFETCH(SimDevice::Fault, fault);
        QFETCH(QString, warning);
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        device->inject(1, fault);
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        QByteArray answer;
        QCOMPARE(exchange(handle, HandshakeRequest, &answer), -1);
        QVERIFY(clock.elapsed() < 1500);
        QCOMPARE(answer, QByteArray(64, '\xaa'));
        QCOMPARE(logLines(log), QStringList{warnLine("usb_read", warning)});
        usb_close(handle);
    }

    void writeThatMovesNothingLogsTheErrorCode_data()
    {
        QTest::addColumn<int>("moved");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("nothing, try again") << 0 << EAGAIN << 0 << "usb write io error";
        QTest::newRow("nothing, no error") << 0 << 0 << 0 << "usb write io error";
        QTest::newRow("device gone") << -1 << ENODEV << -1 << "usb write failed";
    }

    void writeThatMovesNothingLogsTheErrorCode()
    {
        QFETCH(int, moved);
        QFETCH(int, error);
        QFETCH(int, result);
        QFETCH(QString, verdict);
        RefusingBackend backend(moved, error);
        const int handle = usb_open("/dev/ttyUSB0");
        LogCapture log;
        QCOMPARE(usb_write(handle, HandshakeRequest.constData(), 64), result);
        QCOMPARE(logLines(log),
                 (QStringList{warnLine("usb_write", QString("error:%1").arg(error)), warnLine("usb_write", verdict)}));
        usb_close(handle);
    }

    void lateAnswerIsNotTakenForTheNextOne()
    {
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        device->inject(1, SimDevice::Late);
        const QByteArray readWorkMode =
            QByteArray::fromHex("8600") + QByteArray(60, '\0') + QByteArray::fromHex("d063");
        QByteArray answer;
        QCOMPARE(exchange(handle, readWorkMode, &answer), -1);
        LogCapture log;
        QCOMPARE(exchange(handle, HandshakeRequest, &answer), 64);
        QCOMPARE(answer.left(2), QByteArray::fromHex("7201"));
        QVERIFY(log.containsPart("] Fun:[dropStaleReports] File:[usboption] stale report of 64 bytes dropped\n\n"));
        usb_close(handle);
    }

    void unpluggedDeviceFailsEveryTransfer()
    {
        SimBus bus;
        bus.attach("/dev/hidraw0", std::make_shared<SimDevice>());
        const int handle = usb_open("/dev/ttyUSB0");
        bus.detach("/dev/hidraw0");
        LogCapture log;
        QByteArray answer;
        QCOMPARE(exchange(handle, HandshakeRequest, &answer), -1);
        QCOMPARE(logLines(log),
                 (QStringList{warnLine("usb_write", "error:0"), warnLine("usb_write", "usb write failed"),
                              warnLine("usb_read", "read failed")}));
        usb_close(handle);
    }

    void closeReleasesTheDevice()
    {
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw0", device);
        const int handle = usb_open("/dev/ttyUSB0");
        QCOMPARE(bus.openCount(), 1);
        QCOMPARE(usb_close(handle), 0);
        QCOMPARE(bus.openCount(), 0);
        QCOMPARE(usb_write(handle, HandshakeRequest.constData(), 64), -1);
        QCOMPARE(device->reportCount(), 0);
    }

    void withoutSimulatorTheRealBusHasNoHeater()
    {
        LogCapture log;
        QCOMPARE(usb_open("/dev/ttyUSB0"), -1);
        QVERIFY(log.contains(" SetupDiEnumDeviceInterfaces failed "));
    }
};

QTEST_GUILESS_MAIN(TestUsbOption)
#include "tst_usboption.moc"
