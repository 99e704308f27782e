#include "app/launch.h"

#include "app/mainwindow.h"

std::unique_ptr<MainWindow> launchMainWindow()
{
    auto window = std::make_unique<MainWindow>();
    window->setWindowTitle("Korvane");
    window->show();
    return window;
}
