#include "app/mainwindow.h"
#include "link/heaterlock.h"
#include "link/usb.h"
#include "protocol/protocol.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"
#include "tests/support/counting.h"
#include "tests/support/writefile.h"

#include <QProgressBar>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSemaphore>
#include <QStackedWidget>
#include <QtTest>
#include <sys/stat.h>

namespace {

const QString keyboardPath = "/dev/hidraw-kbd";

// Groups of sixteen values as the logo files hold them, counting up from first.
QByteArray logoText(int groups, int first = 0)
{
    QByteArray text;
    for (int group = 0; group < groups; ++group) {
        QStringList values;
        for (int i = 0; i < 16; ++i)
            values << "0x" + QString::number((first + group * 16 + i) & 0xff, 16).rightJustified(2, '0');
        text += "{" + values.join(',').toLatin1() + "},\n";
    }
    return text;
}

} // namespace

// The home page's indicators and the top bar's.
bool WindowTests::linkShown(bool connected)
{
    const bool home = f.find("homeConnectedIcon")->isVisibleTo(f.find("homeBackground")) == connected &&
                      f.find("homeDisconnectedIcon")->isVisibleTo(f.find("homeBackground")) != connected;
    return home && f.enabled("pushButton_connect") == connected && f.shown("pushButton_2") == connected &&
           f.shown("pushButton_6") != connected;
}

void WindowTests::removalShowsAtTheNextPass()
{
    f.click("homeUserButton");
    QVERIFY(linkShown(true));
    f.bus.detach(WindowFixture::heaterPath);
    QVERIFY(QTest::qWaitFor([this] { return f.bus.openCount() == 0; }));
    QVERIFY(f.waitForRefreshes(1));
    QVERIFY(linkShown(false));
    // No firmware dialog was opened, so the window stays where it was.
    QCOMPARE(f.find<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    QVERIFY(f.find("stackedWidget")->isVisible());
}

void WindowTests::withoutHeaterEveryButtonSaysSo_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("button");
    QTest::newRow("Read") << 0 << "pushButton_get";
    QTest::newRow("Save TCR, Chinese") << 1 << "pushButton_setTCR";
    QTest::newRow("Read TFR") << 0 << "pushButton_getTFR";
    QTest::newRow("firmware") << 0 << "pushButton_bootLoaderFile";
    QTest::newRow("logo, Chinese") << 1 << "pushButton_logo";
}

void WindowTests::withoutHeaterEveryButtonSaysSo()
{
    QFETCH(int, language);
    QFETCH(QString, button);
    f.setLanguage(language);
    f.setTexts({"lineEdit_dark"}, {"5"});
    f.pick(writeFile("image.bin", "image"));
    f.click(button);
    QVERIFY(!f.boxes.isEmpty());
    for (const QString &box : f.takeBoxes())
        QCOMPARE(box, language ? QString("Warn: USB打开失败，请确保USB线正确连接")
                               : QString("Warn: Open usb failed. Please check the usb device"));
    QCOMPARE(f.text("lineEdit_dark"), QString("5"));
    QCOMPARE(f.text("label_29"), QString());
}

// For a heater this user may not open the home page says what korvane-cli status
// says, or the same in Chinese, and forgets it once the heater is gone.
void WindowTests::arrivalGreetsAndReadsTheHeater()
{
    f.bus.attachUnopenable(WindowFixture::heaterPath);
    QTRY_VERIFY(f.shown("homeProblemLabel"));
    const QString english = "permission denied on " + WindowFixture::heaterPath +
                            ": install the udev rule 70-korvane.rules, then unplug the heater and plug it in again";
    QCOMPARE(f.text("homeProblemLabel"), english);
    f.click("radioButton");
    QCOMPARE(f.text("homeProblemLabel"), "没有权限打开设备 " + WindowFixture::heaterPath +
                                             "：请安装 udev 规则 70-korvane.rules，然后拔下设备再重新插上");
    f.click("radioButton_2");
    QCOMPARE(f.text("homeProblemLabel"), english);
    f.bus.detach(WindowFixture::heaterPath);
    QTRY_VERIFY(!f.shown("homeProblemLabel"));
    QVERIFY(linkShown(false));

    QVERIFY(f.replug());
    QVERIFY(linkShown(true));
    const QList<int> codes = f.codesSinceMark();
    QCOMPARE(codes.first(), 0x72);
    QVERIFY(codes.contains(0x81));
    QCOMPARE(f.text("lineEdit_power"), QString("20"));

    // Another device's arrival makes the window greet the heater again; its
    // removal only looks whether the heater is still there.
    f.mark();
    f.bus.attach(keyboardPath, std::make_shared<SimDevice>(), 0x046d, 0xc31c);
    QVERIFY(QTest::qWaitFor([this] { return f.codesSinceMark().contains(0x81); }));
    QCOMPARE(f.codesSinceMark().first(), 0x72);
    const int opens = f.bus.openAttempts().size();
    f.mark();
    f.bus.detach(keyboardPath);
    QVERIFY(QTest::qWaitFor([&] { return f.bus.openAttempts().size() > opens; }));
    QVERIFY(f.waitForRefreshes(1));
    QCOMPARE(f.bus.openCount(), 1);
    QCOMPARE(f.codesSinceMark(), QList<int>());
    QVERIFY(linkShown(true));
}

// Each button says who holds the heater and sends nothing; the home page says it
// too until the other program lets go, then the heater is greeted anew.
void WindowTests::aHeaterHeldByAnotherProgramIsLeftAlone()
{
    f.bus.shareWithOtherPrograms(true); // from the next open on
    QVERIFY(f.replug());
    qputenv("KORVANE_LOCK_WAIT_MS", "50");
    const QString lockFile = HeaterLock::lockFile(WindowFixture::heaterPath);
    QFile::remove(lockFile); // what an earlier run's holder wrote there
    QProcess other;
    other.start("flock", {lockFile, "sh", "-c", "printf 'korvane-cli\\n4242\\n' >\"$0\"; read line", lockFile});
    QTRY_COMPARE(HeaterLock(WindowFixture::heaterPath, 0).holder(), QString("korvane-cli, pid 4242"));
    f.mark();
    for (const char *button : {"pushButton_get", "pushButton_set", "pushButton_getTCR", "pushButton_setTCR",
                               "pushButton_getTFR", "pushButton_setTFR"}) {
        f.click(button);
        QCOMPARE(f.takeBoxes(), QStringList("Warn: The heater is busy: korvane-cli, pid 4242"));
    }
    QTRY_COMPARE(f.text("homeProblemLabel"), QString("the heater is busy: korvane-cli, pid 4242"));
    QVERIFY(f.shown("homeProblemLabel"));
    QCOMPARE(f.codesSinceMark(), QList<int>());
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QTRY_VERIFY(!f.shown("homeProblemLabel"));
    QCOMPARE(f.codesSinceMark().value(0), 0x72);
    qunsetenv("KORVANE_LOCK_WAIT_MS");
    f.bus.shareWithOtherPrograms(false);
}

void WindowTests::logo_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("content"); // of the file picked; "-": the dialog is cancelled
    QTest::addColumn<QString>("box");        // its title, then its text around the path
    QTest::addColumn<QByteArray>("logo");    // what the heater took
    QTest::newRow("more than 512 bytes") << 0 << logoText(40) << "Path: Send  file %1 success " << counting(512);
    QTest::newRow("one group, Chinese") << 1 << logoText(1, 0x40) << "路径: 发送文件 %1 成功" << counting(16, 0x40);
    QTest::newRow("empty file") << 0 << QByteArray("") << "Warn: You select %1. Its size should be in [1,512]"
                                << QByteArray();
    // Sent, these would erase the heater's logo.
    QTest::newRow("FIFO") << 0 << QByteArray("fifo") << "Warn: The file %1 is not a regular file" << QByteArray();
    QTest::newRow("no groups, Chinese") << 1 << QByteArray("{ 0x01}{0x}{{") << "警告: 文件%1中没有开机画面数据"
                                        << QByteArray();
    QTest::newRow("cancelled") << 0 << QByteArray("-") << "Path: You dont select any files" << QByteArray();
    QTest::newRow("heater gone half way") << 0 << logoText(32) << "failed: Send  file %1 failed" << QByteArray();
}

void WindowTests::logo()
{
    QFETCH(int, language);
    QFETCH(QByteArray, content);
    QFETCH(QString, box);
    QFETCH(QByteArray, logo);
    f.setLanguage(language);
    f.click("homeUserButton");
    f.find("label_16")->hide();
    QFile::remove("fifo");
    const QString path = content == "-" ? QString()
                         : content == "fifo"
                             ? (mkfifo("fifo", 0600) == 0 ? QDir::current().absoluteFilePath("fifo") : "")
                             : writeFile("logo.txt", content);
    f.pick(path);
    const bool vanishing = box.startsWith("failed");
    if (vanishing)
        f.heater().vanishAfter(3);
    f.mark();
    f.click("pushButton_logo");
    QCOMPARE(f.takeBoxes(), QStringList(box.arg(path)));
    if (!path.isEmpty())
        QCOMPARE(f.text("lineEdit_2"), path);
    if (!logo.isEmpty())
        QCOMPARE(f.heater().logo(), logo);
    else if (!vanishing)
        QCOMPARE(f.codesSinceMark(), QList<int>());
    else
        QVERIFY(!f.heater().logoComplete());
    QCOMPARE(f.shown("label_16"), !logo.isEmpty());
    if (vanishing)
        QVERIFY(f.replug());
}

// A heater that can only take firmware holds the window on the firmware page;
// the home page offers only the upgrade entry. It takes the image picked there.
void WindowTests::firmwareUpgrade()
{
    f.click("homeUserButton");
    QVERIFY(f.replug(true, true));
    auto *pages = f.find<QStackedWidget>("stackedWidget");
    QCOMPARE(pages->currentIndex(), 2);
    QVERIFY(!f.shown("tabWidget_2"));
    QVERIFY(!f.enabled("pushButton_setting") && !f.enabled("pushButton_user") && f.enabled("pushButton_updateBoot"));
    f.click("pushButton_home");
    QVERIFY(f.waitForRefreshes());
    QVERIFY(f.find("homeBackground")->isVisible());
    QVERIFY(!f.enabled("homeSettingButton") && !f.enabled("homeUserButton") && f.enabled("homeUpgradeButton"));
    f.click("homeUpgradeButton");
    QVERIFY(pages->isVisible());
    QCOMPARE(pages->currentIndex(), 2);

    // 2500 bytes: two full pages of 18 reports and a last one of 8, between the start and the end report.
    const int transferReports = 46;
    QByteArray image(2500, '\0');
    for (char &byte : image)
        byte = char(QRandomGenerator::global()->bounded(256));
    const QString path = writeFile("firmware.bin", image);
    f.pick(path);
    f.mark();
    // The writer thread is held just before its tenth report until released.
    static QSemaphore held, released; // outlive the test: the writer may wake after it ends
    static int writes;
    writes = 0;
    released.acquire(released.available());
    const auto gate = QObject::connect(
        f.window()->protocol()->port(), &Usb::writeData, f.window(),
        [&](const QByteArray &) {
            if (QThread::currentThread() != qApp->thread() && ++writes == 10) {
                held.release();
                released.tryAcquire(1, 10000);
            }
        },
        Qt::DirectConnection);
    const auto openGate = [gate] {
        QObject::disconnect(gate);
        released.release();
    };
    const auto openAtEnd = qScopeGuard(openGate); // also when a check fails while the writer is held
    f.click("pushButton_bootLoaderFile");
    QCOMPARE(f.text("lineEdit"), path);

    // Held after nine accepted reports: the next pass shows how far it got.
    QVERIFY(held.tryAcquire(1, 10000));
    QVERIFY(f.waitForRefreshes(1));
    QCOMPARE(f.find<QProgressBar>("progressBar")->value(), 9 * 100 / transferReports);
    QVERIFY(f.shown("label_17") && !f.shown("label_20") && !f.shown("label_7"));
    // A second pick leaves the running transfer alone.
    f.pick(writeFile("other.bin", "other"));
    f.click("pushButton_bootLoaderFile");
    QCOMPARE(f.takeBoxes(), QStringList("Warn: A firmware upgrade is running. Wait until it has ended."));
    QCOMPARE(f.text("lineEdit"), path);

    openGate();
    QTRY_COMPARE(f.find<QProgressBar>("progressBar")->value(), 100);
    QVERIFY(f.heater().firmwareComplete());
    QCOMPARE(f.heater().firmware(), image);
    QCOMPARE(f.heater().problems(), QStringList());
    QCOMPARE(f.codesSinceMark().size(), transferReports);
    QTRY_VERIFY(f.shown("label_20"));
    QVERIFY(!f.shown("label_17") && !f.shown("label_7"));
}

void WindowTests::failedUpgrade_data()
{
    QTest::addColumn<QByteArray>("image"); // "-": the dialog is cancelled
    QTest::addColumn<int>("fault");        // on the fifth report; -1: the heater is unplugged there
    QTest::addColumn<QString>("box");
    QTest::newRow("empty file") << QByteArray("") << 0 << "Warn: The size for file %1 is zero";
    QTest::newRow("cancelled") << QByteArray("-") << 0 << QString();
    QTest::newRow("refused with status 3") << QByteArray(3000, 'x') << int(SimDevice::Status) << QString();
    QTest::newRow("unplugged") << QByteArray(3000, 'x') << -1 << QString();
}

void WindowTests::failedUpgrade()
{
    QFETCH(QByteArray, image);
    QFETCH(int, fault);
    QFETCH(QString, box);
    if (fault != 0)
        QVERIFY(f.replug(true, true));
    f.click("homeUpgradeButton");
    const QString path = image == "-" ? QString() : writeFile("firmware.bin", image);
    f.pick(path);
    if (fault < 0)
        f.heater().vanishAfter(5);
    else if (fault > 0)
        f.heater().inject(5, SimDevice::Fault(fault), 3);
    f.mark();
    f.click("pushButton_bootLoaderFile");
    QCOMPARE(f.takeBoxes(), box.isEmpty() ? QStringList() : QStringList(box.arg(path)));
    if (fault == 0) {
        QCOMPARE(f.codesSinceMark(), QList<int>());
        return;
    }
    QTRY_VERIFY(f.shown("label_7"));
    QVERIFY(!f.shown("label_17") && !f.shown("label_20"));
    QVERIFY(!f.heater().firmwareComplete());
    if (fault > 0)
        return;
    // The removal took the window home once, and the page still tells of the failure.
    QTRY_VERIFY(f.find("homeBackground")->isVisible());
    QTRY_VERIFY(linkShown(false));
    QVERIFY(f.replug(true, true));
    f.click("homeUpgradeButton");
    QVERIFY(f.waitForRefreshes());
    QVERIFY(f.find("label_7")->isVisible());
}
