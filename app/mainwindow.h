#pragma once

#include "app/pagehost.h"
#include "link/devicelistener.h"

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>

class BasicParameterPage;
class CoilTablePage;
class HomePage;
class Protocol;
class QCloseEvent;
class QFileDialog;
class QTimer;
class writefile;

namespace Ui {
class MainWindow;
}

// The program's one window: the form, the home page, the navigation between
// the views and the refresh that keeps them in step with the device link.
class MainWindow : public QMainWindow, public DeviceListener, public PageHost
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The whole form, for tests and tools; each page gets only its own widgets.
    Ui::MainWindow *form() const { return ui; }
    // What the pages ask of the window.
    Protocol *protocol() const override { return protocolObject; }
    // Made on first use: building a file dialog is a good part of a start-up.
    QFileDialog *firmwareDialog();
    // The firmware writer thread, made on first use and kept until the window goes.
    writefile *firmwareWriter();
    const HomePage *homePage() const { return home.get(); }
    int currentLanguage() const override { return language; }
    // What the device monitor asks of the window.
    void reopenLink() override;
    int greetHeater() override;
    void closeLink() override;
    void readAllParameters() override;
    void closeFileDialog() override;
    // 0 upgrade running, 1 finished, 2 failed; any other value hides all three.
    void setUpgradeState(int state);
    // The unit beside the temperature and compensation fields: 1 ℉, otherwise ℃.
    void updateUnitLabels(int unitIndex);
    // Range checks of the parameter pages; the first failure's message goes into the page's label.
    bool checkBasic();
    bool checkTCR();
    bool checkTFR();
    // The outcome of a save in the page's label; each returns ok.
    bool showSaveResult(bool ok);
    bool showTcrResult(bool ok);
    bool showTfrResult(bool ok);

    int loadLanguage();
    void saveLanguage(int value);
    void applyLanguage();

public slots:
    void sendFile();
    void setTCR();
    void getTCR();
    void setTFR();
    void getTFR();
    void TFRInit();
    void TCRInit();
    void baseValidatorInit();
    void get_screen_timeout();
    void set_screen_timeout();
    void getWorkMode();
    void set_work_mode();
    void getPower();
    void setPower();
    void sendLogo();
    void onSetValue(int32_t value);
    void onWriteText(QByteArray data);
    void onReadText(QByteArray data);
    void tabLink();
    void tabUpdate();
    void tabSetting();
    void tabUser();
    void typeChange(int index);
    void update1();
    void tabUser1();
    void followvalue();
    void cut();
    void copy();
    void paste();
    void valuechanged();

public:
    // Connected in code. Named like the form's automatic connections, which
    // they do not match, so as slots they would make setupUi warn about each.
    void on_click_home();
    void on_click_main_user();
    void on_click_main_update();
    void on_click_main_setting();
    void on_workmode_change(int index);
    void on_change_lan(int index);

private slots:
    // The form connects this one by name as well: one click runs it twice.
    void on_radioButton_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void on_radioButton_clicked2(); // connected in code, like those above
    void makePages();
    void addClipboardActions();
    void connectControls();
    void applyConstructorStyling();
    void styleFrame();
    void showFrame();
    void refreshSoon();
    void switchLanguageTo(int target);
    void showLinkIndicators(bool open);
    void showAccessProblem();
    void probeHeater();
    void showRemoved();
    void holdUpgradePage();
    void showNormalState();
    void showUpgradeProgress();
    bool stopWriterThread();
    bool mayEndTransfer();

    QFileDialog *fileDialog = nullptr;
    Protocol *protocolObject = nullptr;
    QTimer *refreshTimer = nullptr;
    bool heaterBusy = false; // another program held the heater at the last look
    bool refreshPending = false;
    Ui::MainWindow *ui = nullptr;
    bool userPageOpened = false;
    writefile *writerThread = nullptr;
    QString heldPowerText;
    std::unique_ptr<HomePage> home;
    std::unique_ptr<BasicParameterPage> basicPage;
    std::unique_ptr<CoilTablePage> coilPage;
    int language = 0;
};

// The one MainWindow of the program, for the device monitor.
extern MainWindow *mainWindowInstance;
