#pragma once

class QCoreApplication;

// The window's own options, --help and --version. Qt's (-platform, -style, ...)
// are taken by the application object before these are looked at.
class WindowCommandLine
{
public:
    // True when the command line asks for --help or --version: those are
    // answered without reaching the window system, so they work without a display.
    static bool asksForText(int argc, char *argv[]);
    // -1 when the window is to open, else the exit status after the help, the
    // version or the complaint about the command line was printed.
    static int answer(const QCoreApplication &app);
};
