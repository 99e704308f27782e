#include "app/mainwindow.h"

#include "app/basicparameterpage.h"
#include "app/clipboardactions.h"
#include "app/coilfields.h"
#include "app/coiltablepage.h"
#include "app/deferredstylesheets.h"
#include "app/firmwarepage.h"
#include "app/heaterproblemtext.h"
#include "app/homepage.h"
#include "app/languagesettings.h"
#include "app/languagetable.h"
#include "app/logopage.h"
#include "app/widgetstate.h"
#include "app/writefile.h"
#include "common/log.h"
#include "common/processstate.h"
#include "link/devicemonitor.h"
#include "link/heateraccess.h"
#include "link/heaterlock.h"
#include "link/usb.h"
#include "protocol/protocol.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

MainWindow *mainWindowInstance = nullptr;

namespace {

const char parameterButtonSheet[] =
    "QPushButton{background-color: qlineargradient(spread:repeat, x1:0, y1:1, x2:0, y2:0, stop:0 rgba(0, 100, 237, "
    "255), stop:1 rgba(255, 255, 255, 255));}QPushButton:pressed{background-color: qlineargradient(spread:repeat, "
    "x1:0, y1:1, x2:0, y2:0, stop:0 rgba(0, 0, 237, 255), stop:1 rgba(255, 255, 255, 255));}";
const char dropDownSheet[] = "QComboBox::drop-down {border-image:url(:/images/下拉.png)}";
// The form's own sheet for labels that show what lies behind them.
const char transparentSheet[] = "border-top:0px solid #e8f3f9;background:  transparent;";
// The sheets of the pages' and the parameter tabs' containers: set here rather
// than in the form, after the views a start-up does not show are put aside.
const char pageBackdropSheet[] = "image: url(:/images/背景.png);";
const char parameterTabsSheet[] = "border-top:0px solid #e8f3f9;background:  transparent;\n"
                                  "border-radius: 10px;\n"
                                  "background: qradialgradient(cx:0.5, cy:0.5, radius: 1,\n"
                                  "            fx:0.3, fy:0.8, stop:0 white, stop:1 rgba(0,110,200, 10%));\n"
                                  "font: 75 9pt \"微软雅黑\";";

// How long the destructor waits for a firmware transfer to give up once the
// link under it is closed; one exchange is bounded by the transport's read timeout.
constexpr unsigned long writerStopMs = 5000;

// One frame: every change the refresh shows appears within it, and between two
// passes the event loop sleeps, so an idle window costs no processor time.
constexpr int refreshIntervalMs = 16;

// How often the window looks whether another program has taken the heater or let it go.
constexpr int heaterProbeMs = 1000;
// The handshake answer's byte count in normal operation.
constexpr int normalAnswer = 64;

BasicParameterWidgets basicWidgets(Ui::MainWindow *ui, QWidget *window)
{
    BasicParameterWidgets basic;
    basic.window = window;
    basic.comboBox_workmode = ui->comboBox_workmode;
    basic.comboBox_temp = ui->comboBox_temp;
    basic.comboBox_type = ui->comboBox_type;
    basic.lineEdit_dark = ui->lineEdit_dark;
    basic.lineEdit_power = ui->lineEdit_power;
    basic.lineEdit_overshootPower = ui->lineEdit_overshootPower;
    basic.lineEdit_overshootTime = ui->lineEdit_overshootTime;
    basic.lineEdit_temp = ui->lineEdit_temp;
    basic.lineEdit_compensation_C = ui->lineEdit_compensation_C;
    basic.label_29 = ui->label_29;
    basic.label_27 = ui->label_27;
    basic.label_106 = ui->label_106;
    basic.label_21 = ui->label_21;
    return basic;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    loadLanguage();
    mainWindowInstance = this;
    protocolObject = new Protocol;
    protocolInstance = protocolObject;
    ui->setupUi(this);
    makePages();
    TFRInit();
    baseValidatorInit();
    LOG_TRACE() << "usb open" << protocolObject->isOpen();
    new DeviceMonitor(this, this);
    on_click_home();
    ui->lineEdit_temp->setEnabled(false);
    ui->lineEdit_compensation_C->setEnabled(false);
    ui->comboBox_type->setEnabled(false);
    refreshTimer = new QTimer(this);
    refreshTimer->setObjectName("refreshTimer");
    auto *heaterProbe = new QTimer(this);
    connect(heaterProbe, &QTimer::timeout, this, &MainWindow::probeHeater);
    heaterProbe->start(heaterProbeMs);
    connectControls();
    refreshTimer->start(refreshIntervalMs);
    ui->label_16->hide();
    ui->label_21->hide();
    setUpgradeState(3);
    addClipboardActions();
    applyConstructorStyling();
    applyLanguage();
    updateUnitLabels(ui->comboBox_temp->currentIndex());
}

MainWindow::~MainWindow()
{
    // The writer thread works on the Protocol object, so it has to end first.
    if (stopWriterThread()) {
        delete writerThread;
        delete protocolObject;
    }
    protocolInstance = nullptr;
    mainWindowInstance = nullptr;
    delete ui;
}

void MainWindow::makePages()
{
    HomeActions actions;
    actions.upgrade = [this] { on_click_main_update(); };
    actions.setting = [this] { on_click_main_setting(); };
    actions.user = [this] { on_click_main_user(); };
    actions.language = [this](int index) { on_change_lan(index); };
    home = std::make_unique<HomePage>(this, *this, std::move(actions));
    basicPage = std::make_unique<BasicParameterPage>(*this, basicWidgets(ui, this));
    coilPage =
        std::make_unique<CoilTablePage>(*this, CoilTableWidgets{CoilFields::tcr(ui->tab_9), CoilFields::tfr(ui->tab),
                                                                ui->label_TCR_msg, ui->label_TFR_msg});
}

bool MainWindow::stopWriterThread()
{
    if (!writerThread)
        return true;
    // A closed link makes the transfer's next exchange fail, so it ends within one exchange.
    if (writerThread->isRunning())
        protocolObject->close();
    if (writerThread->wait(writerStopMs))
        return true;
    LOG_WARN("firmware writer still running, link left open\n\n");
    return false;
}

void MainWindow::connectControls()
{
    connect(ui->pushButton_bootLoaderFile, &QPushButton::clicked, this, &MainWindow::sendFile);
    connect(ui->pushButton_get, &QPushButton::clicked, this, &MainWindow::getPower);
    connect(ui->pushButton_set, &QPushButton::clicked, this, &MainWindow::setPower);
    connect(ui->radioButton, &QRadioButton::clicked, this, &MainWindow::on_radioButton_clicked);
    connect(ui->radioButton_2, &QRadioButton::clicked, this, &MainWindow::on_radioButton_clicked2);
    connect(ui->pushButton_getTCR, &QPushButton::clicked, this, &MainWindow::getTCR);
    connect(ui->pushButton_setTCR, &QPushButton::clicked, this, &MainWindow::setTCR);
    connect(ui->pushButton_getTFR, &QPushButton::clicked, this, &MainWindow::getTFR);
    connect(ui->pushButton_setTFR, &QPushButton::clicked, this, &MainWindow::setTFR);
    connect(ui->pushButton_logo, &QPushButton::clicked, this, &MainWindow::sendLogo);
    connect(ui->comboBox_workmode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::on_workmode_change);
    connect(ui->comboBox_temp, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainWindow::typeChange);
    connect(protocolObject->port(), &Usb::writeData, this, &MainWindow::onWriteText);
    connect(protocolObject->port(), &Usb::readData, this, &MainWindow::onReadText);
    linkState = greetHeater();
    showAccessProblem();
    connect(ui->pushButton_home, &QPushButton::clicked, this, &MainWindow::on_click_home);
    connect(ui->pushButton_updateBoot, &QPushButton::clicked, this, &MainWindow::tabUpdate);
    connect(ui->pushButton_setting, &QPushButton::clicked, this, &MainWindow::tabSetting);
    connect(ui->pushButton_user, &QPushButton::clicked, this, &MainWindow::tabLink);
    connect(refreshTimer, &QTimer::timeout, this, &MainWindow::update1);
}

void MainWindow::applyConstructorStyling()
{
    for (QWidget *hiddenView : {ui->stackedWidgetPage1, ui->stackedWidgetPage2, ui->stackedWidgetPage3,
                                ui->stackedWidgetPage4, ui->tab_9, ui->tab})
        DeferredStyleSheets::deferUntilShown(hiddenView);
    ui->label_6->setOpenExternalLinks(true);
    // At start the home page lies over the whole frame, the parameter tabs included.
    DeferredStyleSheets::deferWhileCovered(ui->centralWidget, home->widgets().homeBackground, [this] { styleFrame(); });
}

void MainWindow::styleFrame()
{
    ui->stackedWidget->setStyleSheet(QString::fromUtf8(pageBackdropSheet));
    ui->tabWidget_2->setStyleSheet(QString::fromUtf8(parameterTabsSheet));
    QPushButton *const parameterButtons[] = {ui->pushButton_set,    ui->pushButton_get,    ui->pushButton_setTCR,
                                             ui->pushButton_getTCR, ui->pushButton_setTFR, ui->pushButton_getTFR};
    for (QPushButton *button : parameterButtons)
        button->setStyleSheet(QString::fromUtf8(parameterButtonSheet));
    ui->comboBox_workmode->setStyleSheet(QString::fromUtf8(dropDownSheet));
    ui->comboBox_temp->setStyleSheet(QString::fromUtf8(dropDownSheet));
    // The tabs' sheet fades to nearly transparent at the edges and the tabs lie
    // over the stacked pages, so the logo page would show through them: each
    // tab page gets a white base under that sheet. The base goes into the
    // palette the sheet has already set up.
    for (int i = 0; i < ui->tabWidget_2->count(); ++i) {
        QWidget *page = ui->tabWidget_2->widget(i);
        page->ensurePolished();
        QPalette base = page->palette();
        base.setColor(QPalette::Window, Qt::white);
        page->setPalette(base);
        page->setAutoFillBackground(true);
    }
    // Without a sheet of their own these take the group boxes' gradient and
    // draw it again as a box of their own size behind the labels.
    for (QWidget *plain :
         {ui->layoutWidget_2, static_cast<QWidget *>(ui->label_TCR_msg), static_cast<QWidget *>(ui->label_TFR_msg)})
        plain->setStyleSheet(QString::fromUtf8(transparentSheet));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (!mayEndTransfer())
        return;
    close();
    // Closing ends the program at once, also in the middle of a firmware transfer.
    // Static destructors are skipped on purpose: the writer thread may still be
    // inside the HID backend that they would tear down under it.
    std::fflush(nullptr);
    std::_Exit(0);
}

// A heater cut off in the middle of an image stays in its upgrade state until
// it gets a whole one: the user decides.
bool MainWindow::mayEndTransfer()
{
    if (!writerThread || !writerThread->isRunning())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        nullptr, "Warn",
        byLanguage("An upgrade is under way; closing now leaves the heater in its upgrade state, and it must be "
                   "upgraded again. Close anyway?",
                   "正在升级中；现在关闭会让设备停留在升级状态，必须重新升级。仍要关闭吗？"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

void MainWindow::setUpgradeState(int state)
{
    setShown(ui->label_17, state == 0);
    setShown(ui->label_20, state == 1);
    setShown(ui->label_7, state == 2);
}

void MainWindow::updateUnitLabels(int unitIndex)
{
    basicPage->updateUnitLabels(unitIndex);
}

// Navigation

void MainWindow::showFrame()
{
    ui->stackedWidget->show();
    ui->widget->show();
}

void MainWindow::tabLink()
{
    refreshSoon();
    ui->tabWidget_2->hide();
    ui->stackedWidget->setCurrentIndex(1);
}

void MainWindow::tabUpdate()
{
    refreshSoon();
    ui->tabWidget_2->hide();
    ui->stackedWidget->setCurrentIndex(2);
    setUpgradeState(3);
}

void MainWindow::tabSetting()
{
    refreshSoon();
    readAllParameters();
    ui->tabWidget_2->show();
    ui->stackedWidget->setCurrentIndex(3);
}

void MainWindow::tabUser()
{
    userPageOpened = true;
    ui->tabWidget_2->hide();
}

void MainWindow::tabUser1() {}

void MainWindow::on_click_main_user()
{
    LOG_TRACE() << "click tab link";
    userPageOpened = true;
    home->hide();
    showFrame();
    tabLink();
}

void MainWindow::on_click_main_update()
{
    home->hide();
    showFrame();
    tabUpdate();
}

void MainWindow::on_click_main_setting()
{
    LOG_TRACE() << "clicked setting";
    on_click_main_user();
    ui->tabWidget_2->show();
    readAllParameters();
}

void MainWindow::on_click_home()
{
    LOG_TRACE() << "language=" << language;
    refreshSoon();
    ui->tabWidget_2->setEnabled(true);
    ui->stackedWidget->hide();
    ui->widget->hide();
    home->show(language);
}

// Refresh

// A view just shown may hold what the refresh takes back (the home page shows
// both link icons, the upgrade state holds its page), so a pass follows at once
// instead of up to a frame later; several requests before it make one pass.
void MainWindow::refreshSoon()
{
    if (refreshPending)
        return;
    refreshPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshPending = false;
            update1();
        },
        Qt::QueuedConnection);
}

void MainWindow::update1()
{
    const bool open = protocolObject->isOpen() != 0;
    showLinkIndicators(open);
    if (!open && deviceRemoved == 1)
        showRemoved();
    if (tcModeFlag) {
        valuechanged();
        followvalue();
    }
    if (linkState == 2)
        holdUpgradePage();
    else
        showNormalState();
    showUpgradeProgress();
}

void MainWindow::showLinkIndicators(bool open)
{
    home->showLinkState(open);
    setActive(ui->pushButton_connect, open);
    setShown(ui->pushButton_2, open);
    setShown(ui->pushButton_6, !open);
}

// A heater that is there but not in use says why on the home page, in the
// words korvane-cli uses (or in Chinese): this user may not open it, or
// another program holds it.
void MainWindow::showAccessProblem()
{
    if (protocolObject->isOpen()) {
        probeHeater();
        return;
    }
    heaterBusy = false;
    const HeaterAccess::Finding found = HeaterAccess::find();
    if (found.problem == HeaterAccess::Missing)
        home->showProblem(QString(), QString());
    else
        home->showProblem(HeaterProblemText::of(found, 0), HeaterProblemText::of(found, 1));
}

// Another program may take the heater, or let it go, at any time. Once it is
// free again the window greets it as if it had just been plugged in.
void MainWindow::probeHeater()
{
    if (!protocolObject->isOpen())
        return;
    const HeaterLock heater(*protocolObject->port(), 0);
    if (!heater.held()) {
        heaterBusy = true;
        home->showProblem(HeaterProblemText::of(heater, 0), HeaterProblemText::of(heater, 1));
        return;
    }
    if (!heaterBusy)
        return;
    heaterBusy = false;
    home->showProblem(QString(), QString());
    linkState = protocolObject->handshake();
    if (linkState == normalAnswer)
        readAllParameters();
}

void MainWindow::showRemoved()
{
    setShown(ui->label_16, false);
    setShown(ui->label_21, false);
    setActive(ui->pushButton_home, true);
    setActive(ui->tabWidget_2, true);
    setActive(ui->pushButton_setting, true);
    if (returnHomePending == 1) {
        on_click_home();
        returnHomePending = 0;
    }
    linkState = 0;
}

void MainWindow::holdUpgradePage()
{
    home->setUpgradeOnly(true);
    setActive(ui->pushButton_setting, false);
    setActive(ui->pushButton_user, false);
    setActive(ui->pushButton_updateBoot, true);
    setShown(ui->tabWidget_2, false);
    ui->stackedWidget->setCurrentIndex(2);
}

void MainWindow::showNormalState()
{
    home->setUpgradeOnly(false);
    setActive(ui->pushButton_setting, true);
    setActive(ui->pushButton_user, true);
    setActive(ui->pushButton_updateBoot, false);
    if (!userPageOpened)
        setShown(ui->tabWidget_2, true);
    upgradeProgress = 0;
}

void MainWindow::showUpgradeProgress()
{
    const int progress = upgradeProgress;
    ui->progressBar->setValue(progress);
    if (upgradeOk == 0)
        setUpgradeState(2);
    else if (progress >= 1 && progress <= 99)
        setUpgradeState(0);
    else if (progress == 100)
        setUpgradeState(1);
}

void MainWindow::valuechanged()
{
    heldPowerText = ui->lineEdit_power->text();
}

void MainWindow::followvalue()
{
    if (ui->lineEdit_overshootPower->text() != heldPowerText)
        ui->lineEdit_overshootPower->setText(heldPowerText);
}

// Language

int MainWindow::loadLanguage()
{
    const int stored = LanguageSettings::read();
    if (stored >= 0)
        language = stored;
    else
        saveLanguage(LanguageSettings::systemLanguage());
    return language;
}

void MainWindow::saveLanguage(int value)
{
    LanguageSettings::write(value);
    language = value;
}

void MainWindow::applyLanguage()
{
    if (language != 0 && language != 1)
        return;
    ui->label_29->clear();
    ui->tabWidget_2->show();
    ui->stackedWidget->hide();
    ui->widget->hide();
    home->showBackdrop();
    LanguageTable::apply(this, language);
    home->showProblemInLanguage();
}

void MainWindow::on_change_lan(int index)
{
    saveLanguage(index);
    applyLanguage();
    home->setComboTexts(language);
}

void MainWindow::switchLanguageTo(int target)
{
    loadLanguage();
    if (language == target)
        return;
    saveLanguage(target);
    applyLanguage();
    home->setComboTexts(language);
}

void MainWindow::on_radioButton_clicked()
{
    switchLanguageTo(1);
}

void MainWindow::on_radioButton_clicked2()
{
    switchLanguageTo(0);
}

// Clipboard

void MainWindow::addClipboardActions()
{
    void (MainWindow::*const handlers[])() = {&MainWindow::cut, &MainWindow::copy, &MainWindow::paste};
    const QList<QAction *> actions = ClipboardActions::create(ui->tabWidget_2, language);
    for (int i = 0; i < actions.size(); ++i) {
        addAction(actions[i]);
        connect(actions[i], &QAction::triggered, this, handlers[i]);
    }
}

void MainWindow::cut()
{
    ClipboardActions::cut(sender());
}

void MainWindow::copy()
{
    ClipboardActions::copy(sender());
}

void MainWindow::paste()
{
    ClipboardActions::paste();
}

// Port traffic and the value hooks the window offers but does not use.

void MainWindow::onSetValue(int32_t) {}

void MainWindow::onWriteText(QByteArray) {}

void MainWindow::onReadText(QByteArray) {}

void MainWindow::TCRInit() {}

// The firmware and logo pages

void MainWindow::sendFile()
{
    FirmwarePage(*this, {ui->lineEdit, ui->progressBar, firmwareDialog()}, firmwareWriter(), [this](int state) {
        setUpgradeState(state);
    }).sendFile();
}

void MainWindow::sendLogo()
{
    LogoPage(*this, {this, ui->lineEdit_2, ui->label_16}).sendLogo();
}

writefile *MainWindow::firmwareWriter()
{
    if (!writerThread)
        writerThread = new writefile(protocolObject);
    return writerThread;
}

void MainWindow::reopenLink()
{
    protocolObject->reopen();
    // After the monitor has taken the heater and greeted it, or failed to.
    QMetaObject::invokeMethod(this, &MainWindow::showAccessProblem, Qt::QueuedConnection);
}

int MainWindow::greetHeater()
{
    const HeaterLock heater(*protocolObject->port());
    if (!heater.held()) {
        LOG_TRACE() << heater.problem();
        return -1;
    }
    return protocolObject->handshake();
}

void MainWindow::closeLink()
{
    protocolObject->close();
    QMetaObject::invokeMethod(this, &MainWindow::showAccessProblem, Qt::QueuedConnection);
}

void MainWindow::closeFileDialog()
{
    if (fileDialog)
        fileDialog->reject();
}

QFileDialog *MainWindow::firmwareDialog()
{
    if (!fileDialog)
        fileDialog = new QFileDialog(this);
    return fileDialog;
}

// Parameter pages

void MainWindow::TFRInit()
{
    coilPage->installValidators(this);
}

void MainWindow::baseValidatorInit()
{
    basicPage->installValidators();
}

bool MainWindow::checkBasic()
{
    return basicPage->check();
}

bool MainWindow::checkTCR()
{
    return coilPage->checkTcr();
}

bool MainWindow::checkTFR()
{
    return coilPage->checkTfr();
}

void MainWindow::readAllParameters()
{
    if (!protocolObject->isOpen()) {
        checkUsbOpen();
        return;
    }
    const HeaterLock heater(*protocolObject->port());
    if (!checkHeaterFree(heater))
        return;
    getWorkMode();
    getPower();
    getTCR();
    getTFR();
    get_screen_timeout();
}

void MainWindow::getWorkMode()
{
    basicPage->readWorkMode();
}

void MainWindow::set_work_mode()
{
    basicPage->writeWorkMode();
}

void MainWindow::get_screen_timeout()
{
    basicPage->readScreenTimeout();
}

void MainWindow::set_screen_timeout()
{
    basicPage->writeScreenTimeout();
}

void MainWindow::getPower()
{
    basicPage->read();
}

void MainWindow::setPower()
{
    basicPage->save();
}

bool MainWindow::showSaveResult(bool ok)
{
    return basicPage->showSaveResult(ok);
}

void MainWindow::on_workmode_change(int index)
{
    ui->label_16->hide();
    LOG_INFO("you select :%d\n\n", index);
    basicPage->changeWorkMode(index);
}

void MainWindow::typeChange(int index)
{
    LOG_INFO("you select :%d\n\n", index);
    basicPage->changeUnit(index);
}

void MainWindow::getTCR()
{
    coilPage->readTcr();
}

void MainWindow::setTCR()
{
    coilPage->saveTcr();
}

void MainWindow::getTFR()
{
    coilPage->readTfr();
}

void MainWindow::setTFR()
{
    coilPage->saveTfr();
}

bool MainWindow::showTcrResult(bool ok)
{
    return coilPage->showTcrResult(ok);
}

bool MainWindow::showTfrResult(bool ok)
{
    return coilPage->showTfrResult(ok);
}
