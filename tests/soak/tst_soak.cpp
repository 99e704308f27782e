#include "params/paramter.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"
#include "protocol/stream.h"
#include "tests/exchange/heater.h"
#include "tests/soak/faultdice.h"

#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// A short read bound keeps the many stalls cheap; every wait is measured
// against it with a margin for a loaded machine and the sanitizers.
constexpr int ReadBoundMs = 20;
constexpr qint64 SlackMs = 1500;

quint32 soakSeed()
{
    bool ok = false;
    const uint seed = qEnvironmentVariable("KORVANE_SOAK_SEED").toUInt(&ok, 0);
    return ok ? seed : 0x50A4u;
}

enum class Step { Handshake, Write, Read };

// What a one-report exchange returns when its report meets the fault.
int expectedResult(Step step, const Fault &fault)
{
    if (fault.answerLost())
        return -1;
    const bool cut = fault.kind == SimDevice::Short;
    switch (step) {
    case Step::Handshake:
        return cut ? fault.value : 64;
    case Step::Write:
        if (cut)
            return fault.value >= 2 ? 1 : Protocol::AnswerForeign; // no status byte
        return fault.kind == SimDevice::Status ? fault.value : 1;
    case Step::Read:
        break;
    }
    // The TCR answer is 2 head bytes and 10 of payload; an injected status takes the length's place.
    if (cut)
        return fault.value >= 12 ? 0 : Protocol::AnswerForeign;
    if (fault.kind == SimDevice::Status && fault.value != 10)
        return fault.value == 3 ? Protocol::AnswerRefused : Protocol::AnswerForeign;
    return 0;
}

Parameter::TcrTable tcrOf(const QByteArray &payload)
{
    Parameter::TcrTable table{};
    for (int i = 0; i < Parameter::SlotCount; ++i)
        table[size_t(i)] = uint16_t(uint8_t(payload[2 * i]) << 8 | uint8_t(payload[2 * i + 1]));
    return table;
}

int reportsOf(const QByteArray &image)
{
    Packet packet;
    packet.packetFile(bytes(image), image.size());
    return packet.output()->size() / Packet::ReportSize;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exchangesWithFaults();
    void firmwareTransfersWithFaults();
    void exchangesBesideTransfersWithFaults();

private:
    // After every step: no device handle leaked, and an open protocol has an
    // open port unless the caller has learnt otherwise from a failed handshake.
    void checkLink(const Heater &heater, const Protocol &protocol);
    // Plugs the heater back in if it left, reopens, and expects it to answer.
    void recover(Heater &heater, Protocol &protocol, int handshake);

    quint32 seed = 0;
};

void TestSoak::initTestCase()
{
    qputenv("KORVANE_READ_TIMEOUT_MS", QByteArray::number(ReadBoundMs));
    seed = soakSeed();
    qInfo("soak seed 0x%x (KORVANE_SOAK_SEED repeats a run)", seed);
    // Thousands of failed exchanges each log a warning; only the checks matter here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
}

void TestSoak::checkLink(const Heater &heater, const Protocol &protocol)
{
    QVERIFY2(heater.bus.openCount() <= 1, "a device handle leaked");
    if (protocol.isOpen() > 0 && linkState != -1)
        QCOMPARE(heater.bus.openCount(), 1);
}

void TestSoak::recover(Heater &heater, Protocol &protocol, int handshake)
{
    if (heater.bus.enumerate().empty()) {
        // Unplugged: every exchange fails at once, a reopen finds nothing.
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(protocol.readParam(0x86), -1);
        QCOMPARE(protocol.reopen(), 0);
        QCOMPARE(protocol.isOpen(), 0);
        QCOMPARE(protocol.handshake(), -1);
        QVERIFY(timer.elapsed() < SlackMs);
        QCOMPARE(heater.bus.openCount(), 0);
        heater.bus.attach(Heater::Path, heater.device);
    }
    protocol.reopen();
    QVERIFY(protocol.isOpen() > 0);
    linkState = protocol.handshake();
    QCOMPARE(linkState.load(), handshake);
    checkLink(heater, protocol);
}

// Parameter writes, reads and handshakes one after another, a fault on one
// report in six; what each returns follows from the fault it met.
void TestSoak::exchangesWithFaults()
{
    FaultDice dice(seed);
    Heater heater;
    Protocol protocol;
    linkState = protocol.handshake();
    Parameter *record = protocol.parameter();
    const int steps = 3000;
    for (int i = 0; i < steps; ++i) {
        const Fault fault = dice.chance(16) ? dice.fault() : Fault();
        fault.injectAt(*heater.device, 1);
        // Settings change on the device between reads, so a stale answer shows.
        const QByteArray tcr = dice.bytes(10);
        heater.device->setSetting(4, tcr);
        record->setTcr(tcrOf(dice.bytes(10)));
        const Step step = Step(dice.below(3));

        QElapsedTimer timer;
        timer.start();
        int result = 0;
        switch (step) {
        case Step::Handshake:
            result = linkState = protocol.handshake();
            break;
        case Step::Write:
            result = protocol.writeParam(4);
            break;
        case Step::Read:
            result = protocol.readParam(0x84);
            break;
        }
        const qint64 waited = timer.elapsed();

        const QByteArray where = QString("step %1, seed 0x%2").arg(i).arg(seed, 0, 16).toUtf8();
        QVERIFY2(waited <= ReadBoundMs + SlackMs, where);
        const int expected = expectedResult(step, fault);
        QVERIFY2(result == expected, where + QByteArray(": returned ") + QByteArray::number(result) + ", expected " +
                                         QByteArray::number(expected));
        checkLink(heater, protocol);
        if (fault.kind == SimDevice::None && !fault.vanish) {
            if (step == Step::Read)
                QVERIFY2(record->tcr() == tcrOf(tcr), where);
            if (step == Step::Write) {
                const QByteArray sent = heater.device->setting(4);
                QVERIFY2(tcrOf(sent) == record->tcr(), where);
            }
        }
        if (result == -1 && step != Step::Handshake)
            QCOMPARE(protocol.isOpen(), 0);
        if (result < 0 || fault.kind != SimDevice::None || dice.chance(2))
            recover(heater, protocol, 64);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(heater.device->problems(), QStringList());
}

// Whole firmware transfers, most of them hit by a fault on a random report:
// the result, the progress, the link and the image on the heater follow from
// where the fault struck, and success always means the image arrived intact.
void TestSoak::firmwareTransfersWithFaults()
{
    FaultDice dice(seed + 1);
    Heater heater;
    heater.device->setUpgradeState(true);
    Protocol protocol;
    const int transfers = 300;
    for (int i = 0; i < transfers; ++i) {
        const QByteArray image = dice.image();
        const int reports = reportsOf(image);
        const Fault fault = dice.chance(60) ? dice.fault() : Fault();
        const int struck = 1 + dice.below(reports);
        fault.injectAt(*heater.device, struck);

        QElapsedTimer timer;
        timer.start();
        const int result = protocol.sendFile(bytes(image), image.size());
        const qint64 waited = timer.elapsed();

        const QByteArray where =
            QString("transfer %1 of %2 bytes, seed 0x%3").arg(i).arg(image.size()).arg(seed + 1, 0, 16).toUtf8();
        QVERIFY2(waited <= reports * 2 + ReadBoundMs + SlackMs, where);
        if (result == 0) {
            QVERIFY2(heater.device->firmwareComplete(), where);
            QVERIFY2(heater.device->firmware() == image, where);
        }
        const int sentBefore = fault.stopsTransfer() ? struck - 1 : reports;
        QVERIFY2(result == (fault.stopsTransfer() ? 1 : 0), where);
        QVERIFY2(upgradeOk == (fault.stopsTransfer() ? 0 : 1), where);
        QVERIFY2(upgradeProgress == sentBefore * 100 / reports, where);
        QVERIFY2((protocol.isOpen() > 0) == !fault.closesLink(), where);
        checkLink(heater, protocol);
        if (result != 0)
            recover(heater, protocol, 2);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(heater.device->problems(), QStringList());
}

// The firmware writer thread sends transfer after transfer while this thread
// exchanges, injects faults (unplugging among them) that strike whichever
// report comes next, and reopens the link as the device monitor would.
void TestSoak::exchangesBesideTransfersWithFaults()
{
    struct Outcome
    {
        int result = -1;
        bool intact = false;
        qint64 waited = 0;
        int reports = 0;
    };
    FaultDice dice(seed + 2);
    Heater heater;
    heater.device->setUpgradeState(true);
    Protocol protocol;
    const int transfers = 80;
    std::vector<Outcome> outcomes;
    // Faults come at the writer's pace, half a fault per transfer, however
    // many exchanges this thread fits in between.
    std::atomic<int> faultBudget{0};
    std::atomic<bool> writerDone{false};
    std::atomic<bool> stop{false};
    QElapsedTimer budget;
    budget.start();

    std::thread writer([&] {
        FaultDice writerDice(seed + 3);
        while (int(outcomes.size()) < transfers && !stop && budget.elapsed() < 60000) {
            if (protocol.isOpen() == 0) {
                std::this_thread::yield();
                continue;
            }
            if (writerDice.chance(50))
                ++faultBudget;
            const QByteArray image = writerDice.bytes(1 + writerDice.below(8192));
            Outcome outcome;
            outcome.reports = reportsOf(image);
            QElapsedTimer timer;
            timer.start();
            outcome.result = protocol.sendFile(bytes(image), image.size());
            outcome.waited = timer.elapsed();
            outcome.intact = heater.device->firmwareComplete() && heater.device->firmware() == image;
            outcomes.push_back(outcome);
        }
        writerDone = true;
    });

    // A failed check returns from here: the writer must be stopped first.
    struct Joiner
    {
        std::thread &thread;
        std::atomic<bool> &stop;
        ~Joiner()
        {
            stop = true;
            if (thread.joinable())
                thread.join();
        }
    } joiner{writer, stop};

    int exchanges = 0;
    int unpluggedFor = 0;
    int injectedBefore = -1; // reports received when the last fault was injected
    while (!writerDone) {
        // A fault waits for the next report that reaches the heater, whichever
        // thread sends it; once more reports came, it has struck.
        const bool faultPending = heater.device->reportCount() <= injectedBefore;
        const bool injected = faultBudget > 0 && dice.chance(5);
        if (injected) {
            --faultBudget;
            dice.fault().injectAt(*heater.device, 1);
            injectedBefore = heater.device->reportCount();
        }
        const QByteArray tcr = dice.bytes(10);
        heater.device->setSetting(4, tcr);
        QElapsedTimer timer;
        timer.start();
        const int handshake = linkState = protocol.handshake();
        const int read = protocol.readParam(0x84);
        // Each of the two waits for at most one of the writer's exchanges and its own.
        QVERIFY2(timer.elapsed() <= 4 * ReadBoundMs + SlackMs, qPrintable(QString("exchange %1").arg(exchanges)));
        QVERIFY(handshake == -1 || (handshake >= 1 && handshake <= 64));
        QVERIFY(read == 0 || read == -1 || read == Protocol::AnswerRefused || read == Protocol::AnswerForeign);
        if (!injected && !faultPending && read == 0)
            QVERIFY(protocol.parameter()->tcr() == tcrOf(tcr));
        QVERIFY(heater.bus.openCount() <= 1);
        exchanges += 2;

        if (heater.bus.enumerate().empty() && ++unpluggedFor > 3) {
            heater.bus.attach(Heater::Path, heater.device);
            unpluggedFor = 0;
        }
        if (protocol.isOpen() == 0 || handshake < 0)
            protocol.reopen();
        if (QTest::currentTestFailed())
            return;
    }
    stop = true;
    writer.join();

    QCOMPARE(int(outcomes.size()), transfers);
    int succeeded = 0;
    for (const Outcome &outcome : outcomes) {
        if (outcome.result == 0)
            QVERIFY2(outcome.intact, "a transfer reported success without the image intact on the heater");
        QVERIFY(outcome.result == 0 || outcome.result == 1);
        QVERIFY(outcome.waited <= outcome.reports * 2 * ReadBoundMs + SlackMs);
        succeeded += outcome.result == 0 ? 1 : 0;
    }
    QVERIFY2(succeeded > 0, "no transfer got through at all");
    QVERIFY(exchanges >= 100);
    qInfo("%d transfers (%d whole) beside %d exchanges", transfers, succeeded, exchanges);
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
