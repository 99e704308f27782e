#include "cli/cli.h"
#include "link/hidbackend.h"
#include "sim/simbus.h"
#include "tests/support/logcapture.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    // What --json puts on stderr: one line holding one object.
    QString jsonError() const
    {
        return err.count('\n') <= 1 ? QJsonDocument::fromJson(err.toUtf8()).object()["error"].toString() : QString();
    }
};

// One command in process, its diagnostics kept out of the test's output.
Run cli(const QString &line)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    LogCapture quiet;
    run.code = Cli::run(line.split(' ', Qt::SkipEmptyParts), out, err);
    out.flush();
    err.flush();
    qunsetenv("KORVANE_DEVICE"); // --device leaves it for the link
    return run;
}

// "6:02 3:01f4..." -> {6: 02, 3: 01f4...}
QMap<int, QByteArray> payloads(const QString &text)
{
    QMap<int, QByteArray> map;
    for (const QString &entry : text.split(' ', Qt::SkipEmptyParts))
        map[entry.section(':', 0, 0).toInt()] = QByteArray::fromHex(entry.section(':', 1).toLatin1());
    return map;
}

QByteArray tfrDefaultsWith(int index, const char *word)
{
    QByteArray table = QByteArray::fromHex("2710").repeated(25);
    return table.replace(2 * index, 2, QByteArray::fromHex(word));
}

// A bus with one heater, or with none.
struct Bench
{
    explicit Bench(bool plugged = true, const QString &settings = {})
    {
        if (plugged)
            bus.attach("/dev/hidraw0", device);
        const QMap<int, QByteArray> given = payloads(settings);
        for (auto setting = given.begin(); setting != given.end(); ++setting)
            device->setSetting(setting.key(), setting.value());
    }
    QList<QByteArray> settings() const
    {
        QList<QByteArray> all;
        for (int code = 1; code <= 6; ++code)
            all << device->setting(code);
        return all;
    }
    // True when nothing but the handshake and read requests came over the wire.
    bool nothingWritten() const
    {
        for (const QByteArray &report : device->reports())
            if (uint8_t(report[1]) != 0x72 && !(uint8_t(report[1]) & 0x80))
                return false;
        return true;
    }
    SimBus bus;
    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

// Temperature mode in Fahrenheit, 25 s, TFR-M5: every setting off the defaults.
const QString Configured = "1:00c80131270f 2:09c4 3:01f4018800148ef6fd00 4:00013039ea6000000027 6:02 5:" +
                           QString(tfrDefaultsWith(5, "1388").toHex());
const QByteArray Group = "{0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,0x10}\n";

} // namespace

Q_DECLARE_METATYPE(SimDevice::Fault)

// korvane-cli on the simulated heater: what a user sees, and what reaches the heater.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void statusTellsTheHandshake_data();
    void statusTellsTheHandshake();
    void readShowsEverySetting();
    void writeSendsTheCountsAndReadsBack_data();
    void writeSendsTheCountsAndReadsBack();
    void refusedBeforeTheHeater_data();
    void refusedBeforeTheHeater();
    void aFailedAnswerShowsSavesAndWritesNothing_data();
    void aFailedAnswerShowsSavesAndWritesNothing();
    void exportThenImportGivesIdenticalPayloads_data();
    void exportThenImportGivesIdenticalPayloads();
    void transfers_data();
    void transfers();
    void badFileIsRefusedBeforeTheHeater_data();
    void badFileIsRefusedBeforeTheHeater();
};

void TestCli::statusTellsTheHandshake_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("why");
    QTest::newRow("connected") << "plain" << 0 << "connected" << "";
    QTest::newRow("upgrade") << "upgrade" << 0 << "upgrade state" << "";
    QTest::newRow("none") << "none" << 3 << "not found" << "no heater found (USB 0483:5750)";
    QTest::newRow("no virtual heater") << "socket" << 3 << "not found"
                                       << "no virtual heater at /run/none/devsim.sock: is korvane-devsim running?";
    QTest::newRow("no rights") << "unopenable" << 4 << "permission denied" << "70-korvane.rules";
    QTest::newRow("silent") << "stall" << 6 << "no answer" << "did not answer the handshake";
}

void TestCli::statusTellsTheHandshake()
{
    QFETCH(QString, setup);
    QFETCH(int, code);
    QFETCH(QString, status);
    QFETCH(QString, why);
    Bench bench(setup == "plain" || setup == "upgrade" || setup == "stall");
    if (setup == "unopenable")
        bench.bus.attachUnopenable("/dev/hidraw0");
    bench.device->setUpgradeState(setup == "upgrade");
    if (setup == "stall")
        bench.device->inject(1, SimDevice::Stall);

    const Run run = cli((setup == "socket" ? "--device unix:/run/none/devsim.sock " : "") + QString("--json status"));
    QCOMPARE(run.code, code);
    QCOMPARE(run.json()["status"].toString(), status);
    QCOMPARE(run.err.isEmpty(), why.isEmpty());
    QVERIFY2(run.jsonError().contains(why), qPrintable(run.err));
    if (setup == "plain") {
        const QString zeros = QString("00 ").repeated(62).chopped(1);
        QCOMPARE(cli("--trace status").err, "> 72 00 " + zeros + "\n< 72 01 " + zeros + "\n");
    }
}

void TestCli::readShowsEverySetting()
{
    Bench bench(true, Configured);
    const Run run = cli("--json read");
    QCOMPARE(run.code, 0);
    QCOMPARE(run.json().size(), 39);
    const QJsonObject expected{{"mode", "temp"},         {"screen-timeout", 25}, {"power", 50},
                               {"preheat-time", 0.02},   {"preheat-power", 30.5}, {"temperature", 392},
                               {"unit", "F"},            {"compensation", -10},   {"atomizer", "TFR-M5"},
                               {"tcr.M1", 0.0001},       {"tcr.M2", 1.2345},      {"tcr.M3", 6},
                               {"tfr.M2.100", 0.5},      {"tfr.M1.300", 1}};
    for (const QString &key : expected.keys())
        QCOMPARE(run.json()[key], expected[key]);
    QVERIFY(bench.nothingWritten());

    Bench defaults;
    const QStringList lines = cli("read").out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 39);
    for (const char *line : {"mode            power", "screen-timeout  30 s", "power           20 W",
                             "temperature     200 ℃", "tfr.M5.300      1"})
        QVERIFY2(lines.contains(line), line);
}

void TestCli::writeSendsTheCountsAndReadsBack_data()
{
    QTest::addColumn<QString>("assignments");
    QTest::addColumn<QString>("changed"); // code:payload of every setting that changes
    QTest::newRow("power") << "power=30.3" << "1:012f00fa03e8";
    QTest::newRow("preheat time") << "preheat-time=9.999" << "1:00c800fa270f";
    QTest::newRow("preheat power") << "preheat-power=300" << "1:00c80bb803e8";
    QTest::newRow("screen timeout") << "screen-timeout=10" << "2:03e8";
    QTest::newRow("work mode alone") << "mode=temp" << "6:02";
    QTest::newRow("power of the mode given") << "mode=temp power=50 preheat-time=0.02"
                                             << "6:02 3:01f400c8001400000000";
    QTest::newRow("unit turns the temperature") << "unit=F" << "3:012c018801f480000000";
    QTest::newRow("compensation in its unit") << "compensation=-35" << "3:012c00c801f40000dd00";
    QTest::newRow("atomizer") << "atomizer=TFR-M5" << "3:012c00c801f40e000000";
    QTest::newRow("atomizer in any case") << "atomizer=ss317" << "3:012c00c801f404000000";
    QTest::newRow("atomizer with no name") << "atomizer=20" << "3:012c00c801f414000000";
    QTest::newRow("last atomizer index") << "atomizer=127" << "3:012c00c801f47f000000";
    QTest::newRow("tcr") << "tcr.M1=0.0001 tcr.M3=6" << "4:0001003cea60003c003c";
    QTest::newRow("tfr") << "tfr.M2.100=1.2345" << "5:" + QString(tfrDefaultsWith(5, "3039").toHex());
}

void TestCli::writeSendsTheCountsAndReadsBack()
{
    QFETCH(QString, assignments);
    QFETCH(QString, changed);
    Bench bench;
    QList<QByteArray> expected = bench.settings();
    const QMap<int, QByteArray> changes = payloads(changed);
    for (auto change = changes.begin(); change != changes.end(); ++change)
        expected[change.key() - 1] = change.value();

    const Run written = cli("--json write " + assignments);
    QCOMPARE(written.code, 0);
    QCOMPARE(written.json()["result"].toString(), QString("saved"));
    QCOMPARE(bench.settings(), expected);
    const QJsonObject read = cli("--json read").json();
    for (const QString &assignment : assignments.split(' ')) {
        const QJsonValue value = read[assignment.section('=', 0, 0)];
        QCOMPARE(value.isString() ? value.toString().toUpper() : QString::number(value.toDouble()),
                 value.isString() ? assignment.section('=', 1).toUpper()
                                  : QString::number(assignment.section('=', 1).toDouble()));
    }
}

// A line korvane-cli cannot use: exit 2, the reason, and nothing written.
void TestCli::refusedBeforeTheHeater_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("screen timeout") << "write screen-timeout=9" << "Error    Screen timeout in [10,60] s\n";
    QTest::newRow("preheat time, temp mode") << "write mode=temp preheat-time=0.01"
                                             << "Error    Preheat Time in [0.02, 9.999] s\n";
    QTest::newRow("temperature F") << "write unit=F temperature=573" << "Error    Temperature in [200, 572] ℉\n";
    QTest::newRow("tfr") << "write tfr.M2.200=6.0001" << "Error    TFR (M2, 200℃) in [0, 6.0000]\n";
    QTest::newRow("first failure only") << "write power=5 screen-timeout=61" << "Error    Screen timeout in [10,60] s\n";
    QTest::newRow("not a number") << "write power=abc" << "power: \"abc\" is not a number";
    // Text that does not convert counts as 0, which this range would let through.
    QTest::newRow("zero would pass") << "write compensation=abc" << "compensation: \"abc\" is not a whole number";
    QTest::newRow("fraction") << "write screen-timeout=30.5" << "screen-timeout: \"30.5\" is not a whole number";
    QTest::newRow("mode") << "write mode=eco" << "mode: \"eco\" is not one of power, temp";
    QTest::newRow("unit") << "write unit=K" << "unit: \"K\" is not one of C, F";
    // Bit 7 of the atomizer byte is the unit.
    QTest::newRow("atomizer index into the unit")
        << "write atomizer=128"
        << "atomizer: \"128\" is not one of NI200, TI1, SS304, SS316, SS317, TCR-M1, TCR-M2, TCR-M3, TCR-M4, "
           "TCR-M5, TFR-M1, TFR-M2, TFR-M3, TFR-M4, TFR-M5 or an index 15..127\n";
    QTest::newRow("named atomizer by index") << "write atomizer=3" << "atomizer: \"3\" is not one of NI200";
    QTest::newRow("unknown key") << "write colour=red" << "unknown setting colour;";
    QTest::newRow("no value") << "write power" << "power: expected KEY=VALUE";
    QTest::newRow("nothing") << "" << "korvane-cli: no command given";
    QTest::newRow("unknown") << "frobnicate" << "korvane-cli: unknown command frobnicate";
    QTest::newRow("extra operand") << "read now" << "korvane-cli: usage: korvane-cli [options] read";
    QTest::newRow("option after the command") << "status --json" << "korvane-cli: usage: korvane-cli [options] status";
    QTest::newRow("write without values") << "write" << "korvane-cli: usage: korvane-cli [options] write KEY=VALUE...";
    QTest::newRow("device not a socket") << "--device /dev/hidraw0 status" << "korvane-cli: --device takes unix:PATH";
    QTest::newRow("timeout") << "--timeout 0 status" << "korvane-cli: --timeout takes a number of milliseconds above 0";
    QTest::newRow("unknown option") << "--bogus status" << "korvane-cli: unknown option --bogus";
}

void TestCli::refusedBeforeTheHeater()
{
    QFETCH(QString, line);
    QFETCH(QString, message);
    Bench bench;
    const QList<QByteArray> before = bench.settings();
    const Run run = cli(line);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    const Run json = cli("--json " + line);
    QCOMPARE(json.code, 2);
    QVERIFY2(json.jsonError().startsWith(message.remove("korvane-cli: ").trimmed()), qPrintable(json.err));
    QVERIFY(bench.nothingWritten());
    QCOMPARE(bench.settings(), before);
    QVERIFY(cli("--help").out.startsWith("usage: korvane-cli"));
}

// Whatever stops an answer, read shows nothing, export leaves no file and
// write sends nothing that no answer carried.
void TestCli::aFailedAnswerShowsSavesAndWritesNothing_data()
{
    QTest::addColumn<QString>("commands"); // | between commands; PROFILE is a file to export to
    QTest::addColumn<int>("nth");          // the handshake, then reads of 0x86, 0x82, 0x81, 0x83, 0x84, 0x85
    QTest::addColumn<SimDevice::Fault>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString reads = "read|export PROFILE|write preheat-power=20 tcr.M1=0.5";
    QTest::newRow("another command code")
        << reads << 6 << SimDevice::Foreign << 0x82 << 6
        << "the heater's answer to the request for the TCR table was garbled or for another request\n";
    QTest::newRow("short answer")
        << reads << 4 << SimDevice::Short << 2 << 6
        << "the heater's answer to the request for the power-mode settings was garbled or for another request\n";
    QTest::newRow("status 3") << reads << 6 << SimDevice::Status << 3 << 5
                              << "the heater refused the request for the TCR table\n";
    QTest::newRow("silence") << reads << 7 << SimDevice::Stall << 0 << 6
                             << "the heater stopped answering while its settings were read\n";
    // The screen timeout goes before the power-mode settings, which meet the fault.
    const QString write = "write power=30 screen-timeout=20";
    QTest::newRow("write refused") << write << 9 << SimDevice::Status << 3 << 5
                                   << "the heater refused the power-mode settings (status 3)\n";
    QTest::newRow("write unanswered") << write << 9 << SimDevice::Stall << 0 << 6
                                      << "no answer from the heater to the power-mode settings\n";
    QTest::newRow("write answer without status")
        << write << 9 << SimDevice::Short << 1 << 6
        << "the heater's answer to the power-mode settings was garbled or for another request\n";
    QTest::newRow("upgrade state") << "read|write power=30|export PROFILE|logo LOGO" << 0 << SimDevice::None << 0 << 5
                                   << "the heater is in its upgrade state: it takes nothing but firmware now\n";
}

void TestCli::aFailedAnswerShowsSavesAndWritesNothing()
{
    QFETCH(QString, commands);
    QFETCH(int, nth);
    QFETCH(SimDevice::Fault, fault);
    QFETCH(int, value);
    QFETCH(int, code);
    QFETCH(QString, message);
    Bench bench;
    bench.device->setUpgradeState(nth == 0);
    const QList<QByteArray> original = bench.settings();
    QTemporaryDir dir;
    const QString profile = dir.filePath("profile.json");
    commands.replace("PROFILE", profile).replace("LOGO", writeFile(dir, "logo.txt", Group));
    for (const QString &command : commands.split('|')) {
        if (fault != SimDevice::None)
            bench.device->inject(nth, fault, value);
        const Run run = cli(command);
        QCOMPARE(run.code, code);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, message);
    }
    QVERIFY(!QFile::exists(profile));
    if (commands.startsWith("read")) {
        QVERIFY(bench.nothingWritten());
        QCOMPARE(bench.settings(), original);
    } else {
        QCOMPARE(bench.device->setting(2), QByteArray::fromHex("07d0"));
    }
}

void TestCli::exportThenImportGivesIdenticalPayloads_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("atomizer");
    QTest::newRow("power mode, Celsius") << "1:012c00fa05dc 2:1770 3:00fa00dc02580300f900 4:0027003c1388000a0001 6:01"
                                         << "SS316";
    QTest::newRow("temperature mode, Fahrenheit") << Configured << "TFR-M5";
    QTest::newRow("atomizer type with no name")
        << "1:00c8012c03e8 2:0bb8 3:01900190009694fe0700 4:00270027002700270027 6:02" << "20";
}

// An exported profile brings the heater back to exactly what it held; a
// profile that exists is replaced only with --force.
void TestCli::exportThenImportGivesIdenticalPayloads()
{
    QFETCH(QString, device);
    QFETCH(QString, atomizer);
    QTemporaryDir dir;
    const QString profile = writeFile(dir, "profile.json", "kept");
    Bench bench(true, device + " 5:" + tfrDefaultsWith(17, "4e20").toHex());
    const QList<QByteArray> original = bench.settings();
    const Run refused = cli("export " + profile);
    QCOMPARE(refused.code, 2);
    QCOMPARE(refused.err, QString("cannot write %1: it exists; add --force to replace it\n").arg(profile));
    QCOMPARE(bench.device->reportCount(), 0);
    QCOMPARE(cli("export --force " + profile).code, 0);
    QFile file(profile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject exported = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(exported, cli("--json read").json());
    QCOMPARE(exported["atomizer"], QJsonValue(atomizer));

    // Every setting the profile carries changes, then comes back.
    QCOMPARE(cli("write preheat-power=77 screen-timeout=45 compensation=7 atomizer=SS317 tcr.M1=0.5 tfr.M1.100=0.5")
                 .code,
             0);
    for (int code = 1; code <= 5; ++code)
        QVERIFY2(bench.settings()[code - 1] != original[code - 1], qPrintable(QString::number(code)));
    const Run imported = cli("import " + profile);
    QCOMPARE(imported.code, 0);
    QCOMPARE(imported.out, QString("Save success\n"));
    QCOMPARE(bench.settings(), original);
}

void TestCli::transfers_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("upgrading");
    QTest::addColumn<SimDevice::Fault>("fault"); // on the third report
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("firmware") << "firmware" << true << SimDevice::None << 0 << "100%  4.7 KiB of 4.7 KiB";
    QTest::newRow("firmware, not upgrading") << "firmware" << false << SimDevice::None << 5
                                             << "not in its upgrade state";
    QTest::newRow("firmware refused") << "firmware" << true << SimDevice::Status << 5
                                      << "Update failed! The heater refused";
    QTest::newRow("firmware unanswered") << "firmware" << true << SimDevice::Stall << 6
                                         << "Update failed! The heater stopped";
    QTest::newRow("firmware of nothing") << "firmware empty" << true << SimDevice::None << 2 << "is zero";
    QTest::newRow("logo") << "logo" << false << SimDevice::None << 0 << "";
    QTest::newRow("logo refused") << "logo" << false << SimDevice::Status << 5 << "refused";
    QTest::newRow("logo unanswered") << "logo" << false << SimDevice::Stall << 6 << "";
    QTest::newRow("logo of nothing") << "logo empty" << false << SimDevice::None << 2 << "";
}

void TestCli::transfers()
{
    QFETCH(QString, command);
    QFETCH(bool, upgrading);
    QFETCH(SimDevice::Fault, fault);
    QFETCH(int, code);
    QFETCH(QString, message);
    Bench bench;
    bench.device->setUpgradeState(upgrading);
    bench.device->inject(3, fault, 3);
    QTemporaryDir dir;
    const bool logo = command.startsWith("logo");
    QByteArray data = logo ? Group + Group : QByteArray::fromHex("00112233445566778899aabbccddeeff").repeated(300);
    if (command.endsWith("empty"))
        data.clear();

    const Run run = cli("--json " + command.section(' ', 0, 0) + ' ' + writeFile(dir, "file", data));
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    if (logo) {
        const QByteArray sent = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10").repeated(2);
        QCOMPARE(bench.device->logoComplete() && bench.device->logo() == sent, code == 0);
    } else {
        QCOMPARE(bench.device->firmwareComplete() && bench.device->firmware() == data, code == 0);
        QCOMPARE(run.json()["sha256"].toString(),
                 code ? QString() : QString(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex()));
    }
    if (code == 2 || (!upgrading && !logo))
        QVERIFY(bench.nothingWritten());
}

void TestCli::badFileIsRefusedBeforeTheHeater_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("setup"); // what the path names: see the test
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // %1: the path
    const QString notRegular = "cannot read %1: it is %2, not a regular file";
    const QString noLogo = "%1 holds no logo: not one {0x..,0x..,...} group of values";
    const QString over = "cannot read %1: %2 bytes, over the limit of %3 bytes";
    QTest::newRow("firmware from /dev/zero") << "firmware" << "/dev/zero" << QByteArray()
                                             << notRegular.arg("%1", "a character device");
    QTest::newRow("logo from a FIFO") << "logo" << "fifo" << QByteArray() << notRegular.arg("%1", "a FIFO");
    QTest::newRow("firmware from a directory") << "firmware" << "directory" << QByteArray()
                                               << notRegular.arg("%1", "a directory");
    QTest::newRow("firmware over 2 GiB") << "firmware" << "sparse" << QByteArray::number(Q_INT64_C(3) << 30)
                                         << over.arg("%1", "3221225472", "536870880");
    QTest::newRow("profile over 1 MiB") << "import" << "sparse" << QByteArray::number((1 << 20) + 1)
                                        << over.arg("%1", "1048577", "1048576");
    QTest::newRow("logo without groups") << "logo" << "text" << QByteArray("no logo in here\n") << noLogo;
    // Braces, but not one value converts: every group would be 16 zeros.
    QTest::newRow("logo of garbage") << "logo" << "text" << QByteArray("\x7f{\xff{ 0x01,0x02}{0x}{{0xg\0{", 24)
                                     << noLogo;
    QTest::newRow("profile not json") << "import" << "text" << QByteArray("power=20") << "not JSON";
    QTest::newRow("profile not an object") << "import" << "text" << QByteArray("[20]") << "not a profile";
    QTest::newRow("profile value") << "import" << "text" << QByteArray(R"({"power": true})")
                                   << "power: expected a number or a text";
    QTest::newRow("profile member") << "import" << "text" << QByteArray(R"({"colour": "red"})")
                                    << "unknown setting colour";
    QTest::newRow("profile missing") << "import" << "missing" << QByteArray() << "cannot read %1";
    QTest::newRow("export to a FIFO") << "export" << "fifo" << QByteArray()
                                      << "cannot write %1: it is a FIFO, not a regular file";
    QTest::newRow("export to a device node") << "export" << "node" << QByteArray()
                                             << "cannot write %1: it is a character device, not a regular file";
    QTest::newRow("export to a directory") << "export" << "directory" << QByteArray()
                                           << "cannot write %1: it is a directory, not a regular file";
    QTest::newRow("export through a link") << "export" << "link" << QByteArray()
                                           << "cannot write %1: it is a symbolic link; name the file itself";
}

// Nothing but maybe the reads reaches the heater, and what the path names is as it was.
void TestCli::badFileIsRefusedBeforeTheHeater()
{
    QFETCH(QString, command);
    QFETCH(QString, setup);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    Bench bench;
    QTemporaryDir dir;
    QString path = dir.filePath("file");
    const QString linked = writeFile(dir, "kept.json", "kept");
    if (setup.startsWith('/'))
        path = setup;
    else if (setup == "fifo")
        QCOMPARE(mkfifo(qPrintable(path), 0600), 0);
    else if (setup == "directory")
        path = dir.path();
    else if (setup == "sparse")
        QVERIFY(QFile(writeFile(dir, "file", "")).resize(content.toLongLong()));
    else if (setup == "text")
        writeFile(dir, "file", content);
    else if (setup == "link")
        QVERIFY(QFile::link(linked, path));
    else if (setup == "node" && mknod(qPrintable(path), S_IFCHR | 0600, makedev(1, 3)) != 0)
        QSKIP("no right to make a device node here");
    struct stat before = {};
    lstat(qPrintable(path), &before);

    const Run run = cli(command + ' ' + path);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(message.replace("%1", path)), qPrintable(run.err));
    QVERIFY(command == "import" ? bench.nothingWritten() : bench.device->reportCount() == 0);
    struct stat after = {};
    lstat(qPrintable(path), &after);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_rdev, before.st_rdev);
    QFile kept(linked);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("kept"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
