#include "cli/cli.h"
#include "sim/simbus.h"
#include "tests/realhid/heaterscript.h"
#include "tests/realhid/hidrawnode.h"
#include "tests/support/logcapture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
    // The reports traced and the messages, without the diagnostics and the progress bar.
    QStringList said() const
    {
        return err.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^(?! (Warn|Info|Error) ---|\\[)"));
    }
};

const QList<HidrawNode> Others = {{0, 0x046d, 0xc31c}, {2, HidInterface::HeaterVendorId, 0x5751}};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

// A command in the sysfs and /dev that umockdev makes of the nodes, where the
// heater's node plays the script. The programs find no KORVANE_DEVICE, and
// lock the heater in a folder of their own.
Run umockdevRun(const QList<HidrawNode> &nodes, const HeaterScript &script, const QStringList &command)
{
    Run run;
    QTemporaryDir dir;
    QByteArray description;
    QStringList options{"-d", dir.filePath("nodes.umockdev")};
    for (const HidrawNode &node : nodes) {
        description += node.description();
        if (!node.isHeater())
            continue;
        const QString name = dir.filePath(node.devicePath().section('/', -1));
        writeFile(name + ".ioctl", node.ioctlRecord());
        writeFile(name + ".script", script.text());
        options << "-i" << node.devicePath() + '=' + name + ".ioctl" << "-s" << node.devicePath() + '=' + name + ".script";
    }
    writeFile(dir.filePath("nodes.umockdev"), description);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("KORVANE_DEVICE");
    environment.insert("XDG_RUNTIME_DIR", dir.path());
    environment.insert("KORVANE_CLI", KORVANE_CLI);
    program.setProcessEnvironment(environment);
    program.start("umockdev-run", options + QStringList{"--"} + command);
    if (!program.waitForFinished(60000))
        program.kill();
    program.waitForFinished();
    run.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

// The same command in this process, on the simulated bus that lives now.
Run simulated(const QString &command)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    LogCapture quiet;
    run.code = Cli::run(command.split(' '), out, err);
    out.flush();
    err.flush();
    return run;
}

// Temperature mode in Fahrenheit, 25 s, TFR-M5: every setting off the defaults.
void configure(SimDevice &heater)
{
    const QList<QByteArray> payloads = {"00c80131270f", "09c4", "01f4018800148ef6fd00", "00013039ea6000000027",
                                        QByteArray("2710").repeated(25).replace(20, 4, "1388"), "02"};
    for (int code = 1; code <= 6; ++code)
        heater.setSetting(code, QByteArray::fromHex(payloads[code - 1]));
}

} // namespace

Q_DECLARE_METATYPE(SimDevice::Fault)

// korvane-cli over the code every user runs, hidapi's hidraw backend on hidraw
// nodes that umockdev emulates next to other vendors' nodes, does to the byte
// what it does on the simulated bus: the same reports, answers and exit.
class TestRealHidCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void asOnTheSimulatedBus_data();
    void asOnTheSimulatedBus();
    void secondProgramOnTheHeater_data();
    void secondProgramOnTheHeater();

private:
    QByteArray takeExported(); // what export left, removed

    QTemporaryDir dir;
};

void TestRealHidCli::initTestCase()
{
    if (QStandardPaths::findExecutable("umockdev-run").isEmpty())
        QSKIP("umockdev-run is not installed (Debian package umockdev): no emulated hidraw node to test on");
    // Every byte the script has to escape, and bytes past 127, all through the image.
    writeFile(dir.filePath("image.bin"), QByteArray("\x00\x01^\n\r\x1f \x7f\x80\xfe\xff firmware", 20).repeated(125));
    writeFile(dir.filePath("logo.txt"),
              QByteArray("{0x01,0x02,0x5e,0x0a,0x00,0x20,0x80,0xff,0x0d,0x1f,0x7f,0x10,0x11,0x12,0x13,0x14},\n")
                  .repeated(5));
    SimBus bus;
    auto heater = std::make_shared<SimDevice>();
    configure(*heater);
    bus.attach("/dev/hidraw1", heater);
    QCOMPARE(simulated("export " + dir.filePath("profile.json")).code, 0);
}

QByteArray TestRealHidCli::takeExported()
{
    QFile file(dir.filePath("exported.json"));
    const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.remove();
    return content;
}

void TestRealHidCli::asOnTheSimulatedBus_data()
{
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<QString>("heater"); // upgrade, configured or plain
    QTest::addColumn<int>("nth");        // the report that meets the fault
    QTest::addColumn<SimDevice::Fault>("fault");
    QTest::addColumn<QString>("command"); // DIR: a folder of this run's
    QTest::addColumn<int>("code");
    const QString write = "--timeout 300 write screen-timeout=10";
    QTest::newRow("found among other devices") << true << "plain" << 0 << SimDevice::None << "status" << 0;
    QTest::newRow("upgrade state") << true << "upgrade" << 0 << SimDevice::None << "status" << 0;
    QTest::newRow("only other devices") << false << "plain" << 0 << SimDevice::None << "status" << 3;
    QTest::newRow("read") << true << "configured" << 0 << SimDevice::None << "--json read" << 0;
    QTest::newRow("write") << true << "plain" << 0 << SimDevice::None
                           << "--json write power=30.3 tcr.M1=0.0001 screen-timeout=10 tcr.M3=6" << 0;
    QTest::newRow("export") << true << "configured" << 0 << SimDevice::None << "export DIR/exported.json" << 0;
    QTest::newRow("import") << true << "plain" << 0 << SimDevice::None << "import DIR/profile.json" << 0;
    QTest::newRow("firmware") << true << "upgrade" << 0 << SimDevice::None << "--json firmware DIR/image.bin" << 0;
    QTest::newRow("logo") << true << "plain" << 0 << SimDevice::None << "logo DIR/logo.txt" << 0;
    QTest::newRow("handshake never answered") << true << "plain" << 1 << SimDevice::Stall << write << 6;
    QTest::newRow("a read never answered") << true << "plain" << 4 << SimDevice::Stall << write << 6;
    QTest::newRow("the write never answered") << true << "plain" << 8 << SimDevice::Stall << write << 6;
    QTest::newRow("the write refused") << true << "plain" << 8 << SimDevice::Status << write << 5;
}

void TestRealHidCli::asOnTheSimulatedBus()
{
    QFETCH(bool, plugged);
    QFETCH(QString, heater);
    QFETCH(int, nth);
    QFETCH(SimDevice::Fault, fault);
    QFETCH(QString, command);
    QFETCH(int, code);
    command = "--trace " + command.replace("DIR", dir.path());
    HeaterScript script;
    Run expected;
    QByteArray exported;
    {
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        for (SimDevice *each : {device.get(), &script.heater()}) {
            each->setUpgradeState(heater == "upgrade");
            if (heater == "configured")
                configure(*each);
            if (fault != SimDevice::None)
                each->inject(nth, fault, 3);
        }
        if (plugged)
            bus.attach("/dev/hidraw1", device);
        expected = simulated(command);
        for (const QByteArray &report : device->reports())
            script.expect(report);
        exported = takeExported();
    }
    QCOMPARE(expected.code, code);
    QVERIFY(!expected.said().isEmpty());
    const QList<HidrawNode> nodes = plugged ? Others + QList<HidrawNode>{{1}} : Others;
    const Run run = umockdevRun(nodes, script, QStringList{KORVANE_CLI} + command.split(' '));
    QVERIFY2(run.code == code, qPrintable(run.err));
    QCOMPARE(run.out, expected.out);
    QCOMPARE(run.said(), expected.said());
    QCOMPARE(takeExported(), exported);
}

void TestRealHidCli::secondProgramOnTheHeater_data()
{
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<int>("code");
    QTest::newRow("gives up, busy") << 100 << 7;
    QTest::newRow("waits its turn") << 30000 << 0;
}

// Two programs on one node: a status asked for while a firmware transfer holds
// the heater either gives up, naming the holder, or runs once the transfer is
// over; it never sends a report in the middle of the transfer.
void TestRealHidCli::secondProgramOnTheHeater()
{
    QFETCH(int, waitMs);
    QFETCH(int, code);
    // Slow enough answers that the second program starts well inside the transfer.
    HeaterScript script(40);
    {
        SimBus bus;
        auto device = std::make_shared<SimDevice>();
        device->setUpgradeState(true);
        script.heater().setUpgradeState(true);
        bus.attach("/dev/hidraw1", device);
        QCOMPARE(simulated("firmware " + dir.filePath("image.bin")).code, 0);
        QCOMPARE(simulated("status").code, 0);
        for (const QByteArray &report : device->reports().mid(0, device->reportCount() - (code ? 1 : 0)))
            script.expect(report);
    }
    // The second starts once the first has recorded itself in the lock file.
    const QString twoPrograms = R"sh(
        "$KORVANE_CLI" firmware "$1" > first.out 2> /dev/null &
        first=$!
        tries=0
        until [ -s "$XDG_RUNTIME_DIR"/korvane/*.lock ] || [ $tries -gt 1000 ]; do tries=$((tries + 1)); sleep 0.01; done
        KORVANE_LOCK_WAIT_MS=$2 "$KORVANE_CLI" status
        second=$?
        wait $first
        echo "first $? $(cat first.out) pid $first"
        exit $second)sh";
    const Run run = umockdevRun(Others + QList<HidrawNode>{{1}}, script,
                                {"sh", "-c", twoPrograms, "sh", dir.filePath("image.bin"), QString::number(waitMs)});
    QVERIFY2(run.code == code, qPrintable(run.err + run.out));
    const QString first = run.out.split('\n').filter("first ").value(0);
    QVERIFY2(first.startsWith("first 0 Firmware sent: 2500 bytes"), qPrintable(run.out));
    QCOMPARE(code ? run.err : run.out.section('\n', 0, 0) + '\n',
             code ? "the heater is busy: korvane-cli, pid " + first.section(' ', -1) + '\n' : "upgrade state\n");
}

QTEST_MAIN(TestRealHidCli)
#include "tst_realhid_cli.moc"
