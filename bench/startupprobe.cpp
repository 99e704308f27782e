// The program's start-up as its entry point runs it, for the start-up
// benchmarks: reports once the window is exposed, and leaves.
#include "app/launch.h"
#include "app/mainwindow.h"
#include "bench/shownreport.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    leaveOpenGlUnloaded();
    QApplication app(argc, argv);
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    reportWhenShown(app, *window);
    return app.exec();
}
