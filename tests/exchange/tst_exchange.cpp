#include "common/processstate.h"
#include "link/hidnotifier.h"
#include "link/usb.h"
#include "params/paramter.h"
#include "protocol/protocol.h"
#include "sim/simbus.h"
#include "tests/support/logcapture.h"

#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// One simulated heater on the bus, a connection to it, and the transfer state reset.
struct Heater
{
    explicit Heater(bool upgrading = false)
    {
        upgradeStarted = linkState = upgradeProgress = 0;
        upgradeOk = 1;
        device->setUpgradeState(upgrading);
        device->setSetting(4, QByteArray::fromHex("0027003c003d003e003f"));
        bus.attach("/dev/hidraw0", device);
        protocol.reset(new Protocol);
        handle = protocol->isOpen();
    }
    int send(const QByteArray &image) const
    {
        return protocol->sendFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    }
    int sendLogo(const QByteArray &text) const { return protocol->sendLogo(text.constData(), text.size()); }
    QList<int> codesSent() const
    {
        QList<int> codes;
        for (const QByteArray &report : device->reports())
            codes << uint8_t(report.at(1));
        return codes;
    }

    SimBus bus;
    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();
    std::unique_ptr<Protocol> protocol;
    int handle = 0;
};

QByteArray image(int length)
{
    QByteArray bytes(length, '\0');
    uint32_t state = 0x2545F491u;
    for (char &byte : bytes)
        byte = char((state = state * 1664525u + 1013904223u) >> 24);
    return bytes;
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    // What each exchange gives its caller: the record takes nothing it did not
    // ask for, the device keeps what it acted on, and the link stays up.
    void answersAsTheCallerSeesThem()
    {
        const int refused = Protocol::AnswerRefused, foreign = Protocol::AnswerForeign;
        const struct
        {
            int code;
            SimDevice::Fault fault;
            int value, result;
        } cases[] = {{0x84, SimDevice::None, 0, 0},
                     {0x84, SimDevice::Status, 3, refused},
                     {0x84, SimDevice::Short, 2, foreign},
                     {0x84, SimDevice::Foreign, 0x96, foreign},
                     {6, SimDevice::None, 0, 1},
                     {6, SimDevice::Status, 3, 3},
                     {6, SimDevice::Status, 200, 200},
                     {6, SimDevice::Short, 1, foreign},
                     {6, SimDevice::Foreign, 0x05, foreign},
                     {9, SimDevice::None, 0, -1}}; // 9: nothing to send
        for (const auto &c : cases) {
            Heater heater;
            heater.protocol->parameter()->setWorkMode(2);
            heater.device->inject(1, c.fault, c.value);
            QCOMPARE(c.code & 0x80 ? heater.protocol->readParam(c.code) : heater.protocol->writeParam(c.code),
                     c.result);
            const bool taken = c.code == 0x84 && c.result == 0;
            QCOMPARE(heater.protocol->parameter()->tcr(),
                     taken ? Parameter::TcrTable({39, 60, 61, 62, 63}) : Parameter::TcrTable());
            QCOMPARE(heater.device->setting(6).toHex(),
                     QByteArray(c.code == 6 && c.fault != SimDevice::Status ? "02" : "01"));
            QCOMPARE(heater.protocol->isOpen(), heater.handle);
            QCOMPARE(heater.device->reportCount(), c.code == 9 ? 0 : 1);
        }
    }

    // A lost or missing answer closes the connection until it is opened again.
    void failedExchangeClosesUntilReopen()
    {
        for (SimDevice::Fault fault : {SimDevice::Drop, SimDevice::Stall}) {
            Heater heater;
            heater.device->inject(1, fault);
            QCOMPARE(heater.protocol->writeParam(2), -1);
            QCOMPARE(heater.protocol->isOpen(), 0);
            QCOMPARE(heater.bus.openCount(), 0);
            LogCapture log;
            QCOMPARE(heater.protocol->readParam(0x82), -1);
            QVERIFY(log.containsPart("] Fun:[write] File:[usb] usb no open\n\n"));
            QCOMPARE(heater.device->reportCount(), 1);
            heater.protocol->reopen();
            QVERIFY(heater.protocol->isOpen() > 0);
            QCOMPARE(heater.protocol->writeParam(2), 1);
        }
    }

    void handshakeGivesTheAnswersByteCount()
    {
        Heater normal;
        QCOMPARE(normal.protocol->handshake(), 64);
        normal.device->inject(1, SimDevice::Stall);
        QCOMPARE(normal.protocol->handshake(), -1);
        QCOMPARE(normal.protocol->isOpen(), normal.handle); // the port closed itself; the next exchange finds it so
        QCOMPARE(normal.protocol->handshake(), -1);
        QCOMPARE(normal.protocol->isOpen(), 0);
    }

    void imagesArriveIntactWithProgress()
    {
        Heater heater(true);
        QList<int> seen;
        QObject::connect(heater.protocol->port(), &Usb::writeData,
                         [&seen](const QByteArray &) { seen << upgradeProgress; });
        upgradeProgress = 60; // left from an earlier transfer
        QCOMPARE(heater.send(image(100)), 0);
        QCOMPARE(seen, (QList<int>{0, 25, 50, 75}));
        QCOMPARE(heater.send(image(5 * 1024 + 77)), 0);
        QCOMPARE(heater.device->firmware(), image(5 * 1024 + 77));
        QVERIFY(heater.device->firmwareComplete());
        QCOMPARE(heater.device->problems(), QStringList());
        QCOMPARE(upgradeOk.load(), 1);
        QCOMPARE(upgradeProgress.load(), 100);
    }

    // Only "accepted" lets a transfer go on; a refusal keeps the link, anything else closes it.
    void firmwareStopsAtTheFirstFailure()
    {
        const QList<QPair<SimDevice::Fault, int>> faults{{SimDevice::Status, 3},
                                                         {SimDevice::Status, 0},
                                                         {SimDevice::Status, 2},
                                                         {SimDevice::Drop, 0},
                                                         {SimDevice::Stall, 0}};
        for (const auto &fault : faults) {
            Heater heater(true);
            heater.device->inject(3, fault.first, fault.second);
            QCOMPARE(heater.send(image(100)), 1);
            QCOMPARE(upgradeOk.load(), 0);
            QCOMPARE(upgradeProgress.load(), 50);
            QCOMPARE(heater.protocol->isOpen(), fault.second == 3 ? heater.handle : 0);
            QCOMPARE(heater.device->reportCount(), 3);
            QVERIFY(!heater.device->firmwareComplete());
        }
    }

    void firmwareThatCannotGoIsAFailure()
    {
        Heater heater(true);
        QSignalSpy removed(heater.bus.notifier(), &HidNotifier::removed);
        heater.device->vanishAfter(10);
        QCOMPARE(heater.send(image(2000)), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(heater.protocol->isOpen(), 0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(heater.device->firmware(), image(9 * 60));
        Heater again(true);
        QCOMPARE(again.send(QByteArray()), 1); // an empty image
        QCOMPARE(upgradeOk.load(), 0);
        upgradeStarted = 1; // removed during an upgrade: framing stops
        upgradeOk = 1;
        QCOMPARE(again.send(image(100)), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(again.device->reportCount(), 0);
    }

    void logosArriveWhateverTheAnswersSay()
    {
        Heater heater;
        heater.device->inject(1, SimDevice::Short, 1);
        heater.device->inject(2, SimDevice::Status, 0);
        heater.device->inject(3, SimDevice::Status, 3);
        QCOMPARE(heater.sendLogo("{0x10,0x11}"), 0);
        QCOMPARE(heater.codesSent(), (QList<int>{0x70, 0x07, 0x71}));
        QVERIFY(heater.protocol->isOpen() > 0);
        heater.bus.detach("/dev/hidraw0");
        LogCapture log;
        QCOMPARE(heater.sendLogo("{0x10}"), -1);
        QVERIFY(log.containsPart("] Fun:[sendLogo] File:[protocol] write error\n\n"));
    }

    void closeAndReopenLeakNoDevice()
    {
        Heater heater;
        QCOMPARE(heater.protocol->close(), 0);
        QCOMPARE(heater.protocol->isOpen(), 0);
        QCOMPARE(heater.bus.openCount(), 0);
        QCOMPARE(heater.protocol->reopen(), 0);
        heater.protocol->reopen();
        QCOMPARE(heater.bus.openCount(), 1);
        // A write that moved nothing gives the handle up but leaves the port open underneath.
        UsbOps *ops = heater.protocol->port()->ops();
        const auto hidWrite = ops->write;
        ops->write = [](int, const void *, int) { return 0; };
        QCOMPARE(heater.protocol->writeParam(2), -1);
        QCOMPARE(heater.protocol->isOpen(), 0);
        ops->write = hidWrite;
        heater.protocol->reopen();
        QCOMPARE(heater.bus.openCount(), 1);
    }

    void closeWaitsForTheExchangeInProgress()
    {
        Heater heater;
        heater.device->inject(1, SimDevice::Stall);
        LogCapture log;
        int result = 0;
        std::thread exchange([&] { result = heater.protocol->handshake(); });
        QTRY_COMPARE(heater.device->reportCount(), 1);
        heater.protocol->close();
        // By now the handshake has run its course: its read timed out, the handle was not pulled from under it.
        QVERIFY(log.containsPart("] Fun:[usb_read] File:[usboption] no answer within 200 ms\n\n"));
        QVERIFY(!log.containsPart("read failed"));
        exchange.join();
        QCOMPARE(result, -1);
    }

    // The firmware writer thread and the GUI thread share one connection: every
    // answer reaches the exchange that asked for it, and both get turns.
    void guiExchangesDuringFirmwareTransfer()
    {
        Heater heater(true);
        const QByteArray data = image(256 * 1024 + 13);
        std::atomic<bool> done{false};
        int transfer = -1, wrong = 0;
        std::thread writer([&] {
            transfer = heater.send(data);
            done = true;
        });
        Parameter *record = heater.protocol->parameter();
        while (!done) {
            record->setTcr({});
            const bool matched = heater.protocol->handshake() == 2 && heater.protocol->readParam(0x84) == 0 &&
                                 record->tcr() == Parameter::TcrTable{39, 60, 61, 62, 63};
            wrong += matched && heater.protocol->writeParam(4) == 1 ? 0 : 1;
        }
        writer.join();
        QCOMPARE(wrong, 0);
        QCOMPARE(transfer, 0);
        QCOMPARE(heater.device->firmware(), data);
        QCOMPARE(heater.device->problems(), QStringList());
        const QList<int> codes = heater.codesSent();
        QVERIFY2(codes.mid(codes.indexOf(0x01), codes.indexOf(0x03) - codes.indexOf(0x01)).contains(0x72),
                 "the GUI thread never got a turn during the transfer");
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
