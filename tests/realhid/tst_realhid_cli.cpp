#include "tests/cli/clibench.h"
#include "tests/realhid/heaterscript.h"
#include "tests/support/writefile.h"

#include <QStandardPaths>
#include <QtTest>

namespace {

// The reports traced and the messages, without the diagnostics and the progress bar.
QStringList said(const CliRun &run)
{
    return run.err.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^(?! (Warn|Info|Error) ---|\\[)"));
}

QByteArray take(const QString &path) // the file's content; the file is gone after
{
    QFile file(path);
    const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.remove();
    return content;
}

// korvane-cli among another vendor's node and the heater's vendor's other
// product, with the heater playing the script when it is plugged.
CliRun umockdevRun(bool plugged, const HeaterScript &script, const QStringList &arguments)
{
    QTemporaryDir dir;
    const HidrawNode heater{1};
    QList<HidrawNode> nodes{{0, 0x046d, 0xc31c}, {2, HidInterface::HeaterVendorId, 0x5751}};
    QStringList options{"-d", dir.filePath("nodes")};
    if (plugged) {
        nodes << heater;
        options << "-i" << heater.devicePath() + '=' + dir.filePath("ioctl") << "-s"
                << heater.devicePath() + '=' + dir.filePath("script");
    }
    QByteArray description;
    for (const HidrawNode &node : nodes)
        description += node.description();
    if (writeFile(dir.filePath("nodes"), description).isEmpty() ||
        writeFile(dir.filePath("ioctl"), heater.ioctlRecord()).isEmpty() ||
        writeFile(dir.filePath("script"), script.text()).isEmpty())
        return {};
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("KORVANE_DEVICE");
    environment.insert("XDG_RUNTIME_DIR", dir.path());
    program.setProcessEnvironment(environment);
    return runProcess(program, "umockdev-run", options + QStringList{"--", KORVANE_CLI} + arguments);
}

} // namespace

Q_DECLARE_METATYPE(SimDevice::Fault)

// korvane-cli over hidapi's hidraw backend does to the byte what it does on
// the simulated bus: the same reports, answers and exit.
class TestRealHidCli : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("umockdev-run").isEmpty())
            QSKIP("umockdev-run is not installed (Debian package umockdev): no emulated hidraw node to test on");
        // Every byte the script has to escape, and bytes past 127, all through the image.
        QVERIFY(!writeFile(dir.filePath("image.bin"),
                           QByteArray("\x00\x01^\n\r\x1f \x7f\x80\xfe\xff firmware", 20).repeated(125))
                     .isEmpty());
        QVERIFY(!writeFile(dir.filePath("logo.txt"),
                           QByteArray("{0x01,0x02,0x5e,0x0a,0x00,0x20,0x80,0xff,0x0d,0x1f,0x7f,0x10,0x11,0x12,0x13,0x14},\n")
                               .repeated(5))
                     .isEmpty());
        Bench bench(true, Configured);
        QCOMPARE(cli("export " + dir.filePath("profile.json")).code, 0);
    }

    void asOnTheSimulatedBus_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<QString>("heater"); // upgrade, configured or plain
        QTest::addColumn<int>("nth");        // the report that meets the fault
        QTest::addColumn<SimDevice::Fault>("fault");
        QTest::addColumn<QString>("command"); // DIR: a folder of this run's
        QTest::addColumn<int>("code");
        const QString write = "--timeout 300 write screen-timeout=10";
        const SimDevice::Fault none = SimDevice::None;
        QTest::newRow("found among other devices") << true << "plain" << 0 << none << "status" << 0;
        QTest::newRow("only other devices") << false << "plain" << 0 << none << "status" << 3;
        QTest::newRow("read") << true << "configured" << 0 << none << "--json read" << 0;
        QTest::newRow("write") << true << "plain" << 0 << none
                               << "--json write power=30.3 tcr.M1=0.0001 screen-timeout=10 tcr.M3=6" << 0;
        QTest::newRow("export") << true << "configured" << 0 << none << "export DIR/exported.json" << 0;
        QTest::newRow("import") << true << "plain" << 0 << none << "import DIR/profile.json" << 0;
        QTest::newRow("firmware") << true << "upgrade" << 0 << none << "--json firmware DIR/image.bin" << 0;
        QTest::newRow("logo") << true << "plain" << 0 << none << "logo DIR/logo.txt" << 0;
        QTest::newRow("handshake never answered") << true << "plain" << 1 << SimDevice::Stall << write << 6;
        QTest::newRow("the write never answered") << true << "plain" << 8 << SimDevice::Stall << write << 6;
        QTest::newRow("the write refused") << true << "plain" << 8 << SimDevice::Status << write << 5;
    }
    void asOnTheSimulatedBus()
    {
        QFETCH(bool, plugged);
        QFETCH(QString, heater);
        QFETCH(int, nth);
        QFETCH(SimDevice::Fault, fault);
        QFETCH(QString, command);
        QFETCH(int, code);
        command = "--trace " + command.replace("DIR", dir.path());
        HeaterScript script;
        CliRun expected;
        QByteArray exported;
        {
            Bench bench(plugged);
            for (SimDevice *each : {bench.device.get(), &script.heater()}) {
                each->setUpgradeState(heater == "upgrade");
                Bench::configure(*each, heater == "configured" ? Configured : QString());
                if (fault != SimDevice::None)
                    each->inject(nth, fault, 3);
            }
            expected = cli(command);
            for (const QByteArray &report : bench.device->reports())
                script.expect(report);
            exported = take(dir.filePath("exported.json"));
        }
        QCOMPARE(expected.code, code);
        QVERIFY(!said(expected).isEmpty());
        const CliRun run = umockdevRun(plugged, script, command.split(' '));
        QVERIFY2(run.code == code, qPrintable(run.err));
        QCOMPARE(run.out, expected.out);
        QCOMPARE(said(run), said(expected));
        QCOMPARE(take(dir.filePath("exported.json")), exported);
    }
};

QTEST_MAIN(TestRealHidCli)
#include "tst_realhid_cli.moc"
