#include "link/hidbackend.h"
#include "link/hidnotifier.h"
#include "link/socketbackend.h"
#include "link/usboption.h"
#include "params/paramter.h"
#include "protocol/protocol.h"
#include "tests/cli/devsimprocess.h"
#include "tests/support/logcapture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

// The process's backend when KORVANE_DEVICE names a socket, against
// korvane-devsim in another process.
class TestSocketBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void theStartupChoiceFollowsKorvaneDevice();
    void theSocketFileIsTheDevice();
    void noticesFollowTheServer();
    void aFolderMadeLaterIsWatched();
    void anIdleWatchSleeps();
    void exchangesReachTheVirtualDevice();
    void aServerThatDiesFailsTheCallsAtOnce();
    void aDeviceThatNeverAnswersIsBounded();
    void answersLeftForAnotherProgramAreDrained();

private:
    QTemporaryDir dir;
    QString socket;
};

void TestSocketBackend::initTestCase()
{
    socket = dir.filePath("heater.sock");
    // Read once, when the link first needs a backend.
    qputenv("KORVANE_DEVICE", "unix:" + socket.toLocal8Bit());
}

void TestSocketBackend::theStartupChoiceFollowsKorvaneDevice()
{
    QVERIFY(dynamic_cast<SocketBackend *>(HidBackend::current()) != nullptr);
}

void TestSocketBackend::theSocketFileIsTheDevice()
{
    HidBackend *backend = HidBackend::current();
    QVERIFY(backend->enumerate().empty());
    HidOpenFailure failure = HidOpenFailure::None;
    QCOMPARE(backend->open(socket, &failure), -1);
    QCOMPARE(failure, HidOpenFailure::Other);

    DevsimProcess devsim(socket);
    QVERIFY(devsim.start());
    const std::vector<HidInterface> found = backend->enumerate();
    QCOMPARE(int(found.size()), 1);
    QCOMPARE(found[0].path, socket);
    QCOMPARE(found[0].vendorId, uint16_t(0x0483));
    QCOMPARE(found[0].productId, uint16_t(0x5750));
    QCOMPARE(backend->open(dir.filePath("other.sock"), &failure), -1);
}

// A backend of its own: the notices of the servers of other tests cannot
// arrive late into its count.
void TestSocketBackend::noticesFollowTheServer()
{
    const QString socket = dir.filePath("notices.sock");
    SocketBackend backend(socket);
    QSignalSpy arrived(backend.notifier(), &HidNotifier::arrived);
    QSignalSpy removed(backend.notifier(), &HidNotifier::removed);
    DevsimProcess devsim(socket);

    QVERIFY(devsim.start());
    QTRY_COMPARE(arrived.count(), 1);
    QCOMPARE(arrived[0][0].toString(), socket);
    QVERIFY(devsim.stop(SIGTERM));
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(removed[0][0].toString(), socket);

    // Killed, the server leaves its socket file; the next one replaces it.
    QVERIFY(devsim.start());
    QTRY_COMPARE(arrived.count(), 2);
    QVERIFY(devsim.stop(SIGKILL));
    QVERIFY(devsim.start());
    QTRY_COMPARE(removed.count(), 2);
    QTRY_COMPARE(arrived.count(), 3);
}

void TestSocketBackend::aFolderMadeLaterIsWatched()
{
    const QString folder = dir.filePath("later/still");
    SocketBackend backend(folder + "/heater.sock");
    QSignalSpy arrived(backend.notifier(), &HidNotifier::arrived);
    QSignalSpy removed(backend.notifier(), &HidNotifier::removed);
    QVERIFY(QDir().mkpath(folder));
    DevsimProcess devsim(folder + "/heater.sock");
    QVERIFY(devsim.start());
    QTRY_COMPARE(arrived.count(), 1);
    QVERIFY(devsim.stop(SIGTERM));
    QTRY_COMPARE(removed.count(), 1);

    // The folder goes and comes again.
    QVERIFY(QDir(dir.filePath("later")).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(devsim.start());
    QTRY_COMPARE(arrived.count(), 2);
}

namespace {
// Times the threads of this process gave up the processor of their own accord.
long voluntarySwitches()
{
    long total = 0;
    for (const QString &task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status("/proc/self/task/" + task + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                total += line.mid(24).trimmed().toLong();
    }
    return total;
}
} // namespace

void TestSocketBackend::anIdleWatchSleeps()
{
    SocketBackend backend(dir.filePath("idle.sock"));
    QTest::qSleep(100);
    const long before = voluntarySwitches();
    QTest::qSleep(1000);
    // Looking every 100 ms would wake ten times.
    QVERIFY2(voluntarySwitches() - before < 5, qPrintable(QString::number(voluntarySwitches() - before)));
}

void TestSocketBackend::exchangesReachTheVirtualDevice()
{
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start());
    LogCapture quiet;
    Protocol protocol;
    QVERIFY(protocol.isOpen() > 0);
    QCOMPARE(protocol.handshake(), 64);
    QCOMPARE(protocol.readParam(0x81), 0);
    QCOMPARE(protocol.parameter()->power(), 200);
    protocol.parameter()->setScreenTimeout(1500);
    QCOMPARE(protocol.writeParam(2), 1);
    QCOMPARE(protocol.readParam(0x82), 0);
    QCOMPARE(protocol.parameter()->screenTimeout(), 1500);
}

void TestSocketBackend::aServerThatDiesFailsTheCallsAtOnce()
{
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start());
    LogCapture quiet;
    Protocol protocol;
    QCOMPARE(protocol.handshake(), 64);
    QVERIFY(devsim.stop(SIGKILL));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(protocol.readParam(0x81), -1);
    QCOMPARE(protocol.isOpen(), 0);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

void TestSocketBackend::aDeviceThatNeverAnswersIsBounded()
{
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start({"--fault", "1:stall"}));
    const int handle = usb_open("/dev/ttyUSB0");
    QVERIFY(handle > 0);
    uint8_t report[64] = {0x72};
    QCOMPARE(usb_write(handle, report, 64), 64);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(usb_read(handle, report, 64), -1); // KORVANE_READ_TIMEOUT_MS is 200 in tests
    QVERIFY(clock.elapsed() >= 150 && clock.elapsed() < 2000);
    usb_close(handle);
}

// Every connection gets a copy of each answer, as every open hidraw file does:
// what another program's exchange left queued must not answer the next request.
void TestSocketBackend::answersLeftForAnotherProgramAreDrained()
{
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start());
    LogCapture quiet;
    Protocol other;
    Protocol protocol;
    for (int i = 0; i < 3; ++i)
        QCOMPARE(other.handshake(), 64);
    QCOMPARE(protocol.readParam(0x81), 0);
    QCOMPARE(protocol.parameter()->power(), 200);
    QCOMPARE(other.readParam(0x82), 0);
    QCOMPARE(other.parameter()->screenTimeout(), 3000);
}

QTEST_GUILESS_MAIN(TestSocketBackend)
#include "tst_socketbackend.moc"
