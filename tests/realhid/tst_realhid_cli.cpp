#include "cli/cli.h"
#include "sim/simbus.h"
#include "tests/realhid/heaterscript.h"
#include "tests/realhid/hidrawnode.h"
#include "tests/support/logcapture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

// korvane-cli over the code every user runs: hidapi's hidraw backend, on
// hidraw nodes that umockdev emulates next to other vendors' nodes.
class TestRealHidCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void status_data();
    void status();
    void readShowsEverySetting();
    void writeSendsTheProtocolsBytes();
    void exportThenImportOnAnotherHeater();
    void firmwareImageWhole();
    void logo();
    void stalledAndRefusedAnswers_data();
    void stalledAndRefusedAnswers();
    void secondProgramOnTheHeater_data();
    void secondProgramOnTheHeater();
};

namespace {

constexpr int WaitMs = 60000;

const QList<HidrawNode> others = {HidrawNode::keyboard(0), HidrawNode::otherProduct(2)};
const QList<HidrawNode> heaterAmongOthers = {HidrawNode::keyboard(0), HidrawNode::heater(1),
                                             HidrawNode::otherProduct(2)};

struct Run
{
    int code = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    // Reports the program wrote, from its trace.
    int written() const { return err.count(QRegularExpression("^> ", QRegularExpression::MultilineOption)); }
    // umockdev ends the program at the first report that differs from the script, and says which.
    QString why() const
    {
        const QStringList lines = err.split('\n');
        return QString("exit %1\n%2\n...\n%3")
            .arg(code)
            .arg(lines.filter("ERROR").join('\n').left(1000), lines.mid(lines.size() - 4).join('\n'));
    }
};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

// A command in the sysfs and /dev that umockdev makes of the nodes, where the
// heater's node, when there is one, plays the script. The programs find no
// --device and no KORVANE_DEVICE, and lock the heater in a folder of this run's own.
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
        options << "-i" << node.devicePath() + '=' + name + ".ioctl"
                << "-s" << node.devicePath() + '=' + name + ".script";
    }
    writeFile(dir.filePath("nodes.umockdev"), description);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("KORVANE_DEVICE");
    environment.insert("XDG_RUNTIME_DIR", dir.path());
    environment.insert("KORVANE_CLI", KORVANE_CLI);
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.start("umockdev-run", options + QStringList{"--"} + command);
    if (!program.waitForFinished(WaitMs)) {
        program.kill();
        program.waitForFinished(WaitMs);
        run.err = "did not end within the bound\n";
    }
    run.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err += QString::fromUtf8(program.readAllStandardError());
    return run;
}

// korvane-cli as a user runs it, tracing every report.
Run cliOn(const QList<HidrawNode> &nodes, const HeaterScript &script, const QString &arguments)
{
    return umockdevRun(nodes, script, QStringList{KORVANE_CLI, "--trace"} + arguments.split(' '));
}

// What every settings command sends first: the handshake and one read of each setting.
QList<QByteArray> settingsRead()
{
    QList<QByteArray> reports{HeaterScript::handshake()};
    for (int code : {0x86, 0x82, 0x81, 0x83, 0x84, 0x85})
        reports << HeaterScript::readRequest(code);
    return reports;
}

// The default TFR table with M2's factor at 100 degrees 0.5.
QByteArray tfrTable()
{
    return SimDevice().setting(5).replace(10, 2, QByteArray::fromHex("1388"));
}

// A heater whose every setting differs from the simulated heater's defaults:
// temperature mode in Fahrenheit, 25 s screen timeout, TFR-M5.
void configure(SimDevice &heater)
{
    heater.setSetting(1, QByteArray::fromHex("00c80131270f"));
    heater.setSetting(2, QByteArray::fromHex("09c4"));
    heater.setSetting(3, QByteArray::fromHex("01f4018800148ef6fd00"));
    heater.setSetting(4, QByteArray::fromHex("00013039ea6000000027"));
    heater.setSetting(5, tfrTable());
    heater.setSetting(6, QByteArray::fromHex("02"));
}

// Every byte the script has to escape, and bytes past 127, all through the image.
const QByteArray image = QByteArray("\x00\x01^\n\r\x1f \x7f\x80\xfe\xff firmware", 20).repeated(125);

} // namespace

void TestRealHidCli::initTestCase()
{
    if (QStandardPaths::findExecutable("umockdev-run").isEmpty())
        QSKIP("umockdev-run is not installed (Debian package umockdev): no emulated hidraw node to test on");
}

void TestRealHidCli::status_data()
{
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<bool>("upgrading");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("why");

    QTest::newRow("found among other devices") << true << false << 0 << "connected"
                                               << "";
    QTest::newRow("upgrade state") << true << true << 0 << "upgrade state"
                                   << "";
    QTest::newRow("only other devices") << false << false << 3 << "not found"
                                        << "no heater found (USB 0483:5750)";
}

void TestRealHidCli::status()
{
    QFETCH(bool, plugged);
    QFETCH(bool, upgrading);
    QFETCH(int, code);
    QFETCH(QString, status);
    QFETCH(QString, why);
    HeaterScript script;
    script.heater().setUpgradeState(upgrading);
    if (plugged)
        script.expect(HeaterScript::handshake());

    const Run run = cliOn(plugged ? heaterAmongOthers : others, script, "--json status");
    QVERIFY2(run.code == code, qPrintable(run.why()));
    QCOMPARE(run.json()["status"].toString(), status);
    QCOMPARE(run.written(), script.expected());
    QVERIFY2(run.err.contains(why), qPrintable(run.err));
}

// Every setting as the simulated path shows it from the same heater.
void TestRealHidCli::readShowsEverySetting()
{
    HeaterScript script;
    configure(script.heater());
    script.expect(settingsRead());
    const Run run = cliOn(heaterAmongOthers, script, "--json read");
    QVERIFY2(run.code == 0, qPrintable(run.why()));
    QCOMPARE(run.written(), script.expected());

    SimBus bus;
    auto twin = std::make_shared<SimDevice>();
    configure(*twin);
    bus.attach("/dev/hidraw-sim0", twin);
    QString simulated;
    QString ignored;
    QTextStream out(&simulated);
    QTextStream err(&ignored);
    {
        LogCapture quiet;
        QCOMPARE(Cli::run({"--json", "read"}, out, err), 0);
    }
    out.flush();
    QCOMPARE(run.json().size(), 39);
    QCOMPARE(run.json(), QJsonDocument::fromJson(simulated.toUtf8()).object());
    QCOMPARE(run.json()["temperature"].toDouble(), 392.0);
    QCOMPARE(run.json()["atomizer"].toString(), QString("TFR-M5"));
}

void TestRealHidCli::writeSendsTheProtocolsBytes()
{
    HeaterScript script;
    script.expect(settingsRead());
    script.expect(HeaterScript::write(2, QByteArray::fromHex("03e8")));
    script.expect(HeaterScript::write(1, QByteArray::fromHex("012f00fa03e8")));
    script.expect(HeaterScript::write(4, QByteArray::fromHex("0001003cea60003c003c")));

    const Run run = cliOn(heaterAmongOthers, script, "--json write power=30.3 tcr.M1=0.0001 screen-timeout=10 tcr.M3=6");
    QVERIFY2(run.code == 0, qPrintable(run.why()));
    QCOMPARE(run.written(), script.expected());
    QCOMPARE(run.json()["commands"].toArray(), QJsonArray({2, 1, 4}));
}

// A profile taken from one heater writes exactly that heater's settings into another.
void TestRealHidCli::exportThenImportOnAnotherHeater()
{
    QTemporaryDir dir;
    const QString profile = dir.filePath("heater.json");
    HeaterScript source;
    configure(source.heater());
    source.expect(settingsRead());
    const Run exported = cliOn(heaterAmongOthers, source, "export " + profile);
    QVERIFY2(exported.code == 0, qPrintable(exported.why()));

    HeaterScript target;
    target.expect(settingsRead());
    target.expect(HeaterScript::write(6, QByteArray::fromHex("02")));
    target.expect(HeaterScript::write(2, QByteArray::fromHex("09c4")));
    // The preheat power travels with the power-mode settings, which keep this heater's power and time.
    target.expect(HeaterScript::write(1, QByteArray::fromHex("00c8013103e8")));
    target.expect(HeaterScript::write(3, QByteArray::fromHex("01f4018800148ef6")));
    target.expect(HeaterScript::write(4, QByteArray::fromHex("00013039ea6000000027")));
    target.expect(HeaterScript::write(5, tfrTable()));
    const Run imported = cliOn(heaterAmongOthers, target, "import " + profile);
    QVERIFY2(imported.code == 0, qPrintable(imported.why()));
    QCOMPARE(imported.written(), target.expected());
    QCOMPARE(imported.out, QString("Save success\n"));
}

// The script is the whole transfer as the protocol frames the image: the
// start report, every data report of its three pages and the end report.
void TestRealHidCli::firmwareImageWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("heater.bin");
    writeFile(path, image);
    HeaterScript script;
    script.heater().setUpgradeState(true);
    script.expect(HeaterScript::handshake());
    const QList<QByteArray> transfer = HeaterScript::firmware(image);
    QCOMPARE(transfer.size(), 46); // start, 18 + 18 + 8 data reports, end
    script.expect(transfer);
    QVERIFY(script.heater().firmwareComplete());

    const Run run = cliOn(heaterAmongOthers, script, "--json firmware " + path);
    QVERIFY2(run.code == 0, qPrintable(run.why()));
    QCOMPARE(run.written(), script.expected());
    QCOMPARE(run.json()["bytes"].toInt(), image.size());
}

void TestRealHidCli::logo()
{
    QTemporaryDir dir;
    const QByteArray group = "{0x01,0x02,0x5e,0x0a,0x00,0x20,0x80,0xff,0x0d,0x1f,0x7f,0x10,0x11,0x12,0x13,0x14},\n";
    const QString path = dir.filePath("logo.txt");
    writeFile(path, group.repeated(5));
    HeaterScript script;
    script.expect(HeaterScript::handshake());
    script.expect(HeaterScript::logo(group.repeated(5)));
    QVERIFY(script.heater().logoComplete());

    const Run run = cliOn(heaterAmongOthers, script, "logo " + path);
    QVERIFY2(run.code == 0, qPrintable(run.why()));
    QCOMPARE(run.written(), script.expected());
    QCOMPARE(run.out, QString("Send  file %1 success\n").arg(path));
}

void TestRealHidCli::stalledAndRefusedAnswers_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("handshake never answered") << 1 << 6 << "the heater did not answer the handshake";
    QTest::newRow("a read never answered") << 4 << 6 << "the heater stopped answering while its settings were read";
    QTest::newRow("the write never answered") << 8 << 6 << "no answer from the heater to the screen timeout";
    QTest::newRow("the write refused") << -8 << 5 << "the heater refused the screen timeout (status 3)";
}

// The script ends with the report the heater leaves unanswered.
void TestRealHidCli::stalledAndRefusedAnswers()
{
    QFETCH(int, fault);
    QFETCH(int, code);
    QFETCH(QString, message);
    HeaterScript script;
    script.heater().inject(qAbs(fault), fault > 0 ? SimDevice::Stall : SimDevice::Status, 3);
    const QList<QByteArray> dialogue = settingsRead() << HeaterScript::write(2, QByteArray::fromHex("03e8"));
    script.expect(dialogue.mid(0, qAbs(fault)));

    const Run run = cliOn(heaterAmongOthers, script, "--timeout 300 write screen-timeout=10");
    QVERIFY2(run.code == code, qPrintable(run.why()));
    QCOMPARE(run.written(), script.expected());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void TestRealHidCli::secondProgramOnTheHeater_data()
{
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    QTest::newRow("gives up, busy") << 100 << 7 << "the heater is busy: korvane-cli, pid ";
    QTest::newRow("waits its turn") << 30000 << 0 << "upgrade state\n";
}

// Two programs on one node: a status asked for while a firmware transfer holds
// the heater either gives up, naming the holder, or runs once the transfer is
// over; it never sends a report in the middle of the transfer.
void TestRealHidCli::secondProgramOnTheHeater()
{
    QFETCH(int, waitMs);
    QFETCH(int, code);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = dir.filePath("heater.bin");
    writeFile(path, image);
    // Slow enough answers that the second program starts well inside the transfer.
    HeaterScript script(40);
    script.heater().setUpgradeState(true);
    script.expect(HeaterScript::handshake());
    script.expect(HeaterScript::firmware(image));
    if (code == 0)
        script.expect(HeaterScript::handshake());
    // The second starts once the first has recorded itself in the lock file.
    const QString twoPrograms = R"sh(
        "$KORVANE_CLI" firmware "$1" > first.out 2> first.err &
        first=$!
        tries=0
        until [ -s "$XDG_RUNTIME_DIR"/korvane/*.lock ] || [ $tries -gt 1000 ]; do tries=$((tries + 1)); sleep 0.01; done
        KORVANE_LOCK_WAIT_MS=$2 "$KORVANE_CLI" status
        second=$?
        wait $first
        echo "first $? $(cat first.out first.err)"
        echo "pid $first"
        exit $second)sh";

    const Run run = umockdevRun(heaterAmongOthers, script, {"sh", "-c", twoPrograms, "sh", path, QString::number(waitMs)});
    QVERIFY2(run.code == code, qPrintable(run.why() + run.out));
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.filter("first ").value(0).startsWith("first 0 Firmware sent: 2500 bytes"), qPrintable(run.out));
    const QString firstPid = lines.filter("pid ").value(0).section(' ', 1);
    QCOMPARE(code == 0 ? run.out.section('\n', 0, 0) + '\n' : run.err, code == 0 ? says : says + firstPid + '\n');
}

QTEST_MAIN(TestRealHidCli)
#include "tst_realhid_cli.moc"
