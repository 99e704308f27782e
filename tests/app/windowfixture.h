#pragma once

#include "sim/simbus.h"

#include <QAbstractButton>
#include <QEvent>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <memory>
#include <utility>

class MainWindow;

// Counts the events of the given types that reach the objects it filters.
class EventCounter : public QObject
{
public:
    explicit EventCounter(QList<QEvent::Type> types) : types(std::move(types)) {}
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += types.contains(event->type());
        return false;
    }

private:
    QList<QEvent::Type> types;
};

// The one window the window tests share, brought up as the program does it over
// a simulated bus that holds a heater in normal operation. Tests find widgets by
// object name, as a user finds them by sight. Message boxes are recorded
// ("title: text") and answered; file dialogs get the file picked, or are cancelled.
class WindowFixture
{
public:
    static const QString heaterPath;

    WindowFixture();
    ~WindowFixture();

    MainWindow *window() const { return win.get(); }
    template <class T = QWidget> T *find(const QString &name) const
    {
        return qobject_cast<T *>(find(name, T::staticMetaObject));
    }
    void click(const QString &button) { find<QAbstractButton>(button)->click(); }
    QString text(const QString &name) const { return find(name)->property("text").toString(); }
    QStringList texts(const QStringList &names) const;
    void setTexts(const QStringList &names, const QStringList &texts);
    bool shown(const QString &name) const { return !find(name)->isHidden(); }
    bool enabled(const QString &name) const { return find(name)->isEnabled(); }
    void setLanguage(int language) { find("languageCombo")->setProperty("currentIndex", language); }

    // Returns once the refresh has run this many more times.
    bool waitForRefreshes(int passes = 2);
    int refreshPasses() const { return refreshes.count; }

    SimDevice &heater() const { return *device; }
    // Unplugs the heater, then plugs in a new one unless told not to, and waits
    // until the window has greeted it.
    bool replug(bool plugIn = true, bool upgrading = false);
    void mark() { marked = device->reportCount(); } // remembers how many reports the heater has had
    QList<int> codesSinceMark() const;              // their command bytes since mark()

    void pick(const QString &path) { picked = path; } // empty cancels

    SimBus bus;
    QStringList boxes;
    QStringList takeBoxes() { return std::exchange(boxes, {}); } // else the test's cleanup finds them
    QMessageBox::StandardButton answer = QMessageBox::NoButton;  // else the box's first button

private:
    QWidget *find(const QString &name, const QMetaObject &type) const;
    void answerModal();

    std::shared_ptr<SimDevice> device;
    std::unique_ptr<MainWindow> win;
    QTimer watcher;
    QString picked;
    int marked = 0;
    EventCounter refreshes{{QEvent::Timer}}; // of the window's refresh timer
};

// The window tests, one area to a file, run in this order on the one window.
class WindowTests : public QObject
{
    Q_OBJECT

public:
    explicit WindowTests(WindowFixture &fixture) : f(fixture) {}

private slots:
    void init();
    void cleanup();
    // tst_window.cpp: the window as a whole
    void startsOnTheHomePageInTheSystemLanguage();
    void hiddenViewsTakeTheirSheetsWhenShown();
    void languages_data();
    void languages();
    void tabsHideThePageUnderThem();
    void clipboard_data();
    void clipboard();
    void startAndClose_data();
    void startAndClose();
    // pages/parameters.cpp: the parameter tabs
    void basicTab_data();
    void basicTab();
    void typing_data();
    void typing();
    void unitChange_data();
    void unitChange();
    void workModeChangeRereadsEveryTab();
    void coefficientTables_data();
    void coefficientTables();
    void failedReadKeepsTheFieldsAndHoldsTheSave_data();
    void failedReadKeepsTheFieldsAndHoldsTheSave();
    // refresh.cpp: the refresh
    void refreshSleepsWhenIdleAndShowsChanges();
    // hotplug/device.cpp: the heater coming and going, firmware and logo
    void removalShowsAtTheNextPass();
    void withoutHeaterEveryButtonSaysSo_data();
    void withoutHeaterEveryButtonSaysSo();
    void arrivalGreetsAndReadsTheHeater();
    void aHeaterHeldByAnotherProgramIsLeftAlone();
    void logo_data();
    void logo();
    void firmwareUpgrade();
    void failedUpgrade_data();
    void failedUpgrade();

private:
    void enterMode(int mode);
    bool linkShown(bool connected);

    WindowFixture &f;
};
