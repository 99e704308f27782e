// Renders the window's main views to PNG files, against the simulated heater,
// so the pictures show what a user with a device sees. Usage: korvane-screenshots DIR
// (run it on the offscreen platform; tools/screenshots/render does).

#include "app/form.h"
#include "app/languagesettings.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "link/heaterlock.h"
#include "sim/simbus.h"
#include "sim/simdevice.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// Lets the refresh run and the screen paint.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
}

// A box would wait for a click that never comes.
void dismissModalBoxes(QObject *owner)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    timer->start(20);
}

const QString heaterPath = "/dev/hidraw-sim0";

// The heater lock held by another process, as korvane-cli would hold it.
class ForeignHold
{
public:
    explicit ForeignHold(const QString &lockFile)
    {
        process.start("flock", {lockFile, "sh", "-c", "printf 'korvane-cli\\n4242\\n' >\"$0\"; read line", lockFile});
        QFile file(lockFile);
        for (int tries = 0; tries < 100 && !held; ++tries) {
            QThread::msleep(20);
            held = file.open(QIODevice::ReadOnly) && file.readAll() == "korvane-cli\n4242\n";
            file.close();
        }
    }
    ~ForeignHold()
    {
        process.closeWriteChannel();
        process.waitForFinished(5000);
    }
    bool holding() const { return held; }

private:
    QProcess process;
    bool held = false;
};

class Renderer
{
public:
    explicit Renderer(const QString &directory) : out(directory) {}

    std::unique_ptr<MainWindow> open(int language, bool upgrading)
    {
        LanguageSettings::write(language);
        device->setUpgradeState(upgrading);
        auto window = launchMainWindow();
        settle();
        return window;
    }

    bool save(MainWindow *window, const char *name)
    {
        settle();
        const QString path = out.filePath(name);
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }

    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();

private:
    QDir out;
};

} // namespace

int main(int argc, char *argv[])
{
    // The remembered language goes into a scratch folder, not the user's settings.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvane-screenshots DIR\n");
        return 2;
    }
    const QString target = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(target);
    dismissModalBoxes(&app);

    SimBus bus;
    Renderer renderer(target);
    bus.attach(heaterPath, renderer.device);
    bool ok = true;

    ok &= renderer.save(renderer.open(1, false).get(), "home-zh.png");

    auto window = renderer.open(0, false);
    ok &= renderer.save(window.get(), "home-en.png");
    // As the home page's entry opens them: over the logo page.
    window->on_click_main_setting();
    const char *const tabs[] = {"parameters-basic.png", "parameters-tcr.png", "parameters-tfr.png"};
    for (int tab = 0; tab < 3; ++tab) {
        window->form()->tabWidget_2->setCurrentIndex(tab);
        ok &= renderer.save(window.get(), tabs[tab]);
    }
    window->on_click_main_user();
    ok &= renderer.save(window.get(), "logo.png");
    window.reset();

    window = renderer.open(0, true);
    window->on_click_main_update();
    upgradeProgress = 42;
    ok &= renderer.save(window.get(), "upgrade.png");
    window.reset();

    bus.shareWithOtherPrograms(true);
    qputenv("KORVANE_LOCK_WAIT_MS", "50");
    {
        const ForeignHold other(HeaterLock::lockFile(heaterPath));
        ok &= other.holding() && renderer.save(renderer.open(0, false).get(), "home-busy.png");
    }
    bus.shareWithOtherPrograms(false);

    bus.detach(heaterPath);
    bus.attachUnopenable(heaterPath);
    ok &= renderer.save(renderer.open(0, false).get(), "home-permission.png");
    return ok ? 0 : 1;
}
