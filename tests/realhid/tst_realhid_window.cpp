#include "app/form.h"
#include "app/homepage.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "tests/realhid/heaterscript.h"
#include "tests/realhid/hidrawnode.h"
#include "tests/realhid/testbed.h"

#include <QtTest>

// The window over the code every user runs, hidapi's hidraw backend and the
// libudev monitor, on hidraw nodes that umockdev emulates and plugs and
// unplugs while the window runs: it starts on the heater, loses it with the
// cable, and takes it up again on the node it comes back as, reading its
// settings into the pages.
class TestRealHidWindow : public QObject
{
    Q_OBJECT

private slots:
    void followsTheCable();
};

void TestRealHidWindow::followsTheCable()
{
    if (!Testbed::active())
        QSKIP("not under umockdev-wrapper (Debian package umockdev): no emulated hidraw node to test on");
    QTemporaryDir runtime;
    qunsetenv("KORVANE_DEVICE");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const auto shown = [](const MainWindow &window, bool connected) {
        const HomeWidgets &home = window.homePage()->widgets();
        return home.homeConnectedIcon->isVisibleTo(home.homeBackground) == connected &&
               home.homeDisconnectedIcon->isHidden() == connected &&
               window.form()->pushButton_connect->isEnabled() == connected;
    };
    Testbed bed;
    HeaterScript first;
    first.expect(HeaterScript::request(0x72));
    QVERIFY2(bed.plug({0, 0x046d, 0xc31c}), qPrintable(bed.error()));
    QVERIFY2(bed.plug({1}, &first), qPrintable(bed.error()));
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    QCOMPARE(linkState.load(), 64);
    QTRY_VERIFY_WITH_TIMEOUT(shown(*window, true), 10000);

    bed.unplug({1});
    QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 2, 10000);
    QCOMPARE(window->protocol()->isOpen(), 0);
    QCOMPARE(linkState.load(), 0);
    QCOMPARE(deviceRemoved.load(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(shown(*window, false), 10000);

    // The handshake, then a read of every page; each basic page reads the work mode too.
    HeaterScript second;
    second.heater().setSetting(1, QByteArray::fromHex("01f400fa03e8")); // 50.0 W
    second.heater().setSetting(2, QByteArray::fromHex("1770"));         // 60 s
    for (int code : {0x72, 0x86, 0x86, 0x82, 0x81, 0x84, 0x85, 0x82})
        second.expect(HeaterScript::request(code));
    QVERIFY2(bed.plug({2}, &second), qPrintable(bed.error()));
    QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 1, 10000);
    QCOMPARE(linkState.load(), 64);
    QCOMPARE(window->form()->lineEdit_power->text(), QString("50"));
    QCOMPARE(window->form()->lineEdit_dark->text(), QString("60"));
    QTRY_VERIFY_WITH_TIMEOUT(shown(*window, true), 10000);
}

QTEST_MAIN(TestRealHidWindow)
#include "tst_realhid_window.moc"
