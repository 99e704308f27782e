#pragma once

class PageHost;
class QLabel;
class QLineEdit;
class QString;
class QWidget;

// The form's widgets the logo page drives.
struct LogoWidgets
{
    QWidget *window = nullptr;       // the parent of the file dialog
    QLineEdit *lineEdit_2 = nullptr; // the picked logo
    QLabel *label_16 = nullptr;      // shown once a logo has been sent
};

// The logo page: the user picks a logo text file and the page sends it to the
// device on the GUI thread, telling the outcome in a box.
class LogoPage
{
public:
    LogoPage(PageHost &host, const LogoWidgets &widgets) : host(host), w(widgets) {}

    void sendLogo();

private:
    bool pickLogo(QString *path) const;
    void send(const QString &path) const;
    void tell(const char *title, const char *chineseTitle, const QString &text) const;

    PageHost &host;
    LogoWidgets w;
};
