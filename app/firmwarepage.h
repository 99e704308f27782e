#pragma once

#include <functional>

class PageHost;
class QFileDialog;
class QLineEdit;
class QProgressBar;
class QString;
class writefile;

// The form's widgets the upgrade page drives.
struct FirmwareWidgets
{
    QLineEdit *lineEdit = nullptr; // the picked image
    QProgressBar *progressBar = nullptr;
    QFileDialog *dialog = nullptr; // the window's one dialog, which a removal closes
};

// The upgrade page's pick and hand-over: the user picks a .bin image, the page
// reads it whole and gives it to the writer thread. Progress and outcome reach
// the page through the window's refresh.
class FirmwarePage
{
public:
    // showUpgradeState: the window's upgrade captions, 0 running.
    FirmwarePage(PageHost &host, const FirmwareWidgets &widgets, writefile *writer,
                 std::function<void(int)> showUpgradeState)
        : host(host), w(widgets), writer(writer), showUpgradeState(std::move(showUpgradeState))
    {}

    void sendFile();

private:
    bool refuseWhileSending() const;
    bool pickImage(QString *path) const;
    void handOver(const QString &path) const;

    PageHost &host;
    FirmwareWidgets w;
    writefile *writer;
    std::function<void(int)> showUpgradeState;
};
