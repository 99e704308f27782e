#pragma once

class MainWindow;
class QString;

// The upgrade page's pick and hand-over: the user picks a .bin image, the page
// reads it whole and gives it to the writer thread. Progress and outcome reach
// the page through the window's refresh.
class FirmwarePage
{
public:
    explicit FirmwarePage(MainWindow *window) : window(window) {}

    void sendFile();

private:
    bool refuseWhileSending() const;
    bool pickImage(QString *path) const;
    void handOver(const QString &path) const;

    MainWindow *window;
};
