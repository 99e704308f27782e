#include "app/form.h"
#include "app/homepage.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"

#include <QtTest>

// The periodic refresh: what the window shows for each state of the link.
class TestRefresh : public QObject
{
    Q_OBJECT

private slots:
    void notConnected();
    void connected();
    void upgradeOnlyHoldsFirmwarePage();
    void upgradeOnlyWithLinkClosed();
    void removalReturnsHomeOnce();
    void removalWithoutPendingReturn();
    void upgradeLabels_data();
    void upgradeLabels();
    void normalStateHoldsProgressAtZero();
    void tabsShownUntilUserPageOpened();
    void temperatureModeMirrorsPower();
    void steadyStateTouchesNoWidget();
};

namespace {

// The four home-page indicator widgets and the two captions of the top bar.
void verifyLinkView(const WindowFixture &f, bool connected)
{
    const HomeWidgets &home = f.window()->homePage()->widgets();
    QCOMPARE(!home.homeConnectedIcon->isHidden(), connected);
    QCOMPARE(!home.homeConnectedCaption->isHidden(), connected);
    QCOMPARE(!home.homeDisconnectedIcon->isHidden(), !connected);
    QCOMPARE(!home.homeDisconnectedCaption->isHidden(), !connected);
    QCOMPARE(f.ui()->pushButton_connect->isEnabled(), connected);
    QCOMPARE(!f.ui()->pushButton_2->isHidden(), connected);
    QCOMPARE(!f.ui()->pushButton_6->isHidden(), !connected);
}

// Entries and top-bar buttons: settings and user, against upgrade.
void verifyEntries(const WindowFixture &f, bool upgradeOnly)
{
    const HomeWidgets &home = f.window()->homePage()->widgets();
    QCOMPARE(home.homeSettingButton->isEnabled(), !upgradeOnly);
    QCOMPARE(home.homeUserButton->isEnabled(), !upgradeOnly);
    QCOMPARE(home.homeUpgradeButton->isEnabled(), upgradeOnly);
    QCOMPARE(f.ui()->pushButton_setting->isEnabled(), !upgradeOnly);
    QCOMPARE(f.ui()->pushButton_user->isEnabled(), !upgradeOnly);
    QCOMPARE(f.ui()->pushButton_updateBoot->isEnabled(), upgradeOnly);
}

} // namespace

void TestRefresh::notConnected()
{
    WindowFixture f;
    QVERIFY(f.waitForRefreshes());
    verifyLinkView(f, false);
    verifyEntries(f, false);
    QVERIFY(f.window()->homePage()->widgets().homeBackground->isVisible());
}

void TestRefresh::connected()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    QVERIFY(f.window()->protocol()->isOpen());
    QCOMPARE(linkState.load(), 64);
    QVERIFY(f.waitForRefreshes());
    verifyLinkView(f, true);
    verifyEntries(f, false);
}

void TestRefresh::upgradeOnlyHoldsFirmwarePage()
{
    WindowFixture f("0", WindowFixture::Device::Upgrading);
    QCOMPARE(linkState.load(), 2);
    const HomeWidgets &home = f.window()->homePage()->widgets();
    home.homeUpgradeButton->click();
    QVERIFY(f.waitForRefreshes());
    verifyLinkView(f, true);
    verifyEntries(f, true);
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 2);
    QVERIFY(f.ui()->tabWidget_2->isHidden());

    // Another page is undone at the next refresh.
    f.window()->tabSetting();
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 3);
    QTRY_COMPARE(f.ui()->stackedWidget->currentIndex(), 2);
    QVERIFY(f.ui()->tabWidget_2->isHidden());

    // The home page can still be opened, and offers only the upgrade entry.
    f.ui()->pushButton_home->click();
    QVERIFY(f.waitForRefreshes());
    QVERIFY(home.homeBackground->isVisible());
    verifyEntries(f, true);
}

void TestRefresh::upgradeOnlyWithLinkClosed()
{
    WindowFixture f;
    linkState = 2;
    QVERIFY(f.waitForRefreshes());
    verifyLinkView(f, false);
    verifyEntries(f, true);
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 2);
}

void TestRefresh::removalReturnsHomeOnce()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    const HomeWidgets &home = f.window()->homePage()->widgets();
    home.homeUserButton->click();
    f.ui()->label_16->show();
    f.ui()->pushButton_setting->setEnabled(false);
    f.ui()->pushButton_home->setEnabled(false);

    f.window()->protocol()->close();
    returnHomePending = 1;
    deviceRemoved = 1;
    QTRY_COMPARE(returnHomePending.load(), 0);
    QVERIFY(home.homeBackground->isVisible());
    QVERIFY(f.ui()->widget->isHidden());
    QCOMPARE(linkState.load(), 0);
    QVERIFY(f.ui()->label_16->isHidden());
    QVERIFY(f.ui()->label_21->isHidden());
    QVERIFY(f.ui()->pushButton_home->isEnabled());
    QVERIFY(f.ui()->pushButton_setting->isEnabled());
    QVERIFY(f.ui()->tabWidget_2->isEnabled());
    verifyLinkView(f, false);

    // Once only: the next visit to another page stays.
    home.homeUserButton->click();
    QVERIFY(f.waitForRefreshes());
    QVERIFY(home.homeBackground->isHidden());
}

void TestRefresh::removalWithoutPendingReturn()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    f.window()->homePage()->widgets().homeUserButton->click();
    f.window()->protocol()->close();
    linkState = 64;
    deviceRemoved = 1;
    QTRY_COMPARE(linkState.load(), 0);
    QVERIFY(f.window()->homePage()->widgets().homeBackground->isHidden());
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 1);
}

void TestRefresh::upgradeLabels_data()
{
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("ok");
    QTest::addColumn<QString>("shown"); // the one label shown, empty for none

    QTest::newRow("running") << 50 << 1 << "label_17";
    QTest::newRow("first percent") << 1 << 1 << "label_17";
    QTest::newRow("last percent") << 99 << 1 << "label_17";
    QTest::newRow("finished") << 100 << 1 << "label_20";
    QTest::newRow("failed at 0") << 0 << 0 << "label_7";
    QTest::newRow("failed at 40") << 40 << 0 << "label_7";
    QTest::newRow("failed at 100") << 100 << 0 << "label_7";
    QTest::newRow("not started keeps") << 0 << 1 << "label_20";
}

void TestRefresh::upgradeLabels()
{
    QFETCH(int, progress);
    QFETCH(int, ok);
    QFETCH(QString, shown);
    WindowFixture f("0", WindowFixture::Device::Upgrading);
    // What stands before the row: the finished label.
    f.window()->setUpgradeState(1);
    upgradeOk = ok;
    upgradeProgress = progress;
    QVERIFY(f.waitForRefreshes());
    QCOMPARE(f.ui()->progressBar->value(), progress);
    for (QLabel *label : {f.ui()->label_17, f.ui()->label_20, f.ui()->label_7})
        QCOMPARE(!label->isHidden(), label->objectName() == shown);
}

void TestRefresh::normalStateHoldsProgressAtZero()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    upgradeProgress = 60;
    QTRY_COMPARE(upgradeProgress.load(), 0);
    QCOMPARE(f.ui()->progressBar->value(), 0);
}

void TestRefresh::tabsShownUntilUserPageOpened()
{
    WindowFixture f;
    f.window()->on_click_main_update();
    QVERIFY(f.ui()->tabWidget_2->isHidden());
    QTRY_VERIFY(!f.ui()->tabWidget_2->isHidden());

    f.window()->on_click_main_user();
    f.window()->tabUpdate();
    QVERIFY(f.waitForRefreshes());
    QVERIFY(f.ui()->tabWidget_2->isHidden());
}

void TestRefresh::temperatureModeMirrorsPower()
{
    WindowFixture f;
    f.ui()->lineEdit_overshootPower->setText("7");
    f.ui()->lineEdit_power->setText("30");
    QVERIFY(f.waitForRefreshes());
    QCOMPARE(f.ui()->lineEdit_overshootPower->text(), QString("7"));

    tcModeFlag = 1;
    QTRY_COMPARE(f.ui()->lineEdit_overshootPower->text(), QString("30"));
    QTest::keyClicks(f.ui()->lineEdit_power, ".5");
    QTRY_COMPARE(f.ui()->lineEdit_overshootPower->text(), QString("30.5"));

    tcModeFlag = 0;
    f.ui()->lineEdit_power->setText("12");
    QVERIFY(f.waitForRefreshes());
    QCOMPARE(f.ui()->lineEdit_overshootPower->text(), QString("30.5"));
}

// Counts the show, hide and enable changes of every widget.
class WidgetChanges : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::EnabledChange:
        case QEvent::UpdateRequest:
            ++count;
            break;
        default:
            break;
        }
        return false;
    }
};

void TestRefresh::steadyStateTouchesNoWidget()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    tcModeFlag = 1;
    f.ui()->lineEdit_power->setText("20");
    QVERIFY(f.waitForRefreshes(20));
    WidgetChanges changes;
    qApp->installEventFilter(&changes);
    QVERIFY(f.waitForRefreshes(100));
    qApp->removeEventFilter(&changes);
    QCOMPARE(changes.count, 0);
}

QTEST_MAIN(TestRefresh)
#include "tst_refresh.moc"
