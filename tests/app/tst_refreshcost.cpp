#include "app/form.h"
#include "app/homepage.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"

#include <QtTest>
#include <cstddef>
#include <functional>

// The refresh runs once a frame for as long as the window is open: a pass in
// which nothing changed must neither talk to the device nor allocate, the event
// loop must sleep between passes, and whatever changed shows at the next pass.
class TestRefreshCost : public QObject
{
    Q_OBJECT

private slots:
    void unchangedPass_data();
    void unchangedPass();
    void idleWindowSleeps();
    void changeShowsAtNextPass_data();
    void changeShowsAtNextPass();
};

namespace {

thread_local bool counting = false;
thread_local int allocations = 0;

// Allocations of this thread while fn runs.
int allocationsDuring(const std::function<void()> &fn)
{
    allocations = 0;
    counting = true;
    fn();
    counting = false;
    return allocations;
}

} // namespace

// The C allocator's entry points, which Qt's strings and containers use as
// well as operator new. The sanitizer build keeps its own and counts nothing.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool allocationsCounted = false;
#else
constexpr bool allocationsCounted = true;

extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *memory, std::size_t size);

void *malloc(std::size_t size)
{
    allocations += counting;
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size)
{
    allocations += counting;
    return __libc_calloc(count, size);
}

void *realloc(void *memory, std::size_t size)
{
    allocations += counting;
    return __libc_realloc(memory, size);
}
}
#endif

void TestRefreshCost::unchangedPass_data()
{
    QTest::addColumn<int>("device"); // WindowFixture::Device
    QTest::addColumn<int>("temperatureMode");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("ok");
    QTest::addColumn<int>("removed");
    const int none = int(WindowFixture::Device::None);
    const int normal = int(WindowFixture::Device::Normal);
    const int upgrading = int(WindowFixture::Device::Upgrading);
    QTest::newRow("not connected") << none << 0 << 0 << 1 << 0;
    QTest::newRow("connected") << normal << 0 << 0 << 1 << 0;
    QTest::newRow("temperature mode mirrors the power") << normal << 1 << 0 << 1 << 0;
    QTest::newRow("upgrade running") << upgrading << 0 << 50 << 1 << 0;
    QTest::newRow("upgrade failed") << upgrading << 0 << 30 << 0 << 0;
    QTest::newRow("removed") << none << 0 << 0 << 1 << 1;
}

void TestRefreshCost::unchangedPass()
{
    QFETCH(int, device);
    QFETCH(int, temperatureMode);
    QFETCH(int, progress);
    QFETCH(int, ok);
    QFETCH(int, removed);
    WindowFixture f("0", WindowFixture::Device(device));
    f.ui()->lineEdit_power->setText("20");
    tcModeFlag = temperatureMode;
    upgradeProgress = progress;
    upgradeOk = ok;
    deviceRemoved = removed;
    QVERIFY(f.waitForRefreshes());
    const int reports = f.device ? f.device->reportCount() : 0;

    const int counted = allocationsDuring([&f] {
        for (int pass = 0; pass < 50; ++pass)
            f.window()->update1();
    });
    QCOMPARE(f.device ? f.device->reportCount() : 0, reports);
    if (!allocationsCounted)
        QSKIP("the sanitizer owns the allocator");
    QCOMPARE(counted, 0);
    // The count sees what Qt allocates.
    QString text;
    QVERIFY(allocationsDuring([&text] { text = QString::number(123456789); }) > 0);
}

void TestRefreshCost::idleWindowSleeps()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    QVERIFY(f.waitForRefreshes());
    const int before = f.refreshPasses();
    const int reports = f.device->reportCount();
    QEventLoop idle;
    QTimer::singleShot(1000, &idle, &QEventLoop::quit);
    idle.exec();
    // About sixty passes a second; a refresh on every idle pass of the loop
    // makes thousands.
    const int passes = f.refreshPasses() - before;
    QVERIFY2(passes <= 75, qPrintable(QString("%1 refresh passes in one idle second").arg(passes)));
    QVERIFY2(passes >= 10, qPrintable(QString("only %1 refresh passes in one second").arg(passes)));
    QCOMPARE(f.device->reportCount(), reports);
}

namespace {
enum class Change { Removal, UpgradeOnly, Progress, Failure, MirroredPower };
}

void TestRefreshCost::changeShowsAtNextPass_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("a removal switches the indicator") << int(Change::Removal);
    QTest::newRow("the upgrade state forces its page") << int(Change::UpgradeOnly);
    QTest::newRow("the progress bar moves") << int(Change::Progress);
    QTest::newRow("a failed upgrade shows its label") << int(Change::Failure);
    QTest::newRow("temperature mode mirrors the power") << int(Change::MirroredPower);
}

void TestRefreshCost::changeShowsAtNextPass()
{
    QFETCH(int, change);
    const bool upgrading = Change(change) == Change::Progress || Change(change) == Change::Failure;
    WindowFixture f("0", upgrading ? WindowFixture::Device::Upgrading : WindowFixture::Device::Normal);
    f.window()->on_click_main_user();
    tcModeFlag = 1;
    upgradeProgress = 10;
    QVERIFY(f.waitForRefreshes());
    const HomeWidgets &home = f.window()->homePage()->widgets();

    switch (Change(change)) {
    case Change::Removal:
        f.window()->protocol()->close();
        deviceRemoved = 1;
        break;
    case Change::UpgradeOnly:
        linkState = 2;
        break;
    case Change::Progress:
        upgradeProgress = 11;
        break;
    case Change::Failure:
        upgradeOk = 0;
        break;
    case Change::MirroredPower:
        QTest::keyClicks(f.ui()->lineEdit_power, "42");
        break;
    }
    QVERIFY(f.waitForRefreshes(1));

    switch (Change(change)) {
    case Change::Removal:
        QVERIFY(home.homeConnectedIcon->isHidden());
        QVERIFY(!home.homeDisconnectedIcon->isHidden());
        QVERIFY(!f.ui()->pushButton_connect->isEnabled());
        break;
    case Change::UpgradeOnly:
        QCOMPARE(f.ui()->stackedWidget->currentIndex(), 2);
        QVERIFY(!f.ui()->pushButton_setting->isEnabled());
        break;
    case Change::Progress:
        QCOMPARE(f.ui()->progressBar->value(), 11);
        break;
    case Change::Failure:
        QVERIFY(!f.ui()->label_7->isHidden());
        QVERIFY(f.ui()->label_17->isHidden());
        break;
    case Change::MirroredPower:
        QCOMPARE(f.ui()->lineEdit_overshootPower->text(), QString("42"));
        break;
    }
}

QTEST_MAIN(TestRefreshCost)
#include "tst_refreshcost.moc"
