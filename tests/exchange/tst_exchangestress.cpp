#include "params/paramter.h"
#include "protocol/protocol.h"
#include "tests/exchange/heater.h"

#include <QtTest>
#include <atomic>
#include <thread>

// The firmware writer thread and the GUI thread share one connection: every
// answer must reach the exchange that asked for it.
class TestExchangeStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KORVANE_READ_TIMEOUT_MS", "200"); }

    void guiExchangesDuringFirmwareTransfer()
    {
        Heater heater;
        heater.device->setUpgradeState(true);
        const QByteArray tcr = QByteArray::fromHex("0027003c003d003e003f");
        heater.device->setSetting(4, tcr);
        Protocol protocol;
        // Long enough that the GUI thread's loop is waiting for its turn many times
        // over, even when exchanges take only microseconds.
        const QByteArray image = testImage(1024 * 1024 + 13);

        std::atomic<bool> started{false};
        std::atomic<bool> done{false};
        int transfer = -1;
        std::thread writer([&] {
            while (!started)
                std::this_thread::yield();
            transfer = protocol.sendFile(bytes(image), image.size());
            done = true;
        });

        int wrong = 0;
        while (!done) {
            started = true;
            protocol.parameter()->setTcr({});
            const bool matched = protocol.handshake() == 2 && protocol.readParam(0x84) == 0 &&
                                 protocol.parameter()->tcr() == Parameter::TcrTable{39, 60, 61, 62, 63} &&
                                 protocol.writeParam(4) == 1;
            wrong += matched ? 0 : 1;
        }
        writer.join();

        QCOMPARE(wrong, 0);
        QCOMPARE(transfer, 0);
        QCOMPARE(upgradeOk.load(), 1);
        QCOMPARE(upgradeProgress.load(), 100);
        QCOMPARE(heater.device->firmware(), image);
        QVERIFY(heater.device->firmwareComplete());
        QCOMPARE(heater.device->problems(), QStringList());
        QCOMPARE(heater.device->setting(4), tcr);

        // The two really took turns: requests of the GUI thread sit between
        // the firmware start and end reports.
        const QList<QByteArray> reports = heater.device->reports();
        const auto code = [](const QByteArray &report) { return uint8_t(report.at(1)); };
        int position = 0;
        while (code(reports.at(position)) != 0x01)
            ++position;
        int interleaved = 0;
        for (; code(reports.at(position)) != 0x03; ++position)
            interleaved += code(reports.at(position)) == 0x72 ? 1 : 0;
        QVERIFY2(interleaved > 0, "the GUI thread never got a turn during the transfer");
    }
};

QTEST_GUILESS_MAIN(TestExchangeStress)
#include "tst_exchangestress.moc"
