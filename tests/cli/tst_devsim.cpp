#include "link/heaterlock.h"
#include "tests/cli/devsimprocess.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString sha256(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// A socket file with nobody serving it, as a killed server leaves it.
bool leaveSocketFile(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = path.toLocal8Bit();
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

QJsonObject json(const CliRun &run)
{
    return QJsonDocument::fromJson(run.out).object();
}

} // namespace

// korvane-devsim in its own process, driven by korvane-cli in another.
class TestDevsim : public QObject
{
    Q_OBJECT

private slots:
    void firmwareThroughTheCliArrivesWithTheSameDigest();
    void logoArrivesWithItsDigest();
    void signalsEndItCleanly_data();
    void signalsEndItCleanly();
    void stateFileKeepsTheSettingsBetweenRuns();
    void faultOptions_data();
    void faultOptions();
    void vanishingEndsTheServer();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();
    void aLiveSocketIsKeptAStaleOneReplaced();
    void aHeldHeaterIsLeftAlone_data();
    void aHeldHeaterIsLeftAlone();
    void twoProgramsTakeTurns();
    void theSocketIsForThisUserAlone();
    void whatIsAtThePathIsKept_data();
    void whatIsAtThePathIsKept();
    void aSignalEndsAPendingRequestAtOnce();

private:
    QTemporaryDir dir;
    QString socket() const { return dir.filePath("heater.sock"); }
};

void TestDevsim::firmwareThroughTheCliArrivesWithTheSameDigest()
{
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start({"--upgrade"}));
    QByteArray image(150000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 131) ^ (i >> 9));

    const CliRun run = runCli({"--device", devsim.device(), "--json", "firmware", writeFile(dir, "image.bin", image)});
    QCOMPARE(run.code, 0);
    QCOMPARE(json(run)["sha256"].toString(), sha256(image));
    QTRY_COMPARE(devsim.lines(), QStringList{QString("firmware 150000 %1").arg(sha256(image))});
}

void TestDevsim::logoArrivesWithItsDigest()
{
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start());
    const QByteArray group = "{0x10,0x11,0x12,0x13,0x14,0x15,0x16,0x17,0x18,0x19,0x1a,0x1b,0x1c,0x1d,0x1e,0x1f}";

    QCOMPARE(runCli({"--device", devsim.device(), "logo", writeFile(dir, "logo.txt", group)}).code, 0);
    QTRY_COMPARE(devsim.lines(),
                 QStringList{"logo 16 " + sha256(QByteArray::fromHex("101112131415161718191a1b1c1d1e1f"))});
}

void TestDevsim::signalsEndItCleanly_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestDevsim::signalsEndItCleanly()
{
    QFETCH(int, signal);
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start());
    QCOMPARE(runCli({"--device", devsim.device(), "status"}).code, 0);

    QVERIFY(devsim.stop(signal));
    QCOMPARE(devsim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(devsim.process().exitCode(), 0);
    QVERIFY(!QFileInfo::exists(socket()));
    const CliRun after = runCli({"--device", devsim.device(), "status"});
    QCOMPARE(after.code, 3);
    QCOMPARE(after.out, QByteArray("not found\n"));
}

void TestDevsim::stateFileKeepsTheSettingsBetweenRuns()
{
    const QString state = dir.filePath("state.json");
    QFile::remove(state);
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start({"--state", state}));
    QCOMPARE(runCli({"--device", devsim.device(), "write", "power=42.5", "tcr.M5=0.0042"}).code, 0);
    QVERIFY(devsim.stop(SIGTERM));

    QVERIFY(devsim.start({"--state", state}));
    const QJsonObject read = json(runCli({"--device", devsim.device(), "--json", "read"}));
    QCOMPARE(read["power"].toDouble(), 42.5);
    QCOMPARE(read["tcr.M5"].toDouble(), 0.0042);
    QCOMPARE(read["screen-timeout"].toInt(), 30);
}

void TestDevsim::faultOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("stall") << QStringList{"--fault", "1:stall"} << QStringList{"--timeout", "300", "status"} << 6
                           << QByteArray("no answer\n");
    QTest::newRow("short answer") << QStringList{"--fault", "1:short:2"} << QStringList{"status"} << 0
                                  << QByteArray("upgrade state\n");
    QTest::newRow("upgrade state") << QStringList{"--upgrade"} << QStringList{"status"} << 0
                                   << QByteArray("upgrade state\n");
    QTest::newRow("refused write") << QStringList{"--fault", "8:status:3"} << QStringList{"write", "power=30"} << 5
                                   << QByteArray();
    QTest::newRow("lost answer") << QStringList{"--fault", "3:drop", "--fault", "9:late"}
                                 << QStringList{"--timeout", "300", "read"} << 6 << QByteArray();
    QTest::newRow("longest timeout") << QStringList{} << QStringList{"--timeout", "2147483647", "status"} << 0
                                     << QByteArray("connected\n");
}

void TestDevsim::faultOptions()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, command);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start(options));
    const CliRun run = runCli(QStringList{"--device", devsim.device()} + command);
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, out);
}

void TestDevsim::vanishingEndsTheServer()
{
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start({"--vanish-after", "2"}));
    // The handshake and the first read are answered, the second read finds no device.
    QCOMPARE(runCli({"--device", devsim.device(), "read"}).code, 6);
    QTRY_COMPARE(devsim.process().state(), QProcess::NotRunning);
    QCOMPARE(devsim.process().exitCode(), 0);
    QVERIFY(!QFileInfo::exists(socket()));
}

void TestDevsim::badOptionsAreRefused_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::newRow("no socket") << QStringList{} << "--socket PATH is required where XDG_RUNTIME_DIR is not set";
    QTest::newRow("fault before the first") << QStringList{"--socket", "x", "--fault", "0:stall"} << "--fault 0:stall";
    QTest::newRow("unknown fault") << QStringList{"--socket", "x", "--fault", "1:melt"} << "--fault 1:melt";
    QTest::newRow("vanish") << QStringList{"--socket", "x", "--vanish-after", "soon"} << "--vanish-after N";
    QTest::newRow("broken state") << QStringList{"--socket", "x", "--state", "STATE"} << "setting 1 is missing";
}

void TestDevsim::badOptionsAreRefused()
{
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    const QString state = writeFile(dir, "broken.json", R"({"1": "00c8"})");
    QProcess devsim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    devsim.setProcessEnvironment(environment);
    devsim.start(KORVANE_DEVSIM, options.replaceInStrings("STATE", state));
    QVERIFY(devsim.waitForFinished(10000));
    QCOMPARE(devsim.exitCode(), 2);
    QVERIFY2(devsim.readAllStandardError().contains(message.toUtf8()), qPrintable(message));
}

void TestDevsim::aLiveSocketIsKeptAStaleOneReplaced()
{
    DevsimProcess first(socket());
    QVERIFY(first.start());
    QProcess second;
    second.start(KORVANE_DEVSIM, {"--socket", socket()});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(second.readAllStandardError().contains("already served by another virtual device"));
    QCOMPARE(runCli({"--device", first.device(), "status"}).code, 0);

    QVERIFY(first.stop(SIGKILL));
    QVERIFY(QFileInfo::exists(socket()));
    DevsimProcess third(socket());
    QVERIFY(third.start());
    QCOMPARE(runCli({"--device", third.device(), "status"}).code, 0);
}

void TestDevsim::aHeldHeaterIsLeftAlone_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("status") << QStringList{"status"};
    QTest::newRow("read") << QStringList{"read"};
    QTest::newRow("write") << QStringList{"write", "power=42"};
    QTest::newRow("logo") << QStringList{"logo", "LOGO"};
}

// Another program holds the heater: the command waits its bound, says who
// holds it, and sends nothing.
void TestDevsim::aHeldHeaterIsLeftAlone()
{
    QFETCH(QStringList, command);
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start());
    const QString logo =
        writeFile(dir, "logo.txt", "{0x10,0x11,0x12,0x13,0x14,0x15,0x16,0x17,0x18,0x19,0x1a,0x1b,0x1c,0x1d,0x1e,0x1f}");
    qputenv("KORVANE_LOCK_WAIT_MS", "200");
    {
        const HeaterLock other(socket());
        QVERIFY(other.held());
        const CliRun run = runCli(QStringList{"--device", devsim.device()} + command.replaceInStrings("LOGO", logo));
        QCOMPARE(run.code, 7);
        QCOMPARE(
            run.err,
            QString("the heater is busy: %1, pid %2\n").arg(program_invocation_short_name).arg(::getpid()).toUtf8());
    }
    const QJsonObject read = json(runCli({"--device", devsim.device(), "--json", "read"}));
    qunsetenv("KORVANE_LOCK_WAIT_MS");
    QCOMPARE(read["power"].toDouble(), 20.0);
    QVERIFY(devsim.lines().isEmpty());
}

// A command started during another's firmware transfer runs after it; neither
// takes the other's answers.
void TestDevsim::twoProgramsTakeTurns()
{
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start({"--upgrade"}));
    const QByteArray image(1000000, '\x5a');
    QProcess firmware;
    firmware.start(KORVANE_CLI, {"--device", devsim.device(), "--json", "firmware", writeFile(dir, "big.bin", image)});
    QVERIFY(firmware.waitForStarted());
    // The transfer is under way once the heater is held.
    QTRY_VERIFY_WITH_TIMEOUT(!HeaterLock(socket(), 0).held(), 10000);

    // Long enough for the whole transfer even in a sanitizer build on a loaded machine.
    qputenv("KORVANE_LOCK_WAIT_MS", "50000");
    const CliRun status = runCli({"--device", devsim.device(), "status"});
    qunsetenv("KORVANE_LOCK_WAIT_MS");
    QVERIFY(firmware.waitForFinished(60000));
    QCOMPARE(status.code, 0);
    QCOMPARE(status.out, QByteArray("upgrade state\n"));
    QCOMPARE(firmware.exitCode(), 0);
    QCOMPARE(QJsonDocument::fromJson(firmware.readAllStandardOutput()).object()["sha256"].toString(), sha256(image));
    QTRY_COMPARE(devsim.lines(), QStringList{QString("firmware 1000000 %1").arg(sha256(image))});
}

// Even under umask 000, in the default place.
void TestDevsim::theSocketIsForThisUserAlone()
{
    const QString runtime = dir.filePath("run");
    QVERIFY(QDir().mkpath(runtime));
    QProcess devsim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime);
    devsim.setProcessEnvironment(environment);
    const mode_t umask = ::umask(0);
    devsim.start(KORVANE_DEVSIM, QStringList());
    ::umask(umask);
    const QString path = runtime + "/korvane/devsim.sock";
    QTRY_VERIFY(QFileInfo(path).exists());

    QCOMPARE(modeOf(path), 0600);
    QCOMPARE(modeOf(runtime + "/korvane"), 0700);
    QCOMPARE(runCli({"--device", "unix:" + path, "status"}).code, 0);
    devsim.terminate();
    QVERIFY(devsim.waitForFinished(10000));
}

void TestDevsim::whatIsAtThePathIsKept_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("regular file") << "file"
                                  << "exists and is not a socket";
    QTest::newRow("symbolic link") << "link"
                                   << "exists and is not a socket";
    QTest::newRow("another user's socket") << "foreign"
                                           << "is another user's socket";
}

void TestDevsim::whatIsAtThePathIsKept()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString path = dir.filePath("taken");
    QFile::remove(path);
    const QString target = writeFile(dir, "precious.txt", "keep me");
    if (kind == "file")
        writeFile(dir, "taken", "keep me");
    if (kind == "link")
        QVERIFY(QFile::link(target, path));
    if (kind == "foreign")
        QVERIFY(leaveSocketFile(path) && ::chown(path.toLocal8Bit().constData(), 65534, 65534) == 0);

    QProcess devsim;
    devsim.start(KORVANE_DEVSIM, {"--socket", path});
    QVERIFY(devsim.waitForFinished(10000));
    QCOMPARE(devsim.exitCode(), 1);
    QVERIFY2(devsim.readAllStandardError().contains(message.toUtf8()), qPrintable(message));
    const QFileInfo kept(path);
    QCOMPARE(kept.isSymLink(), kind == "link");
    QCOMPARE(QFileInfo(target).size(), 7);
    if (kind == "file")
        QCOMPARE(kept.size(), 7);
    QFile::remove(path);
}

// Stopping does not wait for an answer the device will never give.
void TestDevsim::aSignalEndsAPendingRequestAtOnce()
{
    DevsimProcess devsim(socket());
    QVERIFY(devsim.start({"--fault", "1:stall"}));
    QProcess cli;
    cli.start(KORVANE_CLI, {"--device", devsim.device(), "--timeout", "30000", "status"});
    QTRY_VERIFY_WITH_TIMEOUT(!HeaterLock(socket(), 0).held(), 10000);
    QTest::qWait(200); // the handshake's read reaches the server

    QElapsedTimer clock;
    clock.start();
    QVERIFY(devsim.stop(SIGTERM));
    QVERIFY(cli.waitForFinished(10000));
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(devsim.process().exitCode(), 0);
    QCOMPARE(cli.exitCode(), 6);
}

QTEST_GUILESS_MAIN(TestDevsim)
#include "tst_devsim.moc"
