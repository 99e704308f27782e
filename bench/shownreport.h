#pragma once

class QApplication;
class QWidget;

// For the start-up probes: once the window is exposed, prints "shown" and the
// peak resident memory of the process in KiB, and leaves the event loop.
void reportWhenShown(QApplication &app, const QWidget &window);
