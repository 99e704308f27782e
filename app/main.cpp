#include "app/launch.h"
#include "app/mainwindow.h"
#include "app/windowcommandline.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationVersion(KORVANE_VERSION);
    if (WindowCommandLine::asksForText(argc, argv)) {
        const QCoreApplication app(argc, argv);
        return WindowCommandLine::answer(app);
    }
    leaveOpenGlUnloaded();
    QApplication app(argc, argv);
    const int status = WindowCommandLine::answer(app);
    if (status >= 0)
        return status;
    app.setDesktopFileName("korvane");
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    return app.exec();
}
