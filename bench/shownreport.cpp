#include "bench/shownreport.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <sys/resource.h>

void reportWhenShown(QApplication &app, const QWidget &window)
{
    if (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        QTimer::singleShot(0, &app, [&app, &window] { reportWhenShown(app, window); });
        return;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("shown %ld\n", usage.ru_maxrss);
    std::fflush(stdout);
    app.quit();
}
