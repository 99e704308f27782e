#include "app/form.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"

#include <QtTest>
#include <cstddef>
#include <functional>

// The refresh runs on every idle pass of the event loop, so a pass in which
// nothing changed must neither talk to the device nor allocate.
class TestRefreshCost : public QObject
{
    Q_OBJECT

private slots:
    void unchangedPass_data();
    void unchangedPass();
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

QTEST_MAIN(TestRefreshCost)
#include "tst_refreshcost.moc"
