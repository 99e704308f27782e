#include "app/form.h"
#include "app/homepage.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "app/writefile.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "tests/app/windowfixture.h"
#include "tests/hotplug/dialoganswers.h"
#include "tests/hotplug/helpers.h"
#include "tests/realhid/heaterscript.h"
#include "tests/realhid/hidrawnode.h"
#include "tests/realhid/testbed.h"

#include <QtTest>

// The window over the code every user runs: hidapi's hidraw backend and the
// libudev monitor, on hidraw nodes that umockdev emulates and plugs and
// unplugs while the window runs.
class TestRealHidWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void followsTheCable();
    void removalEndsAFirmwareTransferAsFailed();

private:
    QTemporaryDir runtime;
};

namespace {

constexpr int BoundMs = 10000;

// What the window sends when a heater arrives: the handshake, then a read of
// every page (the work mode is read by each basic page read as well).
QList<QByteArray> arrival()
{
    QList<QByteArray> reports{HeaterScript::handshake()};
    for (int code : {0x86, 0x86, 0x82, 0x81, 0x84, 0x85, 0x82})
        reports << HeaterScript::readRequest(code);
    return reports;
}

bool connectedShown(const MainWindow &window)
{
    const HomeWidgets &home = window.homePage()->widgets();
    return home.homeConnectedIcon->isVisibleTo(home.homeBackground) &&
           home.homeDisconnectedIcon->isHidden() && window.form()->pushButton_connect->isEnabled();
}

bool disconnectedShown(const MainWindow &window)
{
    const HomeWidgets &home = window.homePage()->widgets();
    return home.homeDisconnectedIcon->isVisibleTo(home.homeBackground) && home.homeConnectedIcon->isHidden() &&
           !window.form()->pushButton_connect->isEnabled();
}

} // namespace

void TestRealHidWindow::initTestCase()
{
    if (!Testbed::active())
        QSKIP("not under umockdev-wrapper (Debian package umockdev): no emulated hidraw node to test on");
    // The hidraw backend whatever the caller's shell chose; the window locks the
    // heater's node, and its lock file stays out of every other run's way.
    qunsetenv("KORVANE_DEVICE");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
}

void TestRealHidWindow::init()
{
    WindowFixture::resetProcessState();
    WindowFixture::writeLanguageFile("0");
}

// Starts on the heater, loses it with the cable, and takes it up again on
// the node it comes back as, reading its settings into the pages.
void TestRealHidWindow::followsTheCable()
{
    Testbed bed;
    HeaterScript first;
    first.expect(HeaterScript::handshake());
    QVERIFY2(bed.plug(HidrawNode::keyboard(0)), qPrintable(bed.error()));
    QVERIFY2(bed.plug(HidrawNode::heater(1), &first), qPrintable(bed.error()));
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    QCOMPARE(linkState.load(), 64);
    QVERIFY(window->protocol()->isOpen() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(connectedShown(*window), BoundMs);

    bed.unplug(HidrawNode::heater(1));
    QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 2, BoundMs);
    QCOMPARE(window->protocol()->isOpen(), 0);
    QCOMPARE(linkState.load(), 0);
    QCOMPARE(deviceRemoved.load(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(disconnectedShown(*window), BoundMs);

    HeaterScript second;
    second.heater().setSetting(1, QByteArray::fromHex("01f400fa03e8")); // 50.0 W
    second.heater().setSetting(2, QByteArray::fromHex("1770"));         // 60 s
    second.expect(arrival());
    QVERIFY2(bed.plug(HidrawNode::heater(2), &second), qPrintable(bed.error()));
    QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 1, BoundMs);
    QCOMPARE(linkState.load(), 64);
    QVERIFY(window->protocol()->isOpen() > 0);
    QCOMPARE(window->form()->lineEdit_power->text(), QString("50"));
    QCOMPARE(window->form()->lineEdit_dark->text(), QString("60"));
    QTRY_VERIFY_WITH_TIMEOUT(connectedShown(*window), BoundMs);
}

// The heater answers slowly enough for the cable to go in the middle of the
// image; the transfer ends as failed and the window goes home, nothing hangs.
void TestRealHidWindow::removalEndsAFirmwareTransferAsFailed()
{
    const QByteArray image = QByteArray("\x00\x01^\n\r\x7f\x80\xff firmware", 17).repeated(300);
    HeaterScript script(20);
    script.heater().setUpgradeState(true);
    script.expect(HeaterScript::handshake());
    script.expect(HeaterScript::firmware(image));
    Testbed bed;
    QVERIFY2(bed.plug(HidrawNode::heater(0), &script), qPrintable(bed.error()));
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    QCOMPARE(linkState.load(), 2);
    window->on_click_main_update();
    DialogAnswers answers;
    answers.pick(writeFile("firmware.bin", image));
    window->form()->pushButton_bootLoaderFile->click();

    QTRY_VERIFY_WITH_TIMEOUT(upgradeProgress >= 10, BoundMs);
    QVERIFY(upgradeProgress < 100);
    bed.unplug(HidrawNode::heater(0));
    QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 2, BoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(window->firmwareWriter()->isFinished(), BoundMs);
    QCOMPARE(upgradeOk.load(), 0);
    QCOMPARE(linkState.load(), 0);
    QCOMPARE(deviceRemoved.load(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(disconnectedShown(*window), BoundMs);
    QVERIFY(window->homePage()->widgets().homeBackground->isVisible());
    window->on_click_main_update();
    QTRY_VERIFY_WITH_TIMEOUT(!window->form()->label_7->isHidden(), BoundMs); // "Update failed!"
    QVERIFY(window->form()->label_20->isHidden());
    QCOMPARE(answers.boxes.count(), 0);
}

QTEST_MAIN(TestRealHidWindow)
#include "tst_realhid_window.moc"
