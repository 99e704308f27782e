#include "link/hidnotifier.h"
#include "protocol/packet.h"
#include "sim/simbus.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray framed(int code, const QByteArray &payload)
{
    QByteArray report = char(code) + QByteArray(1, char(payload.size())) + payload;
    const uint16_t crc = Packet::crc16(reinterpret_cast<const uint8_t *>(report.constData()), report.size());
    return report + QByteArray(60 - payload.size(), '\0') + char(crc >> 8) + char(crc & 0xff);
}

// One report in over the wire, its answer out.
QByteArray exchange(SimDevice &device, const QByteArray &report)
{
    const QByteArray wire = QByteArray(1, '\0') + report;
    const int reader = device.openReader();
    device.receive(reinterpret_cast<const uint8_t *>(wire.constData()), wire.size());
    QByteArray answer(64, '\0');
    answer.resize(std::max(device.answer(reader, reinterpret_cast<uint8_t *>(answer.data()), 64, 0), 0));
    device.closeReader(reader);
    return answer;
}

} // namespace

// The simulated heater checks what every other test sends; these make sure the
// checks themselves catch faults.
class TestSimDevice : public QObject
{
    Q_OBJECT

private slots:
    void faultyReportsAreRefusedAndNoted_data()
    {
        QTest::addColumn<QByteArray>("report");
        QByteArray badCrc = framed(0x02, QByteArray::fromHex("0bb8"));
        badCrc[63] = char(badCrc[63] ^ 1);
        QByteArray dirtyFill = framed(0x02, QByteArray::fromHex("0bb8"));
        dirtyFill[10] = 1;
        QTest::newRow("checksum") << badCrc;
        QTest::newRow("fill not zero") << dirtyFill;
        QTest::newRow("payload length") << framed(0x02, QByteArray::fromHex("0bb800"));
        QTest::newRow("unknown command") << framed(0x55, QByteArray());
    }

    void faultyReportsAreRefusedAndNoted()
    {
        QFETCH(QByteArray, report);
        SimDevice device;
        QCOMPARE(exchange(device, report).left(2), report.left(1) + char(3));
        QCOMPARE(device.problems().size(), 1);
        QCOMPARE(device.setting(2), QByteArray::fromHex("0bb8"));
    }

    void firmwareCutAndLengthAreChecked_data()
    {
        QTest::addColumn<QList<QByteArray>>("reports");
        QTest::addColumn<int>("refused"); // index of the refused report
        const QByteArray start = framed(0x01, QByteArray::fromHex("00000050"));
        const QByteArray end = QByteArray(1, 0x03) + QByteArray(63, '\0');
        QTest::newRow("start of 5 bytes") << QList<QByteArray>{framed(0x01, QByteArray(5, '\0'))} << 0;
        QTest::newRow("data before start") << QList<QByteArray>{framed(0x02, QByteArray(60, 'a'))} << 0;
        QTest::newRow("59 where 60 fit") << QList<QByteArray>{start, framed(0x02, QByteArray(59, 'a'))} << 1;
        QTest::newRow("end too early") << QList<QByteArray>{start, framed(0x02, QByteArray(60, 'a')), end} << 2;
    }

    void firmwareCutAndLengthAreChecked()
    {
        QFETCH(QList<QByteArray>, reports);
        QFETCH(int, refused);
        SimDevice device;
        device.setUpgradeState(true);
        for (int i = 0; i < reports.size(); ++i)
            QCOMPARE(int(exchange(device, reports.at(i)).at(1)), i == refused ? 3 : 1);
        QCOMPARE(device.problems().size(), 1);
        QVERIFY(!device.firmwareComplete());
    }

    void compensationIsKeptForTheUnitItWasSentIn()
    {
        SimDevice device;
        exchange(device, framed(0x03, QByteArray::fromHex("01f400c80064"
                                                          "81"
                                                          "f6")));
        exchange(device, framed(0x03, QByteArray::fromHex("01f400c80064"
                                                          "01"
                                                          "fd")));
        exchange(device, framed(0x06, QByteArray::fromHex("02")));
        const QByteArray answer = exchange(device, framed(0x83, QByteArray()));
        QCOMPARE(answer.left(12), QByteArray::fromHex("a30a"
                                                      "01f400c80064"
                                                      "01"
                                                      "f6"
                                                      "fd"
                                                      "00"));
        QCOMPARE(device.problems(), QStringList());
    }

    void busAnnouncesArrivalsAndRemovals()
    {
        SimBus bus;
        QSignalSpy arrived(bus.notifier(), &HidNotifier::arrived);
        QSignalSpy removed(bus.notifier(), &HidNotifier::removed);
        auto device = std::make_shared<SimDevice>();
        bus.attach("/dev/hidraw4", device);
        bus.attachUnopenable("/dev/hidraw5");
        device->vanishAfter(0);
        const QByteArray wire(65, '\0');
        QCOMPARE(device->receive(reinterpret_cast<const uint8_t *>(wire.constData()), wire.size()), -1);
        QCOMPARE(arrived.count(), 2);
        QCOMPARE(arrived.at(1).at(0).toString(), QString("/dev/hidraw5"));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).toString(), QString("/dev/hidraw4"));
        QCOMPARE(bus.enumerate().size(), size_t(1));
    }

    // As hidraw: every open handle gets its copy of each answer, from its
    // opening on, and one that is not read keeps no more than 64.
    void everyOpenHandleGetsEachAnswer()
    {
        SimBus bus;
        bus.attach("/dev/hidraw4", std::make_shared<SimDevice>());
        HidOpenFailure failure;
        const int asking = bus.open("/dev/hidraw4", &failure);
        const int idle = bus.open("/dev/hidraw4", &failure);
        uint8_t wire[65] = {0, 0x72};
        uint8_t answer[64];
        for (int i = 0; i < 70; ++i) {
            QCOMPARE(bus.write(asking, wire, 65), 65);
            QCOMPARE(bus.read(asking, answer, 64, 0), 64);
        }
        const int late = bus.open("/dev/hidraw4", &failure);
        QCOMPARE(bus.read(late, answer, 64, 0), 0);
        int copies = 0;
        while (bus.read(idle, answer, 64, 0) == 64 && answer[0] == 0x72)
            ++copies;
        QCOMPARE(copies, 64);
    }
};

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
