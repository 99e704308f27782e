#include "link/heaterlock.h"
#include "link/hidnotifier.h"
#include "link/socketbackend.h"
#include "tests/cli/clibench.h"

#include <QtTest>
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace {

// True when a server accepts connections at path: a socket file left behind does not count.
bool listening(const QString &path)
{
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool live = ::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(probe);
    return live;
}

struct Devsim
{
    explicit Devsim(const QString &socket) : path(socket) {}
    ~Devsim()
    {
        if (program.state() != QProcess::NotRunning && !stop(SIGTERM))
            stop(SIGKILL);
    }
    bool start(const QStringList &options = {})
    {
        program.start(KORVANE_DEVSIM, QStringList{"--socket", path} + options);
        return program.waitForStarted(10000) &&
               QTest::qWaitFor([this] { return listening(path) || program.state() != QProcess::Running; }, 10000) &&
               program.state() == QProcess::Running;
    }
    bool stop(int signal)
    {
        ::kill(pid_t(program.processId()), signal);
        return program.waitForFinished(10000);
    }
    QString device() const { return "unix:" + path; }
    QStringList lines()
    {
        printed += program.readAllStandardOutput();
        return QString(printed).split('\n', Qt::SkipEmptyParts);
    }
    QString path;
    QProcess program;
    QByteArray printed;
};

CliRun runCli(const QString &device, const QStringList &arguments)
{
    QProcess cli;
    return runProcess(cli, KORVANE_CLI, QStringList{"--device", device} + arguments);
}

const QByteArray Logo = "{0x10,0x11,0x12,0x13,0x14,0x15,0x16,0x17,0x18,0x19,0x1a,0x1b,0x1c,0x1d,0x1e,0x1f}";

} // namespace

// The programs in processes of their own: korvane-cli and the window on
// korvane-devsim's socket, which KORVANE_DEVICE names for this process.
class TestDevsim : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    const QString socket = dir.filePath("heater.sock");

private slots:
    void initTestCase() { qputenv("KORVANE_DEVICE", "unix:" + QFile::encodeName(socket)); }

    void theCliOnTheVirtualHeater_data()
    {
        QTest::addColumn<QStringList>("options"); // held: another program holds the heater
        QTest::addColumn<QString>("command");     // FILE: a file holding the data
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");    // a part of stdout or stderr
        QTest::addColumn<QString>("printed"); // what korvane-devsim prints
        QByteArray image(150000, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 131) ^ (i >> 9));
        auto row = [](const char *tag, const QStringList &options, const QString &command, int code,
                      const QString &said, const QByteArray &data = {}, const QString &printed = {}) {
            QTest::newRow(tag) << options << command << data << code << said << printed;
        };
        row("firmware", {"--upgrade"}, "--json firmware FILE", 0, "\"sha256\": \"" + sha256(image), image,
            "firmware 150000 " + sha256(image));
        row("logo", {}, "logo FILE", 0, "success", Logo,
            "logo 16 " + sha256(QByteArray::fromHex("101112131415161718191a1b1c1d1e1f")));
        row("stall", {"--fault", "1:stall"}, "--timeout 300 status", 6, "no answer\n");
        row("short answer", {"--fault", "1:short:2"}, "status", 0, "upgrade state\n");
        row("refused write", {"--fault", "8:status:3"}, "write power=30", 5,
            "the heater refused the power-mode settings (status 3)");
        row("lost answer", {"--fault", "3:drop", "--fault", "9:late"}, "--timeout 300 read", 6,
            "the heater stopped answering while its settings were read");
        row("longest timeout", {}, "--timeout 2147483647 status", 0, "connected\n");
        // The handshake and the first read are answered; then the server ends.
        row("vanishing", {"--vanish-after", "2"}, "read", 6, "the heater stopped answering while its settings were read");
        // Each command waits its bound, says who holds the heater, and sends nothing.
        const QString busy =
            QString("the heater is busy: %1, pid %2\n").arg(program_invocation_short_name).arg(getpid());
        row("held, status", {"held"}, "status", 7, busy);
        row("held, logo", {"held"}, "logo FILE", 7, busy, Logo);
    }
    void theCliOnTheVirtualHeater()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, command);
        QFETCH(QByteArray, data);
        QFETCH(int, code);
        QFETCH(QString, said);
        QFETCH(QString, printed);
        Devsim devsim(socket);
        const bool held = options.removeAll("held");
        QVERIFY(devsim.start(options));
        qputenv("KORVANE_LOCK_WAIT_MS", "200");
        const std::unique_ptr<HeaterLock> other(held ? new HeaterLock(socket) : nullptr);
        const CliRun run = runCli(devsim.device(), command.replace("FILE", writeFile(dir.filePath("file"), data)).split(' '));
        qunsetenv("KORVANE_LOCK_WAIT_MS");
        QCOMPARE(run.code, code);
        QVERIFY2((run.out + run.err).contains(said), qPrintable(run.out + run.err));
        // A failure says so on stderr only; status reports the heater's state on stdout either way.
        QVERIFY2(code == 0 || command.endsWith("status") || run.out.isEmpty(), qPrintable(run.out));
        QTRY_COMPARE(devsim.lines(), printed.isEmpty() ? QStringList() : QStringList{printed});
        if (options.contains("--vanish-after")) {
            QTRY_COMPARE(devsim.program.state(), QProcess::NotRunning);
            QCOMPARE(devsim.program.exitCode(), 0);
            QVERIFY(!QFileInfo::exists(socket));
        }
    }

    // Three heaters from one korvane-devsim, in a folder of their own: each
    // command names the first, the second (h-2) or the third (h-3) as N.
    void threeHeaters_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("said");     // each a part of stdout
        QTest::addColumn<QStringList>("settings"); // the heaters whose settings file was written
        QTest::newRow("list") << QStringList{} << "list" << 0
                              << QStringList{"unix:1  normal", "unix:2  normal", "unix:3  normal"}
                              << QStringList{"1", "2", "3"};
        QTest::newRow("pick") << QStringList{} << "--device unix:2 write power=30" << 0 << QStringList{}
                              << QStringList{"2"};
        QTest::newRow("the window's pick")
            << QStringList{} << "korvane --device unix:3" << 0 << QStringList{} << QStringList{"3"};
        QTest::newRow("one refuses") << QStringList{"--upgrade", "--fault", "40:status:3@2"} << "firmware --all FILE"
                                     << 5
                                     << QStringList{"unix:1 sent", "unix:3 sent", "unix:2 failed: the heater refused"}
                                     << QStringList{"1", "2", "3"};
        QTest::newRow("one stalls") << QStringList{"--upgrade", "--fault", "40:stall@3"}
                                    << "--timeout 300 --json firmware --all FILE" << 6
                                    << QStringList{"\"device\": \"unix:3\"", "\"error\": \"the heater stopped"}
                                    << QStringList{"1", "2", "3"};
    }
    void threeHeaters()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, command);
        QFETCH(int, code);
        QFETCH(QStringList, said);
        QFETCH(QStringList, settings);
        QTemporaryDir three;
        const QString first = three.filePath("h.sock");
        auto name = [&](QString text) {
            const QStringList paths = {first, three.filePath("h-2.sock"), three.filePath("h-3.sock")};
            for (int n = 1; n <= 3; ++n)
                text.replace(QString("unix:%1").arg(n), "unix:" + paths[n - 1]);
            return text;
        };
        Devsim devsim(first);
        QVERIFY(devsim.start(QStringList{"--count", "3", "--state", three.filePath("s.json")} + options));
        QTRY_VERIFY(listening(three.filePath("h-3.sock")));
        const QByteArray image(20000, '\x5a');
        command.replace("FILE", writeFile(three.filePath("image.bin"), image));
        if (command.startsWith("korvane ")) {
            QProcess window;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_CONFIG_HOME", three.path());
            window.setProcessEnvironment(environment);
            window.start(KORVANE_WINDOW, name(command).split(' ').mid(1) + QStringList{"-platform", "offscreen"});
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(three.filePath("s-3.json")), 20000);
            window.kill();
            window.waitForFinished();
        } else {
            const CliRun run = runCli(devsim.device(), name(command).split(' '));
            QCOMPARE(run.code, code);
            for (const QString &part : said)
                QVERIFY2(run.out.contains(name(part)), qPrintable(run.out));
        }
        // Every heater but the one given the fault has the whole image.
        QStringList printed;
        for (const QString n : {"1", "2", "3"})
            if (command.contains("--all") && !options.last().endsWith(n))
                printed << name("unix:" + n).mid(5) + " firmware 20000 " + sha256(image);
        QTRY_COMPARE(devsim.lines().count(), printed.count());
        QStringList lines = devsim.lines();
        lines.sort();
        printed.sort();
        QCOMPARE(lines, printed);
        for (const QString n : {"1", "2", "3"})
            QCOMPARE(QFileInfo::exists(three.filePath(n == "1" ? "s.json" : "s-" + n + ".json")), settings.contains(n));
    }

    // Even with a request the heater will never answer pending, the server
    // ends cleanly, well inside the client's own wait.
    void aSignalEndsItAtOnce()
    {
        for (const int signal : {SIGTERM, SIGINT}) {
            Devsim devsim(socket);
            QVERIFY(devsim.start({"--fault", "1:stall"}));
            QProcess cli;
            cli.start(KORVANE_CLI, {"--device", devsim.device(), "--timeout", "60000", "status"});
            QTRY_VERIFY_WITH_TIMEOUT(!HeaterLock(socket, 0).held(), 10000);
            QTest::qWait(200); // the handshake's read reaches the server
            QVERIFY(devsim.stop(signal));
            QCOMPARE(devsim.program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(devsim.program.exitCode(), 0);
            QVERIFY(cli.waitForFinished(5000));
            QCOMPARE(cli.exitCode(), 6);
            QVERIFY(!QFileInfo::exists(socket));
            QCOMPARE(runCli(devsim.device(), {"status"}).out, QString("not found\n"));
        }
    }

    void refusedStarts_data()
    {
        QTest::addColumn<QString>("taken"); // what is at the path first
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString where = "--socket PATH is required where XDG_RUNTIME_DIR is not set";
        QTest::newRow("no socket") << "" << QStringList{} << 2 << where;
        QTest::newRow("fault before the first") << "" << QStringList{"--fault", "0:stall"} << 2 << "--fault 0:stall";
        QTest::newRow("unknown fault") << "" << QStringList{"--fault", "1:melt"} << 2 << "--fault 1:melt";
        QTest::newRow("vanish") << "" << QStringList{"--vanish-after", "soon"} << 2 << "--vanish-after N";
        QTest::newRow("broken state") << "" << QStringList{"--state", "STATE"} << 2 << "setting 1 is missing";
        QTest::newRow("regular file") << "file" << QStringList{} << 1 << "exists and is not a socket";
        QTest::newRow("symbolic link") << "link" << QStringList{} << 1 << "exists and is not a socket";
        QTest::newRow("another user's socket") << "foreign" << QStringList{} << 1 << "is another user's socket";
        QTest::newRow("a live server") << "live" << QStringList{} << 1 << "already served by another virtual device";
    }
    // Refused with the reason, and what was at the path is left as it was; a
    // socket whose server was killed is taken over.
    void refusedStarts()
    {
        QFETCH(QString, taken);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString path = dir.filePath("taken");
        QFile::remove(path);
        const QString target = writeFile(dir.filePath("precious.txt"), "keep me");
        if (taken == "file")
            writeFile(dir.filePath("taken"), "keep me");
        if (taken == "link")
            QVERIFY(QFile::link(target, path));
        Devsim first(path);
        QVERIFY(taken.isEmpty() || taken == "file" || taken == "link" || first.start());
        // Killed, a server leaves its socket behind.
        if (taken == "foreign")
            QVERIFY(first.stop(SIGKILL) && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        if (QTest::currentDataTag() != QString("no socket"))
            options << "--socket" << path;
        QProcess devsim;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("XDG_RUNTIME_DIR");
        devsim.setProcessEnvironment(environment);
        devsim.start(KORVANE_DEVSIM, options.replaceInStrings("STATE", writeFile(dir.filePath("state"), R"({"1": "00c8"})")));
        QVERIFY(devsim.waitForFinished(10000));
        QCOMPARE(devsim.exitCode(), code);
        QVERIFY2(devsim.readAllStandardError().contains(message.toUtf8()), qPrintable(message));
        QCOMPARE(QFileInfo(path).isSymLink(), taken == "link");
        QCOMPARE(QFileInfo(target).size(), 7);
        QCOMPARE(QFileInfo(path).size(), taken == "file" || taken == "link" ? 7 : 0);
        if (taken == "live") {
            QCOMPARE(runCli(first.device(), {"status"}).code, 0);
            QVERIFY(first.stop(SIGKILL) && QFileInfo::exists(path));
            QVERIFY(first.start());
            QCOMPARE(runCli(first.device(), {"status"}).code, 0);
        }
    }

    // Even under umask 000, in the default place.
    void theSocketIsForThisUserAlone()
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
        QTRY_VERIFY(listening(path));
        QCOMPARE(QFileInfo(path).permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QFileInfo(runtime + "/korvane").permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                                    QFile::ReadUser | QFile::WriteUser |
                                                                    QFile::ExeUser);
        QCOMPARE(runCli("unix:" + path, {"status"}).code, 0);
        devsim.terminate();
        QVERIFY(devsim.waitForFinished(10000));
    }

    // A command started during another's firmware transfer runs after it;
    // neither takes the other's answers.
    void twoProgramsTakeTurns()
    {
        Devsim devsim(socket);
        QVERIFY(devsim.start({"--upgrade"}));
        const QByteArray image(1000000, '\x5a');
        QProcess firmware;
        firmware.start(KORVANE_CLI, {"--device", devsim.device(), "--json", "firmware", writeFile(dir.filePath("big"), image)});
        QTRY_VERIFY_WITH_TIMEOUT(!HeaterLock(socket, 0).held(), 10000);
        // Long enough for the whole transfer even in a sanitizer build on a loaded machine.
        qputenv("KORVANE_LOCK_WAIT_MS", "50000");
        const CliRun status = runCli(devsim.device(), {"status"});
        qunsetenv("KORVANE_LOCK_WAIT_MS");
        QVERIFY(firmware.waitForFinished(60000));
        QCOMPARE(status.out, QString("upgrade state\n"));
        QCOMPARE(QJsonDocument::fromJson(firmware.readAllStandardOutput()).object()["sha256"].toString(),
                 sha256(image));
        QTRY_COMPARE(devsim.lines(), QStringList{"firmware 1000000 " + sha256(image)});
    }

    // Arrivals and removals follow the server, in a folder made after the watch began.
    void noticesFollowTheServer()
    {
        const QString folder = dir.filePath("later/still");
        SocketBackend backend(folder + "/notices.sock");
        QSignalSpy arrived(backend.notifier(), &HidNotifier::arrived);
        QSignalSpy removed(backend.notifier(), &HidNotifier::removed);
        QVERIFY(QDir().mkpath(folder));
        Devsim devsim(folder + "/notices.sock");
        QVERIFY(devsim.start());
        QTRY_COMPARE(arrived.count(), 1);
        QCOMPARE(arrived[0][0].toString(), devsim.path);
        QVERIFY(devsim.stop(SIGTERM));
        QTRY_COMPARE(removed.count(), 1);
        QCOMPARE(removed[0][0].toString(), devsim.path);
        // Killed, the server leaves its socket file; the next one replaces it.
        QVERIFY(devsim.start());
        QTRY_COMPARE(arrived.count(), 2);
        QVERIFY(devsim.stop(SIGKILL));
        QVERIFY(devsim.start());
        QTRY_COMPARE(removed.count(), 2);
        QTRY_COMPARE(arrived.count(), 3);
        // The folder goes and comes again.
        QVERIFY(devsim.stop(SIGTERM));
        QVERIFY(QDir(dir.filePath("later")).removeRecursively());
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(devsim.start());
        QTRY_COMPARE(arrived.count(), 4);
    }
};

QTEST_MAIN(TestDevsim)
#include "tst_devsim.moc"
