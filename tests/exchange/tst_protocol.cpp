#include "link/hidnotifier.h"
#include "link/usb.h"
#include "params/paramter.h"
#include "protocol/protocol.h"
#include "tests/exchange/heater.h"
#include "tests/protocol/loglines.h"

#include <QElapsedTimer>
#include <QtTest>
#include <thread>

namespace {

// Percent of the transfer acknowledged each time a report is about to go out.
QList<int> progressBeforeEachWrite(Protocol &protocol, const QByteArray &image, int *result)
{
    QList<int> seen;
    QObject::connect(protocol.port(), &Usb::writeData, [&seen](const QByteArray &) { seen << upgradeProgress; });
    *result = protocol.sendFile(bytes(image), image.size());
    QObject::disconnect(protocol.port(), &Usb::writeData, nullptr, nullptr);
    return seen;
}

QString logoGroup(int first)
{
    QStringList values;
    for (int i = 0; i < 16; ++i)
        values << QString("0x%1").arg(first + i, 2, 16, QChar('0'));
    return "{" + values.join(',') + "}";
}

QByteArray logoBytes(int first, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += char(first + i);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(SimDevice::Fault)

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KORVANE_READ_TIMEOUT_MS", "200"); }

    void constructionOpensTheHeater()
    {
        Heater heater;
        LogCapture log;
        Protocol protocol;
        QVERIFY(protocol.isOpen() > 0);
        QVERIFY(log.contains(QString("Protocol fd %1").arg(protocol.isOpen())));
        QCOMPARE(protocol.parameter()->workMode(), 1);
    }

    void withoutHeaterConstructionCompletesClosed()
    {
        SimBus bus;
        LogCapture log;
        Protocol protocol;
        QCOMPARE(protocol.isOpen(), 0);
        QVERIFY(log.contains("Protocol fd -1"));
        QCOMPARE(protocol.handshake(), -1);
    }

    void writeParamStoresThePayloadOnTheDevice_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("power mode") << 1 << QByteArray::fromHex("012c003205dc");
        QTest::newRow("screen timeout") << 2 << QByteArray::fromHex("0bb8");
        QTest::newRow("tcr") << 4 << QByteArray::fromHex("0027003c003d003e003f");
        QTest::newRow("work mode") << 6 << QByteArray::fromHex("02");
    }

    void writeParamStoresThePayloadOnTheDevice()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, payload);
        Heater heater;
        Protocol protocol;
        Parameter *record = protocol.parameter();
        record->setPower(300);
        record->setOvershootPower(50);
        record->setOvershootTime(1500);
        record->setScreenTimeout(3000);
        record->setTcr({39, 60, 61, 62, 63});
        record->setWorkMode(2);
        QCOMPARE(protocol.writeParam(code), 1);
        QCOMPARE(heater.device->setting(code), payload);
        const QByteArray sent = heater.device->reports().last();
        QCOMPARE(sent.left(3 + payload.size()), QByteArray(1, '\0') + char(code) + char(payload.size()) + payload);
        QCOMPARE(heater.device->problems(), QStringList());
    }

    void writeParamReturnsTheStatusTheDeviceSent_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("refused") << 3;
        QTest::newRow("zero") << 0;
        QTest::newRow("unknown") << 200;
    }

    void writeParamReturnsTheStatusTheDeviceSent()
    {
        QFETCH(int, status);
        Heater heater;
        Protocol protocol;
        const int handle = protocol.isOpen();
        heater.device->inject(1, SimDevice::Status, status);
        QCOMPARE(protocol.writeParam(2), status);
        QCOMPARE(protocol.isOpen(), handle);
    }

    void writeParamWithAnUnknownCodeSendsNothing()
    {
        Heater heater;
        Protocol protocol;
        const int handle = protocol.isOpen();
        QCOMPARE(protocol.writeParam(9), -1);
        QCOMPARE(heater.device->reportCount(), 0);
        QCOMPARE(protocol.isOpen(), handle);
    }

    void failedExchangeClosesUntilReopen_data()
    {
        QTest::addColumn<SimDevice::Fault>("fault");
        QTest::newRow("answer lost") << SimDevice::Drop;
        QTest::newRow("device stalls") << SimDevice::Stall;
    }

    void failedExchangeClosesUntilReopen()
    {
        QFETCH(SimDevice::Fault, fault);
        Heater heater;
        Protocol protocol;
        heater.device->inject(1, fault);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(protocol.writeParam(2), -1);
        QVERIFY2(clock.elapsed() < 1500, "the read is bounded");
        QCOMPARE(protocol.isOpen(), 0);
        QCOMPARE(heater.bus.openCount(), 0);

        LogCapture log;
        QCOMPARE(protocol.readParam(0x82), -1);
        QCOMPARE(logLines(log), QStringList{" Warn ---Line:[%4d] Fun:[write] File:[usb] usb no open\n\n"});
        QCOMPARE(heater.device->reportCount(), 1);

        protocol.reopen();
        QVERIFY(protocol.isOpen() > 0);
        QCOMPARE(protocol.writeParam(2), 1);
    }

    void readParamStoresWhatTheAnswerCarries()
    {
        Heater heater;
        heater.device->setSetting(1, QByteArray::fromHex("012c003205dc"));
        heater.device->setSetting(4, QByteArray::fromHex("0027003c003d003e003f"));
        heater.device->setSetting(6, QByteArray::fromHex("02"));
        Protocol protocol;
        Parameter *record = protocol.parameter();
        QCOMPARE(protocol.readParam(0x81), 0);
        QCOMPARE(record->power(), 300);
        QCOMPARE(record->overshootPower(), 50);
        QCOMPARE(record->overshootTime(), 1500);
        QCOMPARE(record->workMode(), 2); // from the mode bits of the answer
        QCOMPARE(protocol.readParam(0x84), 0);
        QCOMPARE(record->tcr(), (Parameter::TcrTable{39, 60, 61, 62, 63}));
    }

    // An answer that is not the whole one asked for gives the caller its own
    // result and leaves the record and the link as they were.
    void answersNotAskedForAreNeverTaken_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<SimDevice::Fault>("fault");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("result");
        const int refused = Protocol::AnswerRefused;
        const int foreign = Protocol::AnswerForeign;
        QTest::newRow("read, refused") << 0x84 << SimDevice::Status << 3 << refused;
        QTest::newRow("read, cut short") << 0x84 << SimDevice::Short << 2 << foreign;
        QTest::newRow("read, work-mode answer") << 0x84 << SimDevice::Foreign << 0x96 << foreign;
        QTest::newRow("read, length unlike the setting's") << 0x86 << SimDevice::Status << 2 << foreign;
        QTest::newRow("read, status in place of the length") << 0x82 << SimDevice::Status << 3 << refused;
        QTest::newRow("write, no status byte") << 4 << SimDevice::Short << 1 << foreign;
        QTest::newRow("write, answer to another command") << 4 << SimDevice::Foreign << 0x05 << foreign;
    }

    void answersNotAskedForAreNeverTaken()
    {
        QFETCH(int, code);
        QFETCH(SimDevice::Fault, fault);
        QFETCH(int, value);
        QFETCH(int, result);
        Heater heater;
        heater.device->setSetting(4, QByteArray::fromHex("0027003c003d003e003f"));
        heater.device->setSetting(6, QByteArray::fromHex("02"));
        Protocol protocol;
        const int handle = protocol.isOpen();
        Parameter *record = protocol.parameter();
        record->setScreenTimeout(1234);
        heater.device->inject(1, fault, value);
        QCOMPARE(code & Parameter::ReadRequest ? protocol.readParam(code) : protocol.writeParam(code), result);
        QCOMPARE(record->tcr(), Parameter::TcrTable{});
        QCOMPARE(record->workMode(), 1);
        QCOMPARE(record->screenTimeout(), 1234);
        QCOMPARE(protocol.isOpen(), handle);
    }

    void handshakeGivesTheAnswersByteCount_data()
    {
        QTest::addColumn<bool>("upgrading");
        QTest::addColumn<int>("count");
        QTest::newRow("normal operation") << false << 64;
        QTest::newRow("upgrade state") << true << 2;
    }

    void handshakeGivesTheAnswersByteCount()
    {
        QFETCH(bool, upgrading);
        QFETCH(int, count);
        Heater heater;
        heater.device->setUpgradeState(upgrading);
        Protocol protocol;
        QCOMPARE(protocol.handshake(), count);
        QCOMPARE(heater.device->reports(), QList<QByteArray>{QByteArray::fromHex("0072") + QByteArray(63, '\0')});
    }

    void handshakeWithoutAnswerLeavesTheHandle()
    {
        Heater heater;
        Protocol protocol;
        const int handle = protocol.isOpen();
        heater.device->inject(1, SimDevice::Stall);
        QCOMPARE(protocol.handshake(), -1);
        QCOMPARE(protocol.isOpen(), handle);
        // The port closed itself; the next exchange finds it so.
        QCOMPARE(protocol.handshake(), -1);
        QCOMPARE(protocol.isOpen(), 0);
    }

    void hundredByteImageArrivesWithProgressInQuarters()
    {
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        const QByteArray image = testImage(100);
        int result = -1;
        const QList<int> progress = progressBeforeEachWrite(protocol, image, &result);
        QCOMPARE(result, 0);
        QCOMPARE(progress, (QList<int>{0, 25, 50, 75}));
        QCOMPARE(upgradeProgress.load(), 100);
        QCOMPARE(upgradeOk.load(), 1);
        QCOMPARE(heater.device->reportCount(), 4);
        QVERIFY(heater.device->firmwareComplete());
        QCOMPARE(heater.device->firmware(), image);
        QCOMPARE(heater.device->problems(), QStringList());
    }

    void imagesOfSeveralPagesArriveIntact_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("one byte") << 1;
        QTest::newRow("page less two") << 1022;
        QTest::newRow("one page") << 1024;
        QTest::newRow("page and one") << 1025;
        QTest::newRow("five pages and a bit") << 5 * 1024 + 77;
    }

    void imagesOfSeveralPagesArriveIntact()
    {
        QFETCH(int, length);
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        const QByteArray image = testImage(length);
        QCOMPARE(protocol.sendFile(bytes(image), image.size()), 0);
        QCOMPARE(heater.device->firmware(), image);
        QVERIFY(heater.device->firmwareComplete());
        QCOMPARE(heater.device->problems(), QStringList());
    }

    void firmwareAnswerOtherThanAcceptedStops_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("refused") << 3 << true;
        QTest::newRow("zero") << 0 << false;
        QTest::newRow("two") << 2 << false;
    }

    void firmwareAnswerOtherThanAcceptedStops()
    {
        QFETCH(int, status);
        QFETCH(bool, staysOpen);
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        const int handle = protocol.isOpen();
        heater.device->inject(2, SimDevice::Status, status);
        const QByteArray image = testImage(100);
        QCOMPARE(protocol.sendFile(bytes(image), image.size()), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(upgradeProgress.load(), 25);
        QCOMPARE(protocol.isOpen(), staysOpen ? handle : 0);
        QCOMPARE(heater.device->reportCount(), 2);
        QVERIFY(!heater.device->firmwareComplete());
    }

    void firmwareLinkFailureCloses_data()
    {
        QTest::addColumn<SimDevice::Fault>("fault");
        QTest::newRow("answer lost") << SimDevice::Drop;
        QTest::newRow("device stalls") << SimDevice::Stall;
    }

    void firmwareLinkFailureCloses()
    {
        QFETCH(SimDevice::Fault, fault);
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        heater.device->inject(3, fault);
        const QByteArray image = testImage(100);
        QCOMPARE(protocol.sendFile(bytes(image), image.size()), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(upgradeProgress.load(), 50);
        QCOMPARE(protocol.isOpen(), 0);
    }

    void deviceVanishingMidTransferFailsIt()
    {
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        QSignalSpy removed(heater.bus.notifier(), &HidNotifier::removed);
        heater.device->vanishAfter(10);
        const QByteArray image = testImage(2000);
        QCOMPARE(protocol.sendFile(bytes(image), image.size()), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(protocol.isOpen(), 0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(heater.device->firmware(), image.left(9 * 60));
    }

    void emptyImageIsAFailureAndSendsNothing()
    {
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        LogCapture log;
        QCOMPARE(protocol.sendFile(nullptr, 0), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(heater.device->reportCount(), 0);
        QVERIFY(log.containsPart("] Fun:[packetFile] File:[packet] data must  size:0 > 0\n\n"));
    }

    void imageCutShortByARemovalIsNotSent()
    {
        Heater heater;
        heater.device->setUpgradeState(true);
        Protocol protocol;
        upgradeStarted = 1;
        linkState = 0;
        const QByteArray image = testImage(100);
        QCOMPARE(protocol.sendFile(bytes(image), image.size()), 1);
        QCOMPARE(upgradeOk.load(), 0);
        QCOMPARE(heater.device->reportCount(), 0);
    }

    void logoArrivesWhateverTheAnswersSay()
    {
        Heater heater;
        Protocol protocol;
        heater.device->inject(1, SimDevice::Short, 1);
        heater.device->inject(2, SimDevice::Status, 0);
        heater.device->inject(3, SimDevice::Status, 3);
        const QByteArray text = (logoGroup(0x10) + ",\n" + logoGroup(0x20) + "\n").toLatin1();
        QCOMPARE(protocol.sendLogo(text.constData(), text.size()), 0);
        QList<int> codes;
        for (const QByteArray &report : heater.device->reports())
            codes << uint8_t(report.at(1));
        QCOMPARE(codes, (QList<int>{0x70, 0x07, 0x71}));
        QVERIFY(protocol.isOpen() > 0);
    }

    void fullLogoArrivesIntact()
    {
        Heater heater;
        Protocol protocol;
        QString text;
        for (int group = 0; group < 40; ++group)
            text += logoGroup(group * 16 % 256) + ",\n";
        const QByteArray latin = text.toLatin1();
        QCOMPARE(protocol.sendLogo(latin.constData(), latin.size()), 0);
        QCOMPARE(heater.device->reportCount(), 11);
        QVERIFY(heater.device->logoComplete());
        QCOMPARE(heater.device->logo(), logoBytes(0, 256) + logoBytes(0, 256));
        QCOMPARE(heater.device->problems(), QStringList());
    }

    void logoWriteFailureIsReported()
    {
        Heater heater;
        Protocol protocol;
        heater.bus.detach(Heater::Path);
        LogCapture log;
        const QByteArray text = logoGroup(0).toLatin1();
        QCOMPARE(protocol.sendLogo(text.constData(), text.size()), -1);
        QVERIFY(logLines(log).contains(" Warn ---Line:[%4d] Fun:[sendLogo] File:[protocol] write error\n\n"));
    }

    void closeAndReopenFollowTheDevice()
    {
        Heater heater;
        Protocol protocol;
        QCOMPARE(protocol.close(), 0);
        QCOMPARE(protocol.isOpen(), 0);
        QCOMPARE(heater.bus.openCount(), 0);
        LogCapture log;
        QCOMPARE(protocol.reopen(), 0);
        QVERIFY(protocol.isOpen() > 0);
        QCOMPARE(log.messages().last(), QString("Protocol fd %1").arg(protocol.isOpen()));
        QCOMPARE(heater.bus.openCount(), 1);
        protocol.reopen();
        QCOMPARE(heater.bus.openCount(), 1);
    }

    void reopenAfterAWriteThatMovedNothingLeaksNoDevice()
    {
        Heater heater;
        Protocol protocol;
        UsbOps *ops = protocol.port()->ops();
        const auto hidWrite = ops->write;
        ops->write = [](int, const void *, int) { return 0; };
        QCOMPARE(protocol.writeParam(2), -1);
        QCOMPARE(protocol.isOpen(), 0);
        ops->write = hidWrite;
        protocol.reopen();
        QCOMPARE(heater.bus.openCount(), 1);
        protocol.close();
        QCOMPARE(heater.bus.openCount(), 0);
    }

    void closeWaitsForTheExchangeInProgress()
    {
        Heater heater;
        Protocol protocol;
        heater.device->inject(1, SimDevice::Stall);
        LogCapture log;
        int result = 0;
        std::thread exchange([&] { result = protocol.handshake(); });
        QTRY_COMPARE(heater.device->reportCount(), 1);
        protocol.close();
        // By now the handshake has run its course: its read timed out, the handle
        // was not pulled from under it.
        QVERIFY(log.containsPart("] Fun:[usb_read] File:[usboption] no answer within 200 ms\n\n"));
        QVERIFY(!log.containsPart("read failed"));
        exchange.join();
        QCOMPARE(result, -1);
        QCOMPARE(protocol.isOpen(), 0);
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
