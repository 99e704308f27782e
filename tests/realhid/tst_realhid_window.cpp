#include "app/form.h"
#include "app/homepage.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "link/hidnotifier.h"
#include "protocol/protocol.h"
#include "tests/realhid/heaterscript.h"
#include "tests/support/writefile.h"

#include <QtTest>

// glib's headers use a word that Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <umockdev.h>
#pragma pop_macro("signals")

namespace {

// An umockdev testbed in this process, which runs under umockdev-wrapper.
struct Testbed
{
    Testbed() : bed(umockdev_testbed_new()) {}
    ~Testbed() { g_object_unref(bed); }
    // umockdev wants the ioctl record before the node and the script after it;
    // the window learns of the arrival only back in the event loop.
    bool plug(const HidrawNode &node, const HeaterScript *script = nullptr)
    {
        const QByteArray device = node.devicePath().toUtf8();
        const QString name = files.filePath(node.devicePath().section('/', -1));
        GError *failure = nullptr;
        bool ok = !writeFile(name + ".ioctl", node.ioctlRecord()).isEmpty() &&
                  umockdev_testbed_load_ioctl(bed, device, QFile::encodeName(name + ".ioctl"), &failure) &&
                  umockdev_testbed_add_from_string(bed, node.description(), &failure); // parents first
        if (ok && script)
            ok = !writeFile(name + ".script", script->text()).isEmpty() &&
                 umockdev_testbed_load_script(bed, device, QFile::encodeName(name + ".script"), &failure);
        if (failure)
            qWarning() << failure->message;
        g_clear_error(&failure);
        return ok;
    }
    // The node first, then its parents; removing announces nothing, so each is announced before it goes.
    void unplug(const HidrawNode &node)
    {
        const QStringList paths = node.sysPaths();
        for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
            umockdev_testbed_uevent(bed, path->toUtf8(), "remove");
            umockdev_testbed_remove_device(bed, path->toUtf8());
        }
    }
    UMockdevTestbed *bed;
    QTemporaryDir files;
};

} // namespace

// The window over hidapi and the libudev monitor: it starts on the heater,
// loses it with the cable, and takes it up on the node it comes back as.
class TestRealHidWindow : public QObject
{
    Q_OBJECT

private slots:
    void followsTheCable()
    {
        // umockdev_in_mock_environment() says no even under the wrapper, so look for what the wrapper does.
        if (!qEnvironmentVariable("LD_PRELOAD").contains("libumockdev-preload"))
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
        QVERIFY(bed.plug({0, 0x046d, 0xc31c}));
        QVERIFY(bed.plug({1}, &first));
        const std::unique_ptr<MainWindow> window = launchMainWindow();
        QSignalSpy arrived(HidBackend::current()->notifier(), &HidNotifier::arrived);
        QSignalSpy removed(HidBackend::current()->notifier(), &HidNotifier::removed);
        QCOMPARE(linkState.load(), 64);
        QTRY_VERIFY_WITH_TIMEOUT(shown(*window, true), 10000);

        bed.unplug({1});
        QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 2, 10000);
        QCOMPARE(window->protocol()->isOpen(), 0);
        QCOMPARE(linkState.load(), 0);
        QCOMPARE(deviceRemoved.load(), 1);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed[0][0].toString(), QString("/dev/hidraw1"));
        QCOMPARE(arrived.count(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(shown(*window, false), 10000);

        // The handshake, then a read of every page; each basic page reads the work mode too.
        HeaterScript second;
        second.heater().setSetting(1, QByteArray::fromHex("01f400fa03e8")); // 50.0 W
        second.heater().setSetting(2, QByteArray::fromHex("1770"));         // 60 s
        for (int code : {0x72, 0x86, 0x86, 0x82, 0x81, 0x84, 0x85, 0x82})
            second.expect(HeaterScript::request(code));
        QVERIFY(bed.plug({2}, &second));
        QTRY_COMPARE_WITH_TIMEOUT(deviceEvent.load(), 1, 10000);
        QCOMPARE(arrived.count(), 1);
        QCOMPARE(arrived[0][0].toString(), QString("/dev/hidraw2"));
        QCOMPARE(linkState.load(), 64);
        QCOMPARE(window->form()->lineEdit_power->text(), QString("50"));
        QCOMPARE(window->form()->lineEdit_dark->text(), QString("60"));
        QTRY_VERIFY_WITH_TIMEOUT(shown(*window, true), 10000);
    }
};

QTEST_MAIN(TestRealHidWindow)
#include "tst_realhid_window.moc"
