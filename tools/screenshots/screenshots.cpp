// Renders the window's main views to PNG files, against the simulated heater,
// so the pictures show what a user with a device sees. Usage: korvane-screenshots DIR
// (run it on the offscreen platform; tools/screenshots/render does).

#include "app/form.h"
#include "app/languagesettings.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "sim/simbus.h"
#include "sim/simdevice.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
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
    bus.attach("/dev/hidraw-sim0", renderer.device);
    bool ok = true;

    ok &= renderer.save(renderer.open(1, false).get(), "home-zh.png");

    auto window = renderer.open(0, false);
    ok &= renderer.save(window.get(), "home-en.png");
    window->on_click_main_setting();
    window->tabSetting();
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
    return ok ? 0 : 1;
}
