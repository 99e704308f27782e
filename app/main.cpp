#include "app/launch.h"
#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::unique_ptr<MainWindow> window = launchMainWindow();
    return app.exec();
}
