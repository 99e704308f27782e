#pragma once

#include <QString>
#include <functional>

class PageHost;
class QComboBox;
class QLabel;
class QPushButton;
class QRect;
class QWidget;

// The widgets of the home page. The background, the three entries, the link
// label and the language combo are children of the window; the others are
// children of the background.
struct HomeWidgets
{
    QWidget *homeBackground = nullptr;
    QPushButton *homeTopIcon = nullptr;
    QPushButton *homeConnectedIcon = nullptr;
    QPushButton *homeDisconnectedIcon = nullptr;
    QPushButton *homeUpgradeButton = nullptr;
    QPushButton *homeSettingButton = nullptr;
    QPushButton *homeUserButton = nullptr;
    QPushButton *homeConnectedCaption = nullptr;
    QPushButton *homeDisconnectedCaption = nullptr;
    QPushButton *homeUpgradeCaption = nullptr;
    QPushButton *homeSettingCaption = nullptr;
    QPushButton *homeUserCaption = nullptr;
    QPushButton *homeLinkIcon = nullptr;
    QLabel *homeLinkLabel = nullptr;
    QComboBox *languageCombo = nullptr;
    // Why the heater that is there is not in use; hidden while there is nothing to say.
    QLabel *homeProblemLabel = nullptr;
};

// What the home page's entries and language combo ask the window to do.
struct HomeActions
{
    std::function<void()> upgrade;
    std::function<void()> setting;
    std::function<void()> user;
    std::function<void(int)> language; // the index chosen in the combo
};

// The start view, built in code over the form the first time it is shown. Its
// widgets carry their member names as object names.
class HomePage
{
public:
    // host: the window's language.
    HomePage(QWidget *window, const PageHost &host, HomeActions actions)
        : window(window), host(host), actions(std::move(actions))
    {}

    // Builds the page in the given language on first use, then shows its widgets.
    void show(int language);
    void hide();
    // The background and the link label: what a language change shows again.
    void showBackdrop();
    void showLinkState(bool connected);
    // Says why the heater is not in use (empty: nothing to say), now or once
    // the page is built, in the window's language.
    void showProblem(const QString &english, const QString &chinese);
    // Says it again after a language switch.
    void showProblemInLanguage();
    void setUpgradeOnly(bool upgradeOnly);
    void setComboTexts(int language);

    const HomeWidgets &widgets() const { return w; }

private:
    void build(int language);
    QPushButton *picture(const char *name, const char *image, const QRect &geometry, bool flat);
    QPushButton *entry(const char *name, const char *image, const QRect &geometry, const std::function<void()> &action);

    QWidget *window;
    const PageHost &host;
    HomeActions actions;
    HomeWidgets w;
    QString problemEnglish;
    QString problemChinese;
};
