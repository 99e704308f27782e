// The program's start-up as its entry point runs it, for the start-up
// benchmark: once the window is exposed, prints "shown" and the peak resident
// memory of the process in KiB, and leaves.
#include "app/launch.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <sys/resource.h>

namespace {

void reportWhenExposed(QApplication &app, const MainWindow &window)
{
    if (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        QTimer::singleShot(0, &app, [&app, &window] { reportWhenExposed(app, window); });
        return;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("shown %ld\n", usage.ru_maxrss);
    std::fflush(stdout);
    app.quit();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    reportWhenExposed(app, *window);
    return app.exec();
}
