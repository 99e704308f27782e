#pragma once

#include <QString>

class HeaterLock;
class Protocol;
class QLabel;

// What a page asks of the window that holds it: the device connection, the
// interface language, a fresh read of every page, and the boxes and labels
// through which every page speaks to the user in the same way.
class PageHost
{
public:
    virtual Protocol *protocol() const = 0;
    // 0 English, 1 Chinese.
    virtual int currentLanguage() const = 0;
    // Re-reads every settings page from the device.
    virtual void readAllParameters() = 0;

    // The text for the current language: 1 Chinese, otherwise English.
    QString byLanguage(const char *english, const char *chinese) const;
    // The one way the window shows a message box: an information box without
    // a parent and with one OK button.
    static void showInformation(const QString &title, const QString &text);
    // True when the link is open; otherwise tells the user and returns false.
    bool checkUsbOpen();
    // True when this window holds the heater; otherwise says who does and returns false.
    bool checkHeaterFree(const HeaterLock &heater);
    // A failed read in the page's label; the read that ends a run of failures
    // clears what they left there.
    void showReadOutcome(QLabel *label, bool failed, bool failedBefore, const char *failedEnglish,
                         const char *failedChinese) const;

protected:
    ~PageHost() = default;
};
