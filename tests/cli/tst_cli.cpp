#include "cli/cli.h"
#include "cli/progressbar.h"
#include "sim/simbus.h"
#include "tests/support/logcapture.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr const char *Path = "/dev/hidraw0";

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
    return run;
}

// A bus with one heater, or with none.
struct Bench
{
    explicit Bench(bool plugged = true)
    {
        if (plugged)
            bus.attach(Path, device);
    }
    QList<QByteArray> settings() const
    {
        QList<QByteArray> all;
        for (int code = 1; code <= 6; ++code)
            all << device->setting(code);
        return all;
    }
    // True when no report but the handshake and read requests came over the wire.
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
    QByteArray table;
    for (int i = 0; i < 25; ++i)
        table += QByteArray::fromHex(i == index ? word : "2710");
    return table;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

QByteArray image(int length)
{
    QByteArray data(length, '\0');
    for (int i = 0; i < length; ++i)
        data[i] = char(i * 7 + i / 251);
    return data;
}

// A different valid value for every member of a profile in the same mode and unit.
QJsonObject otherProfile(QJsonObject profile)
{
    const bool fahrenheit = profile["unit"] == "F";
    for (const QString &key : profile.keys()) {
        if (key.startsWith("tcr.") || key.startsWith("tfr."))
            profile[key] = 0.5;
    }
    profile["screen-timeout"] = 45;
    profile["power"] = 99;
    profile["preheat-time"] = 3;
    profile["preheat-power"] = 77;
    profile["temperature"] = fahrenheit ? 480 : 250;
    profile["compensation"] = 7;
    profile["atomizer"] = "SS316";
    return profile;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void statusTellsTheHandshake_data();
    void statusTellsTheHandshake();
    void readShowsEverySettingInTheWindowsUnits_data();
    void readShowsEverySettingInTheWindowsUnits();
    void readTableHasUnits();
    void writeSendsTheWindowsCountsAndReadsBack_data();
    void writeSendsTheWindowsCountsAndReadsBack();
    void badValueGivesTheRangeMessageAndWritesNothing_data();
    void badValueGivesTheRangeMessageAndWritesNothing();
    void malformedValueIsRefusedBeforeTheDevice_data();
    void malformedValueIsRefusedBeforeTheDevice();
    void writeTheDeviceRefusesOrNeverAnswers_data();
    void writeTheDeviceRefusesOrNeverAnswers();
    void aFailedReadShowsSavesAndWritesNothing_data();
    void aFailedReadShowsSavesAndWritesNothing();
    void exportThenImportGivesIdenticalPayloads_data();
    void exportThenImportGivesIdenticalPayloads();
    void exportReplacesAProfileOnlyWhenForced_data();
    void exportReplacesAProfileOnlyWhenForced();
    void importRefusesABadProfile_data();
    void importRefusesABadProfile();
    void firmware_data();
    void firmware();
    void logo_data();
    void logo();
    void badFileIsRefusedBeforeTheHeater_data();
    void badFileIsRefusedBeforeTheHeater();
    void settingsWaitWhileTheDeviceUpgrades();
    void traceDumpsEveryReport();
    void commandLine_data();
    void commandLine();
    void progressLine_data();
    void progressLine();
};

// --device stays in the environment, where the link looks for it.
void TestCli::cleanup()
{
    qunsetenv("KORVANE_DEVICE");
}

void TestCli::statusTellsTheHandshake_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("why");
    QTest::newRow("connected") << "plain" << 0 << "connected"
                               << "";
    QTest::newRow("upgrade") << "upgrade" << 0 << "upgrade state"
                             << "";
    QTest::newRow("none") << "none" << 3 << "not found"
                          << "no heater found (USB 0483:5750)";
    QTest::newRow("no virtual heater") << "socket" << 3 << "not found"
                                       << "no virtual heater at /run/none/devsim.sock: is korvane-devsim running?";
    QTest::newRow("no rights") << "unopenable" << 4 << "permission denied"
                               << "70-korvane.rules";
    QTest::newRow("silent") << "stall" << 6 << "no answer"
                            << "did not answer the handshake";
}

void TestCli::statusTellsTheHandshake()
{
    QFETCH(QString, setup);
    QFETCH(int, code);
    QFETCH(QString, status);
    QFETCH(QString, why);
    Bench bench(setup == "plain" || setup == "upgrade" || setup == "stall");
    if (setup == "unopenable")
        bench.bus.attachUnopenable(Path);
    bench.device->setUpgradeState(setup == "upgrade");
    if (setup == "stall")
        bench.device->inject(1, SimDevice::Stall);

    const Run run = cli((setup == "socket" ? "--device unix:/run/none/devsim.sock " : "") + QString("--json status"));
    QCOMPARE(run.code, code);
    QCOMPARE(run.json()["status"].toString(), status);
    QCOMPARE(run.err.isEmpty(), why.isEmpty());
    QVERIFY2(run.jsonError().contains(why), qPrintable(run.err));
}

void TestCli::readShowsEverySettingInTheWindowsUnits_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::newRow("mode") << "mode" << QJsonValue("temp");
    QTest::newRow("screen timeout") << "screen-timeout" << QJsonValue(25);
    QTest::newRow("power of the mode") << "power" << QJsonValue(50);
    QTest::newRow("preheat time of the mode") << "preheat-time" << QJsonValue(0.02);
    QTest::newRow("preheat power") << "preheat-power" << QJsonValue(30.5);
    QTest::newRow("temperature") << "temperature" << QJsonValue(392);
    QTest::newRow("unit") << "unit" << QJsonValue("F");
    QTest::newRow("compensation of the unit") << "compensation" << QJsonValue(-10);
    QTest::newRow("atomizer") << "atomizer" << QJsonValue("TFR-M5");
    QTest::newRow("tcr smallest") << "tcr.M1" << QJsonValue(0.0001);
    QTest::newRow("tcr") << "tcr.M2" << QJsonValue(1.2345);
    QTest::newRow("tcr largest") << "tcr.M3" << QJsonValue(6);
    QTest::newRow("tfr M2 at 100") << "tfr.M2.100" << QJsonValue(0.5);
    QTest::newRow("tfr M1 at 300") << "tfr.M1.300" << QJsonValue(1);
}

void TestCli::readShowsEverySettingInTheWindowsUnits()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    Bench bench;
    bench.device->setSetting(1, QByteArray::fromHex("00c80131270f"));
    bench.device->setSetting(2, QByteArray::fromHex("09c4"));
    bench.device->setSetting(3, QByteArray::fromHex("01f4018800148ef6fd00"));
    bench.device->setSetting(4, QByteArray::fromHex("00013039ea6000000027"));
    bench.device->setSetting(5, tfrDefaultsWith(5, "1388"));
    bench.device->setSetting(6, QByteArray::fromHex("02"));

    const Run run = cli("--json read");
    QCOMPARE(run.code, 0);
    QCOMPARE(run.json().size(), 39);
    QCOMPARE(run.json()[key], value);
    QVERIFY(bench.nothingWritten());
}

void TestCli::readTableHasUnits()
{
    Bench bench;
    const Run run = cli("read");
    QCOMPARE(run.code, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 39);
    QVERIFY(lines.contains("mode            power"));
    QVERIFY(lines.contains("screen-timeout  30 s"));
    QVERIFY(lines.contains("power           20 W"));
    QVERIFY(lines.contains("temperature     200 ℃"));
    QVERIFY(lines.contains("tfr.M5.300      1"));
}

void TestCli::writeSendsTheWindowsCountsAndReadsBack_data()
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

void TestCli::writeSendsTheWindowsCountsAndReadsBack()
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
        const QString key = assignment.section('=', 0, 0);
        const QString value = assignment.section('=', 1);
        if (read[key].isString())
            QCOMPARE(read[key].toString().toUpper(), value.toUpper());
        else
            QCOMPARE(read[key].toDouble(), value.toDouble());
    }
}

void TestCli::badValueGivesTheRangeMessageAndWritesNothing_data()
{
    QTest::addColumn<QString>("assignments");
    QTest::addColumn<QString>("message");
    QTest::newRow("screen timeout") << "screen-timeout=9"
                                    << "Error    Screen timeout in [10,60] s";
    QTest::newRow("power") << "power=300.1"
                           << "Error    Power Value in [10.0, 300.0] W";
    QTest::newRow("preheat time, power mode") << "preheat-time=0.05"
                                              << "Error    Preheat Time in [0.1, 9.999] s";
    QTest::newRow("preheat time, temp mode") << "mode=temp preheat-time=0.01"
                                             << "Error    Preheat Time in [0.02, 9.999] s";
    QTest::newRow("preheat power") << "preheat-power=9.9"
                                   << "Error    Preheat Power in [10.0, 300.0] W";
    QTest::newRow("temperature C") << "temperature=301"
                                   << "Error    Temperature in [100, 300] ℃";
    QTest::newRow("temperature F") << "unit=F temperature=573"
                                   << "Error    Temperature in [200, 572] ℉";
    QTest::newRow("compensation C") << "compensation=41"
                                    << "Error    Compensation in [-35, 40] ℃";
    QTest::newRow("compensation F") << "unit=F compensation=-96"
                                    << "Error    Compensation in [-95, 104] ℉";
    QTest::newRow("tcr") << "tcr.M3=6.5"
                         << "Error    TCR M3 in [0, 6.0000]";
    QTest::newRow("tfr") << "tfr.M2.200=6.0001"
                         << "Error    TFR (M2, 200℃) in [0, 6.0000]";
    QTest::newRow("first failure only") << "power=5 screen-timeout=61"
                                        << "Error    Screen timeout in [10,60] s";
    QTest::newRow("good ones wait for the bad") << "mode=temp tcr.M1=7"
                                                << "Error    TCR M1 in [0, 6.0000]";
}

void TestCli::badValueGivesTheRangeMessageAndWritesNothing()
{
    QFETCH(QString, assignments);
    QFETCH(QString, message);
    Bench bench;
    const QList<QByteArray> before = bench.settings();

    const Run run = cli("write " + assignments);
    QCOMPARE(run.code, 2);
    QCOMPARE(run.err, message + "\n");
    QVERIFY(run.out.isEmpty());
    QVERIFY(bench.nothingWritten());
    QCOMPARE(bench.settings(), before);
}

void TestCli::malformedValueIsRefusedBeforeTheDevice_data()
{
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a number") << "power=abc"
                                  << "power: \"abc\" is not a number";
    // Text that does not convert counts as 0, which this range would let through.
    QTest::newRow("zero would pass") << "compensation=abc"
                                     << "compensation: \"abc\" is not a whole number";
    QTest::newRow("fraction") << "screen-timeout=30.5"
                              << "screen-timeout: \"30.5\" is not a whole number";
    QTest::newRow("mode") << "mode=eco"
                          << "mode: \"eco\" is not one of power, temp";
    QTest::newRow("unit") << "unit=K"
                          << "unit: \"K\" is not one of C, F";
    // Bit 7 of the atomizer byte is the unit.
    QTest::newRow("atomizer index into the unit") << "atomizer=128"
                                                  << "atomizer: \"128\" is not one of NI200, TI1, SS304, SS316, "
                                                     "SS317, TCR-M1, TCR-M2, TCR-M3, TCR-M4, TCR-M5, TFR-M1, TFR-M2, "
                                                     "TFR-M3, TFR-M4, TFR-M5 or an index 15..127\n";
    QTest::newRow("named atomizer by index") << "atomizer=3"
                                             << "atomizer: \"3\" is not one of NI200";
    QTest::newRow("unknown key") << "colour=red"
                                 << "unknown setting colour;";
    QTest::newRow("no value") << "power"
                              << "power: expected KEY=VALUE";
}

void TestCli::malformedValueIsRefusedBeforeTheDevice()
{
    QFETCH(QString, assignment);
    QFETCH(QString, message);
    Bench bench;
    const Run run = cli("write " + assignment);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QCOMPARE(bench.device->reportCount(), 0);
}

void TestCli::writeTheDeviceRefusesOrNeverAnswers_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused") << int(SimDevice::Status) << 3 << 5
                             << "the heater refused the power-mode settings (status 3)\n";
    QTest::newRow("no answer") << int(SimDevice::Stall) << 0 << 6
                               << "no answer from the heater to the power-mode settings\n";
    QTest::newRow("no status byte") << int(SimDevice::Short) << 1 << 6
                                    << "the heater's answer to the power-mode settings was garbled or for another "
                                       "request\n";
}

void TestCli::writeTheDeviceRefusesOrNeverAnswers()
{
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(int, code);
    QFETCH(QString, message);
    Bench bench;
    // The handshake, six reads and the screen timeout go first.
    bench.device->inject(9, SimDevice::Fault(fault), value);
    const Run run = cli("write power=30 screen-timeout=20");
    QCOMPARE(run.code, code);
    QCOMPARE(run.err, message);
    QCOMPARE(bench.device->setting(2), QByteArray::fromHex("07d0"));
}

// Whatever stops one read, read shows nothing, export leaves no file and write
// sends nothing: no setting is taken from an answer the heater did not give.
void TestCli::aFailedReadShowsSavesAndWritesNothing_data()
{
    QTest::addColumn<int>("nth"); // the handshake, then reads of 0x86, 0x82, 0x81, 0x83, 0x84, 0x85
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("another command code")
        << 6 << int(SimDevice::Foreign) << 0x82 << 6
        << "the heater's answer to the request for the TCR table was garbled or for another request\n";
    QTest::newRow("short answer")
        << 4 << int(SimDevice::Short) << 2 << 6
        << "the heater's answer to the request for the power-mode settings was garbled or for another request\n";
    QTest::newRow("status 3") << 6 << int(SimDevice::Status) << 3 << 5
                              << "the heater refused the request for the TCR table\n";
    QTest::newRow("silence") << 7 << int(SimDevice::Stall) << 0 << 6
                             << "the heater stopped answering while its settings were read\n";
}

void TestCli::aFailedReadShowsSavesAndWritesNothing()
{
    QFETCH(int, nth);
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(int, code);
    QFETCH(QString, message);
    Bench bench;
    const QList<QByteArray> original = bench.settings();
    QTemporaryDir dir;
    const QString profile = dir.filePath("profile.json");
    for (const QString &command : QStringList{"read", "export " + profile, "write preheat-power=20 tcr.M1=0.5"}) {
        bench.device->inject(nth, SimDevice::Fault(fault), value);
        const Run run = cli(command);
        QCOMPARE(run.code, code);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, message);
    }
    QVERIFY(!QFile::exists(profile));
    QVERIFY(bench.nothingWritten());
    QCOMPARE(bench.settings(), original);
}

void TestCli::exportThenImportGivesIdenticalPayloads_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("atomizer");
    QTest::newRow("power mode, Celsius") << "1:012c00fa05dc 2:1770 3:00fa00dc02580300f900 4:0027003c1388000a0001 6:01"
                                         << "SS316";
    QTest::newRow("temperature mode, Fahrenheit")
        << "1:00c8012c03e8 2:0bb8 3:01900190009681fe0700 4:00270027002700270027 6:02"
        << "TI1";
    QTest::newRow("atomizer type with no name")
        << "1:00c8012c03e8 2:0bb8 3:01900190009694fe0700 4:00270027002700270027 6:02"
        << "20";
}

void TestCli::exportThenImportGivesIdenticalPayloads()
{
    QFETCH(QString, device);
    QFETCH(QString, atomizer);
    Bench bench;
    const QMap<int, QByteArray> payloadsOf = payloads(device);
    for (auto payload = payloadsOf.begin(); payload != payloadsOf.end(); ++payload)
        bench.device->setSetting(payload.key(), payload.value());
    bench.device->setSetting(5, tfrDefaultsWith(17, "4e20"));
    const QList<QByteArray> original = bench.settings();
    QTemporaryDir dir;
    const QString profile = dir.filePath("profile.json");

    QCOMPARE(cli("export " + profile).code, 0);
    QFile file(profile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject exported = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(exported, cli("--json read").json());
    QCOMPARE(exported["atomizer"], QJsonValue(atomizer));

    const QString other =
        writeFile(dir, "other.json", QJsonDocument(otherProfile(exported)).toJson(QJsonDocument::Compact));
    QCOMPARE(cli("import " + other).code, 0);
    for (int code = 1; code <= 6; ++code)
        QVERIFY2(bench.settings()[code - 1] != original[code - 1] || code == 6, qPrintable(QString::number(code)));

    const Run imported = cli("import " + profile);
    QCOMPARE(imported.code, 0);
    QCOMPARE(imported.out, QString("Save success\n"));
    QCOMPARE(bench.settings(), original);
}

void TestCli::exportReplacesAProfileOnlyWhenForced_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("json");
    QTest::newRow("plain") << "" << false;
    QTest::newRow("json") << "--json " << true;
}

void TestCli::exportReplacesAProfileOnlyWhenForced()
{
    QFETCH(QString, options);
    QFETCH(bool, json);
    Bench bench;
    QTemporaryDir dir;
    const QString profile = writeFile(dir, "profile.json", "kept");

    const Run refused = cli(options + "export " + profile);
    QCOMPARE(refused.code, 2);
    QCOMPARE(refused.out, QString());
    const QString hint = QString("cannot write %1: it exists; add --force to replace it").arg(profile);
    QCOMPARE(json ? refused.jsonError() : refused.err, json ? hint : hint + '\n');
    QCOMPARE(bench.device->reportCount(), 0);
    QFile file(profile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
    file.close();

    for (const QString &line : {"--force export " + profile, "export --force " + profile}) {
        const Run forced = cli(options + line);
        QCOMPARE(forced.code, 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).object(), cli("--json read").json());
        file.close();
    }
}

void TestCli::importRefusesABadProfile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("not json") << QByteArray("power=20") << "not JSON";
    QTest::newRow("not an object") << QByteArray("[20]") << "not a profile";
    QTest::newRow("not a value") << QByteArray(R"({"power": true})") << "power: expected a number or a text";
    QTest::newRow("out of range") << QByteArray(R"({"power": 400})") << "Error    Power Value in [10.0, 300.0] W";
    QTest::newRow("unknown member") << QByteArray(R"({"colour": "red"})") << "unknown setting colour";
}

void TestCli::importRefusesABadProfile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    Bench bench;
    QTemporaryDir dir;
    const Run run = cli("import " + writeFile(dir, "bad.json", content));
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(bench.nothingWritten());
    QCOMPARE(cli("import " + dir.filePath("missing.json")).code, 2);
}

void TestCli::firmware_data()
{
    QTest::addColumn<bool>("upgrading");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("sent") << true << int(SimDevice::None) << 5000 << 0 << "";
    QTest::newRow("not upgrading") << false << int(SimDevice::None) << 5000 << 5 << "not in its upgrade state";
    QTest::newRow("refused") << true << int(SimDevice::Status) << 5000 << 5 << "Update failed! The heater refused";
    QTest::newRow("no answer") << true << int(SimDevice::Stall) << 5000 << 6 << "Update failed! The heater stopped";
    QTest::newRow("empty file") << true << int(SimDevice::None) << 0 << 2 << "is zero";
}

void TestCli::firmware()
{
    QFETCH(bool, upgrading);
    QFETCH(int, fault);
    QFETCH(int, length);
    QFETCH(int, code);
    QFETCH(QString, message);
    Bench bench;
    bench.device->setUpgradeState(upgrading);
    bench.device->inject(4, SimDevice::Fault(fault), 3);
    QTemporaryDir dir;
    const QByteArray data = image(length);

    const Run run = cli("--json firmware " + writeFile(dir, "image.bin", data));
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(bench.device->firmwareComplete(), code == 0);
    if (code == 0) {
        QCOMPARE(bench.device->firmware(), data);
        QCOMPARE(run.json()["sha256"].toString(),
                 QString(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex()));
        QVERIFY(run.err.contains("100%"));
    }
    if (!upgrading || length == 0)
        QVERIFY(bench.nothingWritten());
}

void TestCli::logo_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("sent") << int(SimDevice::None) << 0;
    QTest::newRow("refused") << int(SimDevice::Status) << 5;
    QTest::newRow("no answer") << int(SimDevice::Stall) << 6;
}

void TestCli::logo()
{
    QFETCH(int, fault);
    QFETCH(int, code);
    Bench bench;
    bench.device->inject(3, SimDevice::Fault(fault), 3);
    QTemporaryDir dir;
    const QByteArray group = "{0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,0x10}\n";

    const Run run = cli("logo " + writeFile(dir, "logo.txt", group + group));
    QCOMPARE(run.code, code);
    const QByteArray sent = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10").repeated(2);
    QCOMPARE(bench.device->logoComplete() && bench.device->logo() == sent, code == 0);
    QCOMPARE(cli("logo " + writeFile(dir, "empty.txt", "")).code, 2);
}

void TestCli::badFileIsRefusedBeforeTheHeater_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("setup"); // what the path names: see the test
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // %1: the path
    const QString notRegular = "cannot read %1: it is %2, not a regular file";
    const QString noLogo = "%1 holds no logo: not one {0x..,0x..,...} group of values";
    QTest::newRow("firmware from /dev/zero")
        << "firmware"
        << "/dev/zero" << QByteArray() << notRegular.arg("%1", "a character device");
    QTest::newRow("logo from /dev/zero") << "logo"
                                         << "/dev/zero" << QByteArray() << notRegular.arg("%1", "a character device");
    QTest::newRow("logo from a FIFO") << "logo"
                                      << "fifo" << QByteArray() << notRegular.arg("%1", "a FIFO");
    QTest::newRow("import from a FIFO") << "import"
                                        << "fifo" << QByteArray() << notRegular.arg("%1", "a FIFO");
    QTest::newRow("firmware from a directory") << "firmware"
                                               << "directory" << QByteArray() << notRegular.arg("%1", "a directory");
    QTest::newRow("firmware over 2 GiB") << "firmware"
                                         << "sparse" << QByteArray::number(Q_INT64_C(3) << 30)
                                         << "cannot read %1: 3221225472 bytes, over the limit of 536870880 bytes";
    QTest::newRow("logo text over 1 MiB") << "logo"
                                          << "sparse" << QByteArray::number((1 << 20) + 1)
                                          << "cannot read %1: 1048577 bytes, over the limit of 1048576 bytes";
    QTest::newRow("profile over 1 MiB") << "import"
                                        << "sparse" << QByteArray::number((1 << 20) + 1)
                                        << "cannot read %1: 1048577 bytes, over the limit of 1048576 bytes";
    QTest::newRow("logo without groups") << "logo"
                                         << "text" << QByteArray("no logo in here\n") << noLogo;
    // Braces, but not one value converts: every group would be 16 zeros.
    QTest::newRow("logo of garbage") << "logo"
                                     << "text" << QByteArray("\x7f{\xff{ 0x01,0x02}{0x}{{0xg\0{", 24) << noLogo;
    QTest::newRow("export to a FIFO") << "export"
                                      << "fifo" << QByteArray() << "cannot write %1: it is a FIFO, not a regular file";
    QTest::newRow("export to a device node")
        << "export"
        << "node" << QByteArray() << "cannot write %1: it is a character device, not a regular file";
    QTest::newRow("export to a directory")
        << "export"
        << "directory" << QByteArray() << "cannot write %1: it is a directory, not a regular file";
    QTest::newRow("export through a link")
        << "export"
        << "link" << QByteArray() << "cannot write %1: it is a symbolic link; name the file itself";
}

// Nothing reaches the heater, not even the handshake, and what the path names is as it was.
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
    QCOMPARE(lstat(qPrintable(path), &before), 0);

    const Run run = cli(command + ' ' + path);
    QCOMPARE(run.code, 2);
    QCOMPARE(run.err, message.arg(path) + "\n");
    QCOMPARE(bench.device->reportCount(), 0);
    struct stat after = {};
    QCOMPARE(lstat(qPrintable(path), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_rdev, before.st_rdev);
    QFile kept(linked);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("kept"));
}

void TestCli::settingsWaitWhileTheDeviceUpgrades()
{
    Bench bench;
    bench.device->setUpgradeState(true);
    QTemporaryDir dir;
    for (const QString &command : {QString("read"), QString("write power=30"), "export " + dir.filePath("p.json"),
                                   "logo " + writeFile(dir, "logo.txt", "{0x01}")}) {
        const Run run = cli(command);
        QCOMPARE(run.code, 5);
        QCOMPARE(run.err, QString("the heater is in its upgrade state: it takes nothing but firmware now\n"));
    }
    QCOMPARE(bench.device->reportCount(), 4); // the handshakes
}

void TestCli::traceDumpsEveryReport()
{
    Bench bench;
    const Run run = cli("--trace status");
    QCOMPARE(run.code, 0);
    const QString zeros = QStringList(QVector<QString>(62, "00").toList()).join(' ');
    QCOMPARE(run.err, "> 72 00 " + zeros + "\n< 72 01 " + zeros + "\n");
    QCOMPARE(run.out, QString("connected\n"));
}

void TestCli::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << ""
                             << "no command given";
    QTest::newRow("unknown") << "frobnicate"
                             << "unknown command frobnicate";
    QTest::newRow("extra operand") << "read now"
                                   << "usage: korvane-cli [options] read";
    QTest::newRow("option after the command") << "status --json"
                                              << "usage: korvane-cli [options] status";
    QTest::newRow("write without values") << "write"
                                          << "usage: korvane-cli [options] write KEY=VALUE...";
    QTest::newRow("device not a socket") << "--device /dev/hidraw0 status"
                                         << "--device takes unix:PATH";
    QTest::newRow("timeout") << "--timeout 0 status"
                             << "--timeout takes a number of milliseconds above 0";
    QTest::newRow("unknown option") << "--bogus status"
                                    << "unknown option --bogus";
}

void TestCli::commandLine()
{
    QFETCH(QString, line);
    QFETCH(QString, message);
    Bench bench;
    const Run run = cli(line);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.startsWith("korvane-cli: " + message), qPrintable(run.err));
    QCOMPARE(bench.device->reportCount(), 0);

    const Run json = cli("--json " + line);
    QCOMPARE(json.code, 2);
    QVERIFY2(json.jsonError().startsWith(message), qPrintable(json.err));

    const Run help = cli("--help");
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.startsWith("usage: korvane-cli"));
}

void TestCli::progressLine_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("line");
    QTest::newRow("start") << 0 << qint64(0) << qint64(900) << 0.0
                           << "[------------------------------]   0%  0 B of 900 B  0 B/s";
    QTest::newRow("half") << 50 << qint64(51200) << qint64(102400) << 20480.0
                          << "[###############---------------]  50%  50.0 KiB of 100.0 KiB  20.0 KiB/s";
    QTest::newRow("done") << 100 << qint64(3 << 20) << qint64(3 << 20) << 1572864.0
                          << "[##############################] 100%  3.0 MiB of 3.0 MiB  1.5 MiB/s";
}

void TestCli::progressLine()
{
    QFETCH(int, percent);
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(double, rate);
    QFETCH(QString, line);
    QCOMPARE(ProgressBar::line(percent, done, total, rate), line);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
