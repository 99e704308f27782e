#pragma once

#include <memory>

class MainWindow;

// Call before the QApplication is made. The window paints with the raster
// engine only, yet on X11 Qt loads the display's OpenGL driver with the first
// window: tens of milliseconds of start-up (far more with a software renderer),
// and errors over ssh -X. A QT_XCB_GL_INTEGRATION the user set is kept.
void leaveOpenGlUnloaded();

// The program's window as the entry point brings it up: titled and shown.
std::unique_ptr<MainWindow> launchMainWindow();
