#pragma once

#include <memory>

class MainWindow;

// The program's window as the entry point brings it up: titled and shown.
std::unique_ptr<MainWindow> launchMainWindow();
