#pragma once

#include "sim/simbus.h"

#include <QByteArray>
#include <QVariant>
#include <memory>

class MainWindow;
class SimDevice;

namespace Ui {
class MainWindow;
}

// The window brought up as the program does it, over a simulated bus, with the
// process-wide state at its start values, no language remembered yet and
// language.txt as given (the window takes it over).
class WindowFixture
{
public:
    enum class Device { None, Normal, Upgrading };

    // languageFile: the content of language.txt, nullptr for no file.
    explicit WindowFixture(const char *languageFile = "0", Device device = Device::None);
    ~WindowFixture();
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    MainWindow *window() const { return win.get(); }
    Ui::MainWindow *ui() const;
    // Returns once the refresh has run at least this many more times.
    bool waitForRefreshes(int passes = 3);
    // How often the refresh has run since the window was made.
    int refreshPasses() const;

    static void resetProcessState();
    static void writeLanguageFile(const char *content);
    // The file's content, or a null array when there is none.
    static QByteArray languageFile();
    // The language the settings remember, invalid when none.
    static QVariant rememberedLanguage();

    SimBus bus;
    std::shared_ptr<SimDevice> device;

private:
    std::unique_ptr<MainWindow> win;
    class PassCounter;
    std::unique_ptr<PassCounter> counter;
};

// One window kept over the rows of checks that only look, so a table of rows
// does not build a window per row. Only one fixture may live at a time: release
// it before any other test builds its own.
class SharedWindow
{
public:
    WindowFixture &get(const QByteArray &languageFile);
    void release();

private:
    QByteArray file;
    std::unique_ptr<WindowFixture> fixture;
};
