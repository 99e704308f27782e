#include "link/hidbackend.h"
#include "tests/cli/clibench.h"

#include <QtTest>
#include <sys/stat.h>

namespace {

const QByteArray Logo =
    QByteArray("{0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,0x10}\n").repeated(2);
const QByteArray Image = QByteArray::fromHex("00112233445566778899aabbccddeeff").repeated(300);

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void writeSendsTheCountsAndReadsBack_data()
    {
        QTest::addColumn<QString>("assignments");
        QTest::addColumn<QString>("changed"); // code:payload of every setting that changes
        QTest::newRow("power") << "power=30.3"
                               << "1:012f00fa03e8";
        QTest::newRow("preheat time") << "preheat-time=9.999"
                                      << "1:00c800fa270f";
        QTest::newRow("preheat power") << "preheat-power=300"
                                       << "1:00c80bb803e8";
        QTest::newRow("screen timeout") << "screen-timeout=10"
                                        << "2:03e8";
        QTest::newRow("work mode alone") << "mode=temp"
                                         << "6:02";
        QTest::newRow("power of the mode given") << "mode=temp power=50 preheat-time=0.02"
                                                 << "6:02 3:01f400c8001400000000";
        QTest::newRow("unit turns the temperature") << "unit=F"
                                                    << "3:012c018801f480000000";
        QTest::newRow("compensation in its unit") << "compensation=-35"
                                                  << "3:012c00c801f40000dd00";
        QTest::newRow("atomizer") << "atomizer=TFR-M5"
                                  << "3:012c00c801f40e000000";
        QTest::newRow("atomizer in any case") << "atomizer=ss317"
                                              << "3:012c00c801f404000000";
        QTest::newRow("atomizer with no name") << "atomizer=20"
                                               << "3:012c00c801f414000000";
        QTest::newRow("last atomizer index") << "atomizer=127"
                                             << "3:012c00c801f47f000000";
        QTest::newRow("tcr") << "tcr.M1=0.0001 tcr.M3=6"
                             << "4:0001003cea60003c003c";
        QTest::newRow("tfr") << "tfr.M2.100=1.2345"
                             << "5:" + QString(tfrDefaultsWith(5, "3039").toHex());
    }
    void writeSendsTheCountsAndReadsBack()
    {
        QFETCH(QString, assignments);
        QFETCH(QString, changed);
        Bench bench;
        QList<QByteArray> expected = bench.settings();
        for (const QString &entry : changed.split(' '))
            expected[entry.section(':', 0, 0).toInt() - 1] = QByteArray::fromHex(entry.section(':', 1).toLatin1());
        const CliRun written = cli("--json write " + assignments);
        QCOMPARE(written.code, 0);
        QCOMPARE(written.json()["result"].toString(), QString("saved"));
        QCOMPARE(bench.settings(), expected);
        const QJsonObject read = cli("--json read").json();
        for (const QString &assignment : assignments.split(' ')) {
            const QJsonValue value = read[assignment.section('=', 0, 0)];
            const QString given = assignment.section('=', 1);
            QCOMPARE(value.isString() ? value.toString().toUpper() : QString::number(value.toDouble()),
                     value.isString() ? given.toUpper() : QString::number(given.toDouble()));
        }
    }

    void aCommandOnTheHeater_data()
    {
        QTest::addColumn<QString>("heater");  // none, unopenable, upgrade, second, faults as nth:kind:value
        QTest::addColumn<QString>("line");    // FILE: what the file column makes
        QTest::addColumn<QByteArray>("file"); // its content, or =zero, =fifo, =directory, =link, =sparse:N
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err"); // a part of stderr
        QTest::addColumn<QString>("out"); // a part of stdout, which is empty when this is
        QTest::addColumn<bool>("sends");  // a failure that strikes what is being sent
        auto row = [](const char *tag, const QString &heater, const QString &line, const QByteArray &file, int code,
                      const QString &err, const QString &out = {}, bool sends = false) {
            QTest::newRow(tag) << heater << line << file << code << err << out << sends;
        };
        const QString zeros = QString("00 ").repeated(62).chopped(1);
        row("connected", "", "--json status", {}, 0, "", "\"status\": \"connected\"");
        row("upgrade state", "upgrade", "--json status", {}, 0, "", "\"status\": \"upgrade state\"");
        row("none", "none", "--json status", {}, 3, "{\"error\":\"no heater found (USB 0483:5750): check the cable",
            "not found");
        row("no virtual heater", "none", "--device unix:/run/none/devsim.sock status", {}, 3,
            "no virtual heater at /run/none/devsim.sock: is korvane-devsim running?", "not found");
        // A second heater, in its upgrade state, at /dev/hidraw1.
        row("two, none picked", "second", "status", {}, 0,
            "korvane-cli: 2 heaters found; taking hidraw:/dev/hidraw0 (pick another with --device", "connected");
        row("two, second picked", "second", "--device hidraw:/dev/hidraw1 status", {}, 0, "", "upgrade state");
        row("picked, not there", "", "--device serial:0042 status", {}, 3, "no heater serial:0042 found", "not found");
        row("no rights", "unopenable", "status", {}, 4, "70-korvane.rules", "permission denied");
        row("silent", "1:stall", "status", {}, 6, "did not answer the handshake", "no answer");
        row("trace", "", "--trace status", {}, 0, "> 72 00 " + zeros + "\n< 72 01 " + zeros + "\n", "connected");
        // Whatever stops an answer, nothing is shown, saved, or sent that no answer carried.
        const QString tcr = "the heater's answer to the request for the TCR table was garbled or for another request";
        const QString power = "the heater's answer to the request for the power-mode settings was garbled";
        const QString stopped = "the heater stopped answering while its settings were read";
        const QString writeTcr = "write preheat-power=20 tcr.M1=0.5";
        row("read, foreign answer", "6:foreign:130", "read", {}, 6, tcr);
        row("export, foreign answer", "6:foreign:130", "export FILE", {}, 6, tcr);
        row("write, short answer", "4:short:2", writeTcr, {}, 6, power);
        row("export, short answer", "4:short:2", "export FILE", {}, 6, power);
        row("read, status 3", "6:status:3", "read", {}, 5, "the heater refused the request for the TCR table\n");
        row("write, status 3", "6:status:3", writeTcr, {}, 5, "the heater refused the request for the TCR table\n");
        row("export, silence", "7:stall", "export FILE", {}, 6, stopped);
        row("write, silence", "7:stall", writeTcr, {}, 6, stopped);
        // The screen timeout goes before the power-mode settings, which meet the fault.
        const QString write = "write power=30 screen-timeout=20";
        row("write refused", "9:status:3", write, {}, 5, "the heater refused the power-mode settings (status 3)\n", {},
            true);
        row("write unanswered", "9:stall", write, {}, 6, "no answer from the heater to the power-mode settings\n", {},
            true);
        row("write answer without status", "9:short:1", write, {}, 6,
            "the heater's answer to the power-mode settings was garbled or for another request\n", {}, true);
        const QString upgrading = "the heater is in its upgrade state: it takes nothing but firmware now\n";
        row("read while upgrading", "upgrade", "read", {}, 5, upgrading);
        row("logo while upgrading", "upgrade", "logo FILE", Logo, 5, upgrading);
        // Transfers, the third report meeting the fault.
        row("firmware", "upgrade", "firmware FILE", Image, 0, "100%  4.7 KiB of 4.7 KiB",
            "Firmware sent: 4800 bytes, sha256 " + sha256(Image));
        row("firmware, not upgrading", "", "firmware FILE", Image, 5, "not in its upgrade state");
        row("firmware refused", "upgrade 3:status:3", "firmware FILE", Image, 5, "Update failed! The heater refused",
            {}, true);
        row("firmware unanswered", "upgrade 3:stall", "firmware FILE", Image, 6, "Update failed! The heater stopped",
            {}, true);
        row("firmware of nothing", "upgrade", "firmware FILE", "", 2, "is zero");
        row("logo", "", "logo FILE", Logo, 0, "", "success");
        row("logo refused", "3:status:3", "logo FILE", Logo, 5, "failed: the heater refused 1 of its reports", {},
            true);
        row("logo unanswered", "3:stall", "logo FILE", Logo, 6, "failed: the heater stopped answering", {}, true);
        row("logo of nothing", "", "logo FILE", "", 2, "The size for file FILE is zero");
        // Files that are not what they should be: refused before the heater, and left as they were.
        row("firmware from /dev/zero", "", "firmware FILE", "=zero", 2,
            "cannot read FILE: it is a character device, not a regular file");
        row("logo from a FIFO", "", "logo FILE", "=fifo", 2, "cannot read FILE: it is a FIFO, not a regular file");
        row("firmware from a directory", "", "firmware FILE", "=directory", 2,
            "cannot read FILE: it is a directory, not a regular file");
        row("firmware over 2 GiB", "", "firmware FILE", "=sparse:3221225472", 2,
            "cannot read FILE: 3221225472 bytes, over the limit of 536870880 bytes");
        row("profile over 1 MiB", "", "import FILE", "=sparse:1048577", 2,
            "cannot read FILE: 1048577 bytes, over the limit of 1048576 bytes");
        const QString noLogo = "FILE holds no logo: not one {0x..,0x..,...} group of values";
        row("logo without groups", "", "logo FILE", "no logo in here\n", 2, noLogo);
        // Braces, but not one value converts: every group would be 16 zeros.
        row("logo of garbage", "", "logo FILE", QByteArray("\x7f{\xff{ 0x01,0x02}{0x}{{0xg\0{", 24), 2, noLogo);
        row("profile not json", "", "import FILE", "power=20", 2, "not JSON");
        row("profile not an object", "", "import FILE", "[20]", 2, "not a profile");
        row("profile value", "", "import FILE", R"({"power": true})", 2, "power: expected a number or a text");
        row("profile member", "", "import FILE", R"({"colour": "red"})", 2, "unknown setting colour");
        row("profile missing", "", "import FILE", {}, 2, "cannot read FILE");
        row("export to a FIFO", "", "export FILE", "=fifo", 2, "cannot write FILE: it is a FIFO, not a regular file");
        row("export to a directory", "", "export FILE", "=directory", 2,
            "cannot write FILE: it is a directory, not a regular file");
        row("export through a link", "", "export FILE", "=link", 2,
            "cannot write FILE: it is a symbolic link; name the file itself");
        row("preheat time, temp mode", "", "write mode=temp preheat-time=0.01", {}, 2,
            "Error    Preheat Time in [0.02, 9.999] s\n");
        row("temperature F", "", "write unit=F temperature=573", {}, 2, "Error    Temperature in [200, 572] ℉\n");
        row("first failure only", "", "write power=5 screen-timeout=61", {}, 2,
            "Error    Screen timeout in [10,60] s\n");
        row("not a number", "", "write power=abc", {}, 2, "power: \"abc\" is not a number");
        // Text that does not convert counts as 0, which this range would let through.
        row("zero would pass", "", "write compensation=abc", {}, 2, "compensation: \"abc\" is not a whole number");
        row("fraction", "", "write screen-timeout=30.5", {}, 2, "screen-timeout: \"30.5\" is not a whole number");
        row("mode", "", "write mode=eco", {}, 2, "mode: \"eco\" is not one of power, temp");
        row("unit", "", "--json write unit=K", {}, 2, "{\"error\":\"unit: \\\"K\\\" is not one of C, F\"}\n");
        // Bit 7 of the atomizer byte is the unit.
        row("atomizer index into the unit", "", "write atomizer=128", {}, 2,
            "atomizer: \"128\" is not one of NI200, TI1, SS304, SS316, SS317, TCR-M1, TCR-M2, TCR-M3, TCR-M4, "
            "TCR-M5, TFR-M1, TFR-M2, TFR-M3, TFR-M4, TFR-M5 or an index 15..127\n");
        row("named atomizer by index", "", "write atomizer=3", {}, 2, "atomizer: \"3\" is not one of NI200");
        row("unknown key", "", "write colour=red", {}, 2, "unknown setting colour;");
        row("no value", "", "write power", {}, 2, "power: expected KEY=VALUE");
        row("nothing", "", "", {}, 2, "korvane-cli: no command given");
        row("unknown", "", "--json frobnicate", {}, 2, "{\"error\":\"unknown command frobnicate\"}\n");
        row("extra operand", "", "read now", {}, 2, "korvane-cli: usage: korvane-cli [options] read");
        row("option after the command", "", "status --json", {}, 2, "korvane-cli: usage: korvane-cli [options] status");
        row("write without values", "", "write", {}, 2, "korvane-cli: usage: korvane-cli [options] write KEY=VALUE...");
        row("device of no known form", "", "--device /dev/hidraw0 status", {}, 2,
            "korvane-cli: --device takes hidraw:PATH");
        row("timeout", "", "--timeout 0 status", {}, 2,
            "korvane-cli: --timeout takes a number of milliseconds above 0");
        row("unknown option", "", "--bogus status", {}, 2, "korvane-cli: unknown option --bogus");
        row("help", "", "--help", {}, 0, "", "usage: korvane-cli");
        row("read as a table", "", "read", {}, 0, "",
            "mode            power\nscreen-timeout  30 s\npower           20 W\npreheat-time    1 s\n");
        row("version", "", "--version", {}, 0, "", "korvane-cli " KORVANE_VERSION "\n");
    }
    void aCommandOnTheHeater()
    {
        QFETCH(QString, heater);
        QFETCH(QString, line);
        QFETCH(QByteArray, file);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(QString, out);
        QFETCH(bool, sends);
        Bench bench(!heater.contains(QRegularExpression("none|unopenable")));
        if (heater == "unopenable")
            bench.bus.attachUnopenable("/dev/hidraw0", HidOpenFailure::PermissionDenied);
        bench.device->setUpgradeState(heater.contains("upgrade"));
        const auto second = std::make_shared<SimDevice>();
        second->setUpgradeState(true);
        if (heater == "second")
            bench.bus.attach("/dev/hidraw1", second);
        const QStringList faults{"none", "status", "drop", "stall", "short", "late", "foreign"};
        for (const QString &fault : heater.split(' ').filter(":"))
            bench.device->inject(fault.section(':', 0, 0).toInt(),
                                 SimDevice::Fault(faults.indexOf(fault.section(':', 1, 1))),
                                 fault.section(':', 2).toInt());
        QTemporaryDir dir;
        QString path = dir.filePath("file");
        const QString kept = writeFile(dir.filePath("kept"), "kept");
        if (file == "=zero")
            path = "/dev/zero";
        else if (file == "=fifo")
            QCOMPARE(mkfifo(qPrintable(path), 0600), 0);
        else if (file == "=directory")
            path = dir.path();
        else if (file == "=link")
            QVERIFY(QFile::link(kept, path));
        else if (file.startsWith("=sparse:"))
            QVERIFY(QFile(writeFile(dir.filePath("file"), "")).resize(file.mid(8).toLongLong()));
        else if (!line.contains("export") && !file.isNull())
            writeFile(dir.filePath("file"), file);
        struct stat before = {};
        const bool existed = lstat(qPrintable(path), &before) == 0;

        const CliRun run = cli(line.replace("FILE", path));
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(err.replace("FILE", path)), qPrintable(run.err));
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : run.out.contains(out), qPrintable(run.out));
        const QByteArray arrived = bench.device->firmwareComplete() ? bench.device->firmware()
                                   : bench.device->logoComplete()   ? bench.device->logo()
                                                                    : QByteArray();
        const QByteArray logo = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10").repeated(2);
        QCOMPARE(arrived, code                        ? QByteArray()
                          : line.contains("firmware") ? Image
                          : line.contains("logo")     ? logo
                                                      : QByteArray());
        if (code == 0)
            return;
        QCOMPARE(bench.nothingWritten(), !sends);
        struct stat after = {};
        QCOMPARE(lstat(qPrintable(path), &after) == 0, existed);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(QFileInfo(kept).size(), 4);
    }

    void exportThenImportGivesIdenticalPayloads_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QJsonObject>("shown"); // a part of what read shows
        QTest::newRow("power mode, Celsius")
            << "1:012c00fa05dc 2:1770 3:00fa00dc02580300f900 4:0027003c1388000a0001 6:01"
            << QJsonObject{{"atomizer", "SS316"}};
        QTest::newRow("temperature mode, Fahrenheit")
            << Configured
            << QJsonObject{{"mode", "temp"},       {"screen-timeout", 25},  {"power", 50},
                           {"preheat-time", 0.02}, {"preheat-power", 30.5}, {"temperature", 392},
                           {"unit", "F"},          {"compensation", -10},   {"atomizer", "TFR-M5"},
                           {"tcr.M1", 0.0001},     {"tcr.M2", 1.2345},      {"tcr.M3", 6},
                           {"tfr.M4.200", 2},      {"tfr.M1.300", 1}};
        QTest::newRow("atomizer type with no name")
            << "1:00c8012c03e8 2:0bb8 3:01900190009694fe0700 4:00270027002700270027 6:02"
            << QJsonObject{{"atomizer", "20"}};
    }
    // An exported profile brings the heater back to exactly what it held; a
    // profile that exists is replaced only with --force.
    void exportThenImportGivesIdenticalPayloads()
    {
        QFETCH(QString, device);
        QFETCH(QJsonObject, shown);
        QTemporaryDir dir;
        const QString profile = writeFile(dir.filePath("profile.json"), "kept");
        Bench bench(true, device + " 5:" + tfrDefaultsWith(17, "4e20").toHex());
        const QList<QByteArray> original = bench.settings();
        const CliRun refused = cli("export " + profile);
        QCOMPARE(refused.code, 2);
        QCOMPARE(refused.err, QString("cannot write %1: it exists; add --force to replace it\n").arg(profile));
        QCOMPARE(bench.device->reportCount(), 0);
        QCOMPARE(cli("export --force " + profile).code, 0);
        QFile file(profile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject exported = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(exported, cli("--json read").json());
        QCOMPARE(exported.size(), 39);
        for (const QString &key : shown.keys())
            QVERIFY2(exported[key] == shown[key], qPrintable(key));
        QVERIFY(bench.nothingWritten());
        // Every setting the profile carries changes, then comes back.
        const QString other =
            "preheat-power=77 screen-timeout=45 compensation=7 atomizer=SS317 tcr.M1=0.5 tfr.M1.100=0.5";
        QCOMPARE(cli("write " + other).code, 0);
        for (int code = 1; code <= 5; ++code)
            QVERIFY2(bench.settings()[code - 1] != original[code - 1], qPrintable(QString::number(code)));
        const CliRun imported = cli("import " + profile);
        QCOMPARE(imported.out, QString("Save success\n"));
        QCOMPARE(bench.settings(), original);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
