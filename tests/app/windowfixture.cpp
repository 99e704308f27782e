#include "tests/app/windowfixture.h"

#include "app/form.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "sim/simdevice.h"

#include <QFile>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {
const char languageFileName[] = "language.txt";
const char settingsName[] = "korvane";
const char languageKey[] = "language";
} // namespace

// Counts the expiries of the window's refresh timer.
class WindowFixture::PassCounter : public QObject
{
public:
    int passes = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            ++passes;
        return false;
    }
};

WindowFixture::WindowFixture(const char *languageFile, Device kind) : counter(std::make_unique<PassCounter>())
{
    resetProcessState();
    QSettings(settingsName, settingsName).remove(languageKey);
    writeLanguageFile(languageFile);
    if (kind != Device::None) {
        device = std::make_shared<SimDevice>();
        device->setUpgradeState(kind == Device::Upgrading);
        bus.attach("/dev/hidraw-sim0", device);
    }
    win = launchMainWindow();
    win->findChild<QTimer *>("refreshTimer")->installEventFilter(counter.get());
}

WindowFixture::~WindowFixture() = default;

Ui::MainWindow *WindowFixture::ui() const
{
    return win->form();
}

int WindowFixture::refreshPasses() const
{
    return counter->passes;
}

bool WindowFixture::waitForRefreshes(int passes)
{
    const int target = counter->passes + passes;
    return QTest::qWaitFor([&] { return counter->passes >= target; });
}

void WindowFixture::resetProcessState()
{
    linkState = 0;
    deviceRemoved = 0;
    deviceEvent = 0;
    returnHomePending = 0;
    fileDialogOpen = 0;
    tcModeFlag = 0;
    upgradeProgress = 0;
    upgradeOk = 1;
    upgradeStarted = 0;
}

void WindowFixture::writeLanguageFile(const char *content)
{
    QFile::remove(languageFileName);
    if (!content)
        return;
    QFile file(languageFileName);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QByteArray WindowFixture::languageFile()
{
    QFile file(languageFileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    return content.isNull() ? QByteArray("") : content;
}

QVariant WindowFixture::rememberedLanguage()
{
    return QSettings(settingsName, settingsName).value(languageKey);
}

WindowFixture &SharedWindow::get(const QByteArray &languageFile)
{
    if (!fixture || languageFile != file) {
        fixture.reset();
        file = languageFile;
        fixture = std::make_unique<WindowFixture>(file.constData());
    }
    return *fixture;
}

void SharedWindow::release()
{
    fixture.reset();
}
