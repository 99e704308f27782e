#include "app/form.h"
#include "app/homepage.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"
#include "tests/hotplug/dialoganswers.h"
#include "tests/hotplug/helpers.h"
#include "tests/support/logcapture.h"

#include <QFileDialog>
#include <QLabel>
#include <QtTest>

// The device monitor: HID interfaces coming and going on the simulated bus, as
// the window sees them.
class TestHotplug : public QObject
{
    Q_OBJECT

private slots:
    void arrivalOfTheHeater_data();
    void arrivalOfTheHeater();
    void arrivalOfAnotherDeviceRehandshakes();
    void removalOfAnotherDeviceKeepsTheLink();
    void removalOfTheHeater();
    void removalClosesTheFirmwareDialog_data();
    void removalClosesTheFirmwareDialog();
    void removalReturnsHomeOnceAfterTheDialog();
    void aHeaterThisUserMayNotOpenSaysHowToFixIt();
};

namespace {

const QString heaterPath = "/dev/hidraw-sim0";
const QString keyboardPath = "/dev/hidraw-kbd";

// Power mode 50.0 W, preheat 25.0 W for 1 s; screen timeout 60 s.
const QByteArray powerSetting = QByteArray::fromHex("01f400fa03e8");
const QByteArray timeoutSetting = QByteArray::fromHex("1770");

// Plugs a device in and waits until the window has handled the arrival.
bool plug(WindowFixture &f, const QString &path, const std::shared_ptr<SimDevice> &device,
          uint16_t vendorId = SimDevice::VendorId, uint16_t productId = SimDevice::ProductId)
{
    deviceEvent = 0;
    f.bus.attach(path, device, vendorId, productId);
    return QTest::qWaitFor([] { return deviceEvent == 1; });
}

bool plugKeyboard(WindowFixture &f)
{
    return plug(f, keyboardPath, std::make_shared<SimDevice>(), 0x046d, 0xc31c);
}

// Unplugs a device and waits until the window has handled the removal.
bool unplug(WindowFixture &f, const QString &path)
{
    deviceEvent = 0;
    f.bus.detach(path);
    return QTest::qWaitFor([] { return deviceEvent == 2; });
}

bool homeShown(const WindowFixture &f)
{
    return f.window()->homePage()->widgets().homeBackground->isVisible() && f.ui()->stackedWidget->isHidden();
}

} // namespace

void TestHotplug::arrivalOfTheHeater_data()
{
    QTest::addColumn<bool>("upgrading");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("pagesRead");

    QTest::newRow("normal operation") << false << false << 64 << true;
    QTest::newRow("upgrade state") << true << false << 2 << false;
    QTest::newRow("no answer to the handshake") << false << true << -1 << false;
}

void TestHotplug::arrivalOfTheHeater()
{
    QFETCH(bool, upgrading);
    QFETCH(bool, silent);
    QFETCH(int, state);
    QFETCH(bool, pagesRead);

    WindowFixture f;
    DialogAnswers answers;
    QCOMPARE(linkState.load(), -1);
    LogCapture log;
    auto heater = std::make_shared<SimDevice>();
    heater->setUpgradeState(upgrading);
    heater->setSetting(1, powerSetting);
    heater->setSetting(2, timeoutSetting);
    if (silent)
        heater->inject(1, SimDevice::Stall);
    QVERIFY(plug(f, heaterPath, heater));

    QCOMPARE(linkState.load(), state);
    QCOMPARE(deviceEvent.load(), 1);
    QVERIFY(log.contains(" add usb device"));
    QVERIFY(log.contains(QString("what is fa %1").arg(state)));
    QCOMPARE(reportCodes(*heater, 0).first(), 0x72);
    QCOMPARE(heater->reportCount() > 1, pagesRead);
    QCOMPARE(f.ui()->lineEdit_power->text(), pagesRead ? QString("50") : QString());
    QCOMPARE(f.ui()->lineEdit_dark->text().isEmpty(), !pagesRead);
    QCOMPARE(answers.boxes.count(), 0);
    QVERIFY(f.waitForRefreshes());
    // A handshake whose answer never came leaves the link as the reopen made it.
    QVERIFY(f.window()->homePage()->widgets().homeConnectedIcon->isVisible());
    QCOMPARE(f.ui()->stackedWidget->currentIndex() == 2, upgrading);
}

void TestHotplug::arrivalOfAnotherDeviceRehandshakes()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    const int before = f.device->reportCount();
    const int opens = f.bus.openAttempts().count(heaterPath);
    LogCapture log;
    QVERIFY(plugKeyboard(f));

    QCOMPARE(f.bus.openAttempts().count(heaterPath), opens + 1);
    QVERIFY(f.window()->protocol()->isOpen());
    QCOMPARE(f.bus.openCount(), 1);
    const QList<int> codes = reportCodes(*f.device, before);
    QCOMPARE(codes.value(0), 0x72);
    QVERIFY(codes.contains(0x81)); // the pages were read again
    QCOMPARE(linkState.load(), 64);
    QCOMPARE(deviceEvent.load(), 1);
    QVERIFY(log.contains("what is fa 64"));
}

void TestHotplug::removalOfAnotherDeviceKeepsTheLink()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    QVERIFY(plugKeyboard(f));
    const int handle = f.window()->protocol()->isOpen();
    const int reports = f.device->reportCount();
    const int opens = f.bus.openAttempts().count(heaterPath);
    LogCapture log;
    QVERIFY(unplug(f, keyboardPath));

    QVERIFY(log.contains(" remove usb device"));
    QCOMPARE(f.bus.openAttempts().count(heaterPath), opens + 1); // the presence check
    QCOMPARE(f.bus.openCount(), 1);                              // ... gave its handle back
    QCOMPARE(f.window()->protocol()->isOpen(), handle);
    QCOMPARE(f.device->reportCount(), reports);
    QCOMPARE(linkState.load(), 64);
    QCOMPARE(deviceEvent.load(), 2);
    QCOMPARE(deviceRemoved.load(), 0);
}

void TestHotplug::removalOfTheHeater()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    f.window()->on_click_main_update();
    LogCapture log;
    QVERIFY(unplug(f, heaterPath));

    QVERIFY(log.contains(" remove usb device"));
    QCOMPARE(f.window()->protocol()->isOpen(), 0);
    QCOMPARE(f.bus.openCount(), 0);
    QCOMPARE(deviceRemoved.load(), 1);
    QCOMPARE(linkState.load(), 0);
    QCOMPARE(deviceEvent.load(), 2);
    QVERIFY(f.waitForRefreshes());
    const HomeWidgets &home = f.window()->homePage()->widgets();
    QVERIFY(home.homeDisconnectedIcon->isVisibleTo(home.homeBackground));
    QVERIFY(home.homeConnectedIcon->isHidden());
    QVERIFY(!f.ui()->pushButton_connect->isEnabled());
    QVERIFY(f.ui()->pushButton_setting->isEnabled());
    // No firmware dialog was opened, so the window stays where it was.
    QVERIFY(!homeShown(f));
}

void TestHotplug::removalClosesTheFirmwareDialog_data()
{
    QTest::addColumn<QString>("unplugged");
    QTest::addColumn<bool>("linkStays");

    QTest::newRow("the heater") << heaterPath << false;
    QTest::newRow("another device") << keyboardPath << true;
}

void TestHotplug::removalClosesTheFirmwareDialog()
{
    QFETCH(QString, unplugged);
    QFETCH(bool, linkStays);

    WindowFixture f("0", WindowFixture::Device::Normal);
    QVERIFY(plugKeyboard(f));
    f.window()->on_click_main_update();
    DialogAnswers answers; // cancels what the removal leaves open
    const int reports = f.device->reportCount();
    bool openWhenUnplugged = false;
    answers.onNextOpen([&] {
        openWhenUnplugged = fileDialogOpen == 1;
        f.bus.detach(unplugged);
    });
    f.ui()->pushButton_bootLoaderFile->click();

    QVERIFY(openWhenUnplugged);
    QCOMPARE(fileDialogOpen.load(), 0);
    QVERIFY(!f.window()->firmwareDialog()->isVisible());
    QCOMPARE(answers.dialogs().size(), 1);
    QCOMPARE(answers.answered(), 0); // the removal closed it
    QCOMPARE(answers.boxes.count(), 0);
    QCOMPARE(f.device->reportCount(), reports);
    QCOMPARE(f.window()->protocol()->isOpen() > 0, linkStays);
}

void TestHotplug::removalReturnsHomeOnceAfterTheDialog()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    f.window()->on_click_main_update();
    DialogAnswers answers;
    f.ui()->pushButton_bootLoaderFile->click(); // cancelled
    QCOMPARE(returnHomePending.load(), 1);
    QVERIFY(f.waitForRefreshes());
    QVERIFY(!homeShown(f));

    QVERIFY(unplug(f, heaterPath));
    QVERIFY(f.waitForRefreshes());
    QVERIFY(homeShown(f));
    QCOMPARE(returnHomePending.load(), 0);

    f.window()->on_click_main_update();
    QVERIFY(plugKeyboard(f));
    QVERIFY(unplug(f, keyboardPath));
    QVERIFY(f.waitForRefreshes());
    QVERIFY(!homeShown(f));
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 2);
}

// The home page says what korvane-cli status says, or the same in Chinese, and
// forgets it once the heater is gone.
void TestHotplug::aHeaterThisUserMayNotOpenSaysHowToFixIt()
{
    WindowFixture f;
    LogCapture quiet;
    const QLabel *problem = f.window()->homePage()->widgets().homeProblemLabel;
    QVERIFY(problem->isHidden());

    deviceEvent = 0;
    f.bus.attachUnopenable(heaterPath);
    QVERIFY(QTest::qWaitFor([] { return deviceEvent == 1; }));
    QTRY_VERIFY(problem->isVisible());
    const QString english = "permission denied on " + heaterPath +
                            ": install the udev rule 70-korvane.rules, then unplug the heater and plug it in again";
    QCOMPARE(problem->text(), english);
    f.ui()->radioButton->click();
    QCOMPARE(problem->text(),
             "没有权限打开设备 " + heaterPath + "：请安装 udev 规则 70-korvane.rules，然后拔下设备再重新插上");
    f.ui()->radioButton_2->click();
    QCOMPARE(problem->text(), english);

    QVERIFY(unplug(f, heaterPath));
    QTRY_VERIFY(problem->isHidden());
}

QTEST_MAIN(TestHotplug)
#include "tst_hotplug.moc"
