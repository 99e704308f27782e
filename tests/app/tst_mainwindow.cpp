#include "app/form.h"
#include "app/homepage.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "tests/app/windowfixture.h"
#include "tests/support/logcapture.h"
#include "tests/support/modalwatcher.h"

#include <QFileDialog>
#include <QProcess>
#include <QtTest>

// The window as a whole: its frame, the form, the views and how it ends.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();
    void titleAndSize();
    void sizeLimits_data();
    void sizeLimits();
    void formWidgets_data();
    void formWidgets();
    void stacking();
    void tfrAndTcrFields();
    void comboItems();
    void constructorStyling();
    void startsOnHomePageWithoutDevice();
    void userEntryShowsLogoPage();
    void settingEntryWarnsAndShowsTabs();
    void tabsHideThePageUnderThem();
    void topBarNavigation();
    void upgradeEntryShowsFirmwarePage();
    void hiddenViewsTakeTheirSheetsWhenShown();
    void downKeyReturnsHome();
    void noDeviceBoxInBothLanguages_data();
    void noDeviceBoxInBothLanguages();
    void upgradeStateLabels_data();
    void upgradeStateLabels();
    void refreshLeavesFileDialogOpen();
    void closeEndsProcessAtOnce();
    void closeChild();

private:
    SharedWindow shared;
};

// The form table only looks at the window; every other test builds its own.
void TestMainWindow::init()
{
    if (QByteArray(QTest::currentTestFunction()) != "formWidgets")
        shared.release();
}

void TestMainWindow::cleanupTestCase()
{
    shared.release();
}

void TestMainWindow::titleAndSize()
{
    WindowFixture f;
    QCOMPARE(f.window()->windowTitle(), QString("Korvane"));
    QVERIFY(f.window()->isVisible());
    QCOMPARE(f.window()->size(), QSize(1157, 638));
    QCOMPARE(f.window()->minimumSize(), QSize(800, 600));
    QCOMPARE(f.window()->maximumSize(), QSize(1157, 638));
}

void TestMainWindow::sizeLimits_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("result");
    QTest::newRow("larger") << QSize(2000, 1000) << QSize(1157, 638);
    QTest::newRow("smaller") << QSize(100, 100) << QSize(800, 600);
    QTest::newRow("between") << QSize(900, 620) << QSize(900, 620);
}

void TestMainWindow::sizeLimits()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, result);
    WindowFixture f;
    f.window()->resize(requested);
    QCOMPARE(f.window()->size(), result);
    // The form keeps its size; a smaller window clips it.
    QCOMPARE(f.ui()->centralWidget->size(), QSize(1157, 638));
}

void TestMainWindow::formWidgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("stackedWidget") << "stackedWidget"
                                   << "QStackedWidget"
                                   << "centralWidget" << QRect(-10, 20, 1170, 800);
    QTest::newRow("widget") << "widget"
                            << "QWidget"
                            << "centralWidget" << QRect(-220, 0, 1600, 201);
    QTest::newRow("tabWidget_2") << "tabWidget_2"
                                 << "QTabWidget"
                                 << "centralWidget" << QRect(200, 210, 701, 401);
    QTest::newRow("pushButton_7") << "pushButton_7"
                                  << "QPushButton"
                                  << "centralWidget" << QRect(430, 610, 21, 21);
    QTest::newRow("label_6") << "label_6"
                             << "QLabel"
                             << "centralWidget" << QRect(460, 610, 231, 21);
    QTest::newRow("radioButton") << "radioButton"
                                 << "QRadioButton"
                                 << "centralWidget" << QRect(30, 70, 115, 19);
    QTest::newRow("radioButton_2") << "radioButton_2"
                                   << "QRadioButton"
                                   << "centralWidget" << QRect(30, 100, 115, 19);
    QTest::newRow("groupBox_3") << "groupBox_3"
                                << "QGroupBox"
                                << "stackedWidgetPage2" << QRect(210, 190, 700, 400);
    QTest::newRow("lineEdit_2") << "lineEdit_2"
                                << "QLineEdit"
                                << "groupBox_3" << QRect(320, 120, 191, 31);
    QTest::newRow("pushButton_logo") << "pushButton_logo"
                                     << "QPushButton"
                                     << "groupBox_3" << QRect(520, 120, 101, 31);
    QTest::newRow("groupBox_2") << "groupBox_2"
                                << "QGroupBox"
                                << "stackedWidgetPage3" << QRect(210, 190, 700, 400);
    QTest::newRow("pushButton_bootLoaderFile") << "pushButton_bootLoaderFile"
                                               << "QPushButton"
                                               << "groupBox_2" << QRect(520, 120, 100, 31);
    QTest::newRow("progressBar") << "progressBar"
                                 << "QProgressBar"
                                 << "groupBox_2" << QRect(320, 240, 291, 23);
    QTest::newRow("label_7") << "label_7"
                             << "QLabel"
                             << "groupBox_2" << QRect(321, 280, 201, 20);
    QTest::newRow("pushButton_home") << "pushButton_home"
                                     << "QPushButton"
                                     << "widget" << QRect(390, 40, 132, 120);
    QTest::newRow("pushButton_connect") << "pushButton_connect"
                                        << "QPushButton"
                                        << "widget" << QRect(1010, 40, 132, 120);
    QTest::newRow("pushButton_2") << "pushButton_2"
                                  << "QPushButton"
                                  << "widget" << QRect(1030, 160, 101, 23);
    QTest::newRow("pushButton_6") << "pushButton_6"
                                  << "QPushButton"
                                  << "widget" << QRect(1020, 160, 131, 21);
    QTest::newRow("pushButton_get") << "pushButton_get"
                                    << "QPushButton"
                                    << "tab_8" << QRect(420, 320, 100, 35);
    QTest::newRow("pushButton_set") << "pushButton_set"
                                    << "QPushButton"
                                    << "tab_8" << QRect(200, 320, 100, 35);
    QTest::newRow("comboBox_temp") << "comboBox_temp"
                                   << "QComboBox"
                                   << "tab_8" << QRect(500, 20, 41, 30);
    QTest::newRow("layoutWidget_2") << "layoutWidget_2"
                                    << "QWidget"
                                    << "tab_8" << QRect(110, 70, 491, 231);
    QTest::newRow("pushButton_setTCR") << "pushButton_setTCR"
                                       << "QPushButton"
                                       << "groupBox_6" << QRect(240, 270, 90, 35);
    QTest::newRow("label_TCR_msg") << "label_TCR_msg"
                                   << "QLabel"
                                   << "groupBox_6" << QRect(230, 222, 251, 31);
    QTest::newRow("groupBox_7") << "groupBox_7"
                                << "QGroupBox"
                                << "tab" << QRect(0, 0, 701, 381);
    QTest::newRow("label_5") << "label_5"
                             << "QLabel"
                             << "groupBox_7" << QRect(520, 40, 61, 31);
    QTest::newRow("label_TFR_msg") << "label_TFR_msg"
                                   << "QLabel"
                                   << "groupBox_7" << QRect(220, 235, 321, 31);
}

void TestMainWindow::formWidgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);
    WindowFixture &f = shared.get("0");
    auto *widget = f.window()->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->metaObject()->className(), qPrintable(className));
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    QCOMPARE(widget->geometry(), geometry);
}

static QStringList widgetChildren(const QWidget *parent)
{
    QStringList names;
    for (QObject *child : parent->children())
        if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow())
            names << child->objectName();
    return names;
}

void TestMainWindow::stacking()
{
    WindowFixture f;
    QCOMPARE(widgetChildren(f.ui()->centralWidget), QStringList({"stackedWidget", "tabWidget_2", "radioButton_2",
                                                                 "radioButton", "widget", "pushButton_7", "label_6"}));
    QCOMPARE(widgetChildren(f.ui()->tab_8),
             QStringList({"groupBox", "pushButton_get", "label_31", "comboBox_workmode", "comboBox_temp", "label_32",
                          "pushButton_set", "layoutWidget_2"}));
    // The home page lies over the form.
    QStringList top = widgetChildren(f.window());
    top.removeAll(QString());
    QCOMPARE(top.mid(top.indexOf("centralWidget")),
             QStringList({"centralWidget", "homeBackground", "languageCombo", "homeUpgradeButton", "homeSettingButton",
                          "homeUserButton", "homeLinkLabel"}));
}

void TestMainWindow::tfrAndTcrFields()
{
    WindowFixture f;
    const int xs[] = {200, 282, 360, 440, 520};
    const int ys[] = {80, 110, 140, 170, 200};
    for (int row = 1; row <= 5; ++row) {
        for (int column = 1; column <= 5; ++column) {
            auto *edit = f.window()->findChild<QLineEdit *>(QString("lineEdit_TFR_m%1%2").arg(row).arg(column));
            QVERIFY(edit);
            QCOMPARE(edit->geometry(), QRect(xs[column - 1], ys[row - 1], 61, 21));
            QCOMPARE(edit->maxLength(), 6);
            QCOMPARE(edit->contextMenuPolicy(), Qt::ActionsContextMenu);
        }
    }
    const int tcrYs[] = {72, 100, 130, 160, 190};
    for (int slot = 1; slot <= 5; ++slot) {
        auto *edit = f.window()->findChild<QLineEdit *>(QString("lineEdit_TCR_m%1").arg(slot));
        QVERIFY(edit);
        QCOMPARE(edit->geometry(), QRect(310, tcrYs[slot - 1], 111, 21));
        QCOMPARE(edit->alignment(), Qt::AlignCenter);
    }
}

static QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

void TestMainWindow::comboItems()
{
    WindowFixture f;
    QCOMPARE(items(f.ui()->comboBox_type),
             QStringList({"NI200", "TI1", "SS304", "SS316", "SS317", "TCR-M1", "TCR-M2", "TCR-M3", "TCR-M4", "TCR-M5",
                          "TFR-M1", "TFR-M2", "TFR-M3", "TFR-M4", "TFR-M5"}));
    QCOMPARE(items(f.ui()->comboBox_temp), QStringList({"℃", "℉"}));
    QCOMPARE(f.ui()->comboBox_workmode->currentIndex(), 0);
    QVERIFY(!f.ui()->comboBox_temp->isEnabled());
    QCOMPARE(f.ui()->comboBox_type->maxVisibleItems(), 20);
}

void TestMainWindow::constructorStyling()
{
    WindowFixture f;
    const QString sheet = f.ui()->pushButton_set->styleSheet();
    QCOMPARE(sheet.size(), 306);
    QVERIFY(sheet.startsWith("QPushButton{background-color: qlineargradient(spread:repeat, x1:0, y1:1"));
    for (QPushButton *button : {f.ui()->pushButton_get, f.ui()->pushButton_setTCR, f.ui()->pushButton_getTCR,
                                f.ui()->pushButton_setTFR, f.ui()->pushButton_getTFR})
        QCOMPARE(button->styleSheet(), sheet);
    const QString dropDown = "QComboBox::drop-down {border-image:url(:/images/下拉.png)}";
    QCOMPARE(f.ui()->comboBox_workmode->styleSheet(), dropDown);
    QCOMPARE(f.ui()->comboBox_temp->styleSheet(), dropDown);
    QVERIFY(f.ui()->label_6->openExternalLinks());
    QCOMPARE(f.ui()->label_43->text(), QString("   s"));
    QCOMPARE(f.ui()->label_27->text(), QString("   ℃"));
    QCOMPARE(f.ui()->label_106->text(), QString("   ℃"));
}

QStringList startWarnings;

void TestMainWindow::startsOnHomePageWithoutDevice()
{
    // Whatever Qt warns about at start reaches every user's terminal.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg)
                startWarnings << text;
        });
    WindowFixture f;
    qInstallMessageHandler(previous);
    QCOMPARE(startWarnings, QStringList());
    const HomeWidgets &home = f.window()->homePage()->widgets();
    QCOMPARE(linkState.load(), -1);
    QVERIFY(!f.window()->protocol()->isOpen());
    QVERIFY(home.homeBackground->isVisible());
    QVERIFY(home.languageCombo->isVisible());
    QVERIFY(!f.ui()->stackedWidget->isVisible());
    QVERIFY(!f.ui()->widget->isVisible());
    QVERIFY(f.ui()->tabWidget_2->isEnabled());
    for (QWidget *hidden : {f.ui()->label_16, f.ui()->label_21, f.ui()->label_17, f.ui()->label_20, f.ui()->label_7})
        QVERIFY(hidden->isHidden());
    for (QWidget *disabled : {(QWidget *)f.ui()->lineEdit_temp, (QWidget *)f.ui()->lineEdit_compensation_C,
                              (QWidget *)f.ui()->comboBox_type})
        QVERIFY(!disabled->isEnabled());
    QVERIFY(f.waitForRefreshes());
    QVERIFY(home.homeDisconnectedIcon->isVisible());
    QVERIFY(home.homeDisconnectedCaption->isVisible());
    QVERIFY(!home.homeConnectedIcon->isVisible());
    QVERIFY(!home.homeConnectedCaption->isVisible());
    QVERIFY(!home.homeUpgradeButton->isEnabled());
    QVERIFY(home.homeSettingButton->isEnabled());
    QVERIFY(home.homeUserButton->isEnabled());
    QVERIFY(!f.ui()->pushButton_connect->isEnabled());
}

void TestMainWindow::userEntryShowsLogoPage()
{
    WindowFixture f;
    LogCapture log;
    const HomeWidgets &home = f.window()->homePage()->widgets();
    home.homeUserButton->click();
    QVERIFY(log.contains("click tab link"));
    for (QWidget *gone : {home.homeBackground, (QWidget *)home.homeUpgradeButton, (QWidget *)home.homeSettingButton,
                          (QWidget *)home.homeUserButton, (QWidget *)home.languageCombo, (QWidget *)home.homeLinkLabel})
        QVERIFY(gone->isHidden());
    QVERIFY(f.ui()->stackedWidget->isVisible());
    QVERIFY(f.ui()->widget->isVisible());
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 1);
    QVERIFY(f.ui()->tabWidget_2->isHidden());
    // The user page has been opened: the refresh no longer brings the tabs back.
    QVERIFY(f.waitForRefreshes());
    QVERIFY(f.ui()->tabWidget_2->isHidden());
}

void TestMainWindow::settingEntryWarnsAndShowsTabs()
{
    WindowFixture f;
    ModalWatcher boxes;
    LogCapture log;
    f.window()->homePage()->widgets().homeSettingButton->click();
    QTRY_COMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().title, QString("Warn"));
    QVERIFY(log.contains("clicked setting"));
    QVERIFY(log.contains("click tab link"));
    QVERIFY(f.ui()->tabWidget_2->isVisible());
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 1);
    QVERIFY(f.window()->homePage()->widgets().homeBackground->isHidden());
}

// Entered from the home page the tabs lie over the logo page; their pages look
// as they do over the empty page, and their empty message labels draw nothing.
void TestMainWindow::tabsHideThePageUnderThem()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    f.ui()->radioButton->click(); // a language switch sets sheets anew
    f.ui()->radioButton_2->click();
    f.window()->on_click_main_setting();
    QTabWidget *tabs = f.ui()->tabWidget_2;
    const auto shown = [&f](QWidget *widget) {
        return f.window()->grab(QRect(widget->mapTo(f.window(), QPoint()), widget->size())).toImage();
    };
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        f.ui()->stackedWidget->setCurrentIndex(1);
        const QImage overLogo = shown(tabs->currentWidget());
        f.ui()->stackedWidget->setCurrentIndex(3);
        QVERIFY2(shown(tabs->currentWidget()) == overLogo, qPrintable(tabs->tabText(tab)));
    }
    for (QLabel *label : {f.ui()->label_TCR_msg, f.ui()->label_TFR_msg}) {
        tabs->setCurrentWidget(label->parentWidget()->parentWidget()); // its group box's tab page
        const QImage empty = shown(label);
        label->hide();
        QVERIFY2(shown(label) == empty, qPrintable(label->objectName()));
    }
}

void TestMainWindow::topBarNavigation()
{
    WindowFixture f;
    ModalWatcher boxes;
    f.window()->homePage()->widgets().homeUserButton->click();

    f.ui()->pushButton_setting->click();
    QTRY_COMPARE(boxes.count(), 1);
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 3);
    QVERIFY(f.ui()->tabWidget_2->isVisible());

    f.ui()->pushButton_user->click();
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 1);
    QVERIFY(f.ui()->tabWidget_2->isHidden());

    f.ui()->pushButton_home->click();
    QVERIFY(f.window()->homePage()->widgets().homeBackground->isVisible());
    QVERIFY(f.ui()->stackedWidget->isHidden());
    QVERIFY(f.ui()->widget->isHidden());
    QCOMPARE(boxes.count(), 1);
}

void TestMainWindow::upgradeEntryShowsFirmwarePage()
{
    WindowFixture f;
    f.window()->setUpgradeState(1);
    f.window()->on_click_main_update();
    QCOMPARE(f.ui()->stackedWidget->currentIndex(), 2);
    QVERIFY(f.ui()->stackedWidget->isVisible());
    QVERIFY(f.ui()->tabWidget_2->isHidden());
    QVERIFY(f.ui()->label_20->isHidden());
    QVERIFY(f.window()->homePage()->widgets().homeBackground->isHidden());
}

// The views a start-up does not show take the form's style sheets when first
// shown; a language's caption given to one of their widgets before then stays.
void TestMainWindow::hiddenViewsTakeTheirSheetsWhenShown()
{
    WindowFixture f("1", WindowFixture::Device::Normal);
    QMainWindow plain;
    Ui::MainWindow form;
    form.setupUi(&plain);
    QVERIFY(f.ui()->groupBox_2->styleSheet().isEmpty()); // nothing polished for it at start-up

    f.window()->on_click_main_update();
    f.window()->on_click_main_user();
    f.window()->on_click_main_setting();
    f.ui()->tabWidget_2->setCurrentIndex(1);
    f.ui()->tabWidget_2->setCurrentIndex(2);
    for (QWidget *view : {f.ui()->stackedWidgetPage2, f.ui()->stackedWidgetPage3, f.ui()->tab_9, f.ui()->tab}) {
        for (QWidget *widget : view->findChildren<QWidget *>()) {
            const auto *inForm = plain.findChild<QWidget *>(widget->objectName());
            if (!widget->objectName().isEmpty() && !inForm->styleSheet().isEmpty())
                QVERIFY2(!widget->styleSheet().isEmpty(), qPrintable(widget->objectName()));
        }
    }
    QCOMPARE(f.ui()->groupBox_2->styleSheet(), form.groupBox_2->styleSheet());
    QCOMPARE(f.ui()->label_21->styleSheet(), QString("image:url(:/images/请将下位机重新连接.png)"));
}

void TestMainWindow::downKeyReturnsHome()
{
    WindowFixture f;
    f.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window()));
    QCOMPARE(f.ui()->pushButton_home->shortcut(), QKeySequence(Qt::Key_Down));
    f.window()->homePage()->widgets().homeUserButton->click();
    QTest::keyClick(f.window(), Qt::Key_Down);
    // A shortcut clicks its button animated, a moment later.
    QTRY_VERIFY(f.window()->homePage()->widgets().homeBackground->isVisible());
    QVERIFY(f.ui()->widget->isHidden());
}

void TestMainWindow::noDeviceBoxInBothLanguages_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::addColumn<QString>("text");
    QTest::newRow("English") << QByteArray("0") << "Open usb failed. Please check the usb device";
    QTest::newRow("Chinese") << QByteArray("1") << "USB打开失败，请确保USB线正确连接";
}

void TestMainWindow::noDeviceBoxInBothLanguages()
{
    QFETCH(QByteArray, languageFile);
    QFETCH(QString, text);
    WindowFixture f(languageFile.constData());
    ModalWatcher boxes;
    QVERIFY(!f.window()->checkUsbOpen());
    QCOMPARE(boxes.count(), 1);
    const ModalWatcher::Box box = boxes.boxes().first();
    QCOMPARE(box.title, QString("Warn"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, 1);
    QVERIFY(!box.hasParent);
}

void TestMainWindow::upgradeStateLabels_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("failed");
    QTest::newRow("0") << 0 << true << false << false;
    QTest::newRow("1") << 1 << false << true << false;
    QTest::newRow("2") << 2 << false << false << true;
    QTest::newRow("3") << 3 << false << false << false;
    QTest::newRow("-1") << -1 << false << false << false;
}

void TestMainWindow::upgradeStateLabels()
{
    QFETCH(int, state);
    QFETCH(bool, running);
    QFETCH(bool, finished);
    QFETCH(bool, failed);
    WindowFixture f;
    f.window()->setUpgradeState(2);
    f.window()->setUpgradeState(state);
    QCOMPARE(!f.ui()->label_17->isHidden(), running);
    QCOMPARE(!f.ui()->label_20->isHidden(), finished);
    QCOMPARE(!f.ui()->label_7->isHidden(), failed);
}

void TestMainWindow::refreshLeavesFileDialogOpen()
{
    WindowFixture f;
    QFileDialog *dialog = f.window()->firmwareDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->parentWidget(), f.window());
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QVERIFY(f.waitForRefreshes(20));
    QVERIFY(dialog->isVisible());
    dialog->close();
}

// Closing runs in a child process: it ends the process.
void TestMainWindow::closeEndsProcessAtOnce()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KORVANE_CLOSE_CHILD", "1");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"closeChild"});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(!child.readAllStandardOutput().contains("close returned"));
}

void TestMainWindow::closeChild()
{
    if (qEnvironmentVariableIsEmpty("KORVANE_CLOSE_CHILD"))
        QSKIP("runs only as the child of closeEndsProcessAtOnce");
    WindowFixture f;
    f.window()->close();
    QFAIL("close returned");
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
