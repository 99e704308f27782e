#pragma once

class MainWindow;
class QString;

// The logo page: the user picks a logo text file and the page sends it to the
// device on the GUI thread, telling the outcome in a box.
class LogoPage
{
public:
    explicit LogoPage(MainWindow *window) : window(window) {}

    void sendLogo();

private:
    bool pickLogo(QString *path) const;
    void send(const QString &path) const;
    void tell(const char *title, const char *chineseTitle, const QString &text) const;

    MainWindow *window;
};
