#include "app/form.h"
#include "app/mainwindow.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"
#include "tests/support/writefile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

namespace {

// Images the window's style sheets name that the image tree does not hold.
QStringList missingImages(const QWidget *window)
{
    QStringList missing;
    const QRegularExpression url(":/images/([^)]+)\\)");
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        for (auto match = url.globalMatch(widget->styleSheet()); match.hasNext();) {
            const QString path = match.next().captured(0).chopped(1);
            // The firmware button's sheet names an image that was never drawn; it shows nothing.
            if (QImage(path).isNull() && !path.endsWith("txt_4_30.png"))
                missing << widget->objectName() + ": " + path;
        }
    }
    return missing;
}

void say(const QString &line)
{
    std::puts(line.toUtf8().constData());
    std::fflush(stdout);
}

// A window of its own, started in the locale and folder its parent gave it,
// closed while idle or while a firmware transfer hangs on its third report.
// Every question is answered "No" the first time and "Yes" the second; the
// close carried out must end the process.
int closingChild(const QString &state)
{
    WindowFixture f;
    say(f.text("pushButton_setTCR"));
    if (state == "upgrade") {
        if (!f.replug(true, true))
            return 4;
        f.pick(writeFile("firmware.bin", QByteArray(5000, 'x')));
        f.heater().inject(3, SimDevice::Stall);
        QTimer::singleShot(0, [&f] { f.click("pushButton_bootLoaderFile"); });
        if (!QTest::qWaitFor([&f] { return f.heater().reportCount() >= 3; }))
            return 5;
    }
    f.answer = QMessageBox::No;
    say("closing");
    f.window()->close();
    say(QString("kept, window %1").arg(f.window()->isVisible()));
    say(f.boxes.join('\n'));
    f.answer = QMessageBox::Yes;
    say("closing");
    f.window()->close();
    return 3;
}

} // namespace

QStringList startWarnings;

void WindowTests::init()
{
    f.boxes.clear();
    f.mark();
}

// No test leaves a message box unexamined.
void WindowTests::cleanup()
{
    f.setLanguage(0);
    QCOMPARE(f.boxes, QStringList());
}

void WindowTests::startsOnTheHomePageInTheSystemLanguage()
{
    // Whatever Qt warns about at start reaches every user's terminal.
    QCOMPARE(startWarnings, QStringList());
    QCOMPARE(QSettings("korvane", "korvane").value("language"), QVariant(0));
    QCOMPARE(f.text("pushButton_setTCR"), QString("Save TCR"));
    QVERIFY(f.find("homeBackground")->isVisible());
    QVERIFY(!f.find("stackedWidget")->isVisible());
    QVERIFY(f.waitForRefreshes());
    QVERIFY(linkShown(true));
    QVERIFY(!f.shown("homeProblemLabel"));
    QVERIFY(!f.enabled("homeUpgradeButton") && f.enabled("homeSettingButton") && f.enabled("homeUserButton"));

    // The settings entry reads every tab from the heater.
    f.click("homeSettingButton");
    QVERIFY(f.find("tabWidget_2")->isVisible());
    QCOMPARE(f.texts({"lineEdit_dark", "lineEdit_power", "lineEdit_overshootPower", "lineEdit_overshootTime",
                      "lineEdit_TCR_m1", "lineEdit_TFR_m55"}),
             QStringList({"30", "20", "25", "1", "0.006", "1"}));
}

// The views a start-up does not show, and the frame the home page covers, take
// the form's style sheets when the user first sees them; a language's caption
// given to one of their widgets before then stays.
void WindowTests::hiddenViewsTakeTheirSheetsWhenShown()
{
    QMainWindow plain;
    Ui::MainWindow form;
    form.setupUi(&plain);
    QVERIFY(f.find("groupBox_2")->styleSheet().isEmpty()); // nothing polished for it at start-up
    f.setLanguage(1);
    f.click("homeSettingButton");
    auto *tabs = f.find<QTabWidget>("tabWidget_2");
    for (int page : {2, 1, 3})
        f.find<QStackedWidget>("stackedWidget")->setCurrentIndex(page);
    for (int tab : {1, 2, 0})
        tabs->setCurrentIndex(tab);
    for (const char *view : {"stackedWidgetPage2", "stackedWidgetPage3", "tab_8", "tab_9", "tab", "widget"}) {
        for (QWidget *widget : f.find(view)->findChildren<QWidget *>()) {
            const auto *inForm = plain.findChild<QWidget *>(widget->objectName());
            if (!widget->objectName().isEmpty() && !inForm->styleSheet().isEmpty())
                QVERIFY2(!widget->styleSheet().isEmpty(), qPrintable(widget->objectName()));
        }
    }
    QCOMPARE(f.find("groupBox_2")->styleSheet(), form.groupBox_2->styleSheet());
    QVERIFY(!tabs->styleSheet().isEmpty());
    for (int tab = 0; tab < tabs->count(); ++tab) // opaque, so the logo page does not show through
        QVERIFY(tabs->widget(tab)->autoFillBackground() && tabs->widget(tab)->palette().window().color() == Qt::white);
    QCOMPARE(f.find("label_21")->styleSheet(), QString("image:url(:/images/请将下位机重新连接.png)"));
}

void WindowTests::languages_data()
{
    QTest::addColumn<QString>("how"); // a language combo index, or the radio button clicked
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("returnsHome");
    QTest::newRow("Chinese by the combo") << "1" << 1 << true;
    QTest::newRow("English by the radio button") << "radioButton_2" << 0 << true;
    QTest::newRow("Chinese by the radio button") << "radioButton" << 1 << true;
    QTest::newRow("Chinese again changes nothing") << "radioButton" << 1 << false;
    QTest::newRow("English by the combo") << "0" << 0 << true;
}

void WindowTests::languages()
{
    QFETCH(QString, how);
    QFETCH(int, language);
    QFETCH(bool, returnsHome);
    f.setLanguage(returnsHome ? 1 - language : language);
    f.click("homeUserButton");
    if (how.startsWith("radio"))
        f.click(how);
    else
        f.setLanguage(how.toInt());
    QCOMPARE(QSettings("korvane", "korvane").value("language"), QVariant(language));
    QCOMPARE(f.find("homeBackground")->isVisible(), returnsHome);
    QCOMPARE(f.find("stackedWidget")->isVisible(), !returnsHome);

    const bool zh = language == 1;
    auto *tabs = f.find<QTabWidget>("tabWidget_2");
    QCOMPARE(tabs->tabText(tabs->indexOf(f.find("tab_8"))), QString(zh ? "基本参数" : "Basic Parameter"));
    QCOMPARE(f.texts({"pushButton_setTCR", "pushButton_getTFR", "label_7"}),
             zh ? QStringList({"保存 TCR", "读取 TFR", "升级失败！"})
                : QStringList({"Save TCR", "Read TFR", "Update failed!"}));
    QStringList items; // of the work mode combo, then the language combo
    for (const char *name : {"comboBox_workmode", "languageCombo"})
        for (int i = 0; i < f.find<QComboBox>(name)->count(); ++i)
            items << f.find<QComboBox>(name)->itemText(i);
    QCOMPARE(items, zh ? QStringList({"功率模式", "温控模式", "英文", "中文"})
                       : QStringList({"Power Mode", "Temp Mode", "English", "Chinese"}));
    QVERIFY(f.find("label_31")->styleSheet().contains(zh ? "工作模式 .png" : "Operate Mode.png"));
    QCOMPARE(missingImages(f.window()), QStringList());
    // The Chinese captions of the basic tab are drawn at the height of their text.
    for (const QLabel *caption : f.find("tab_8")->findChildren<QLabel *>())
        if (zh && caption->maximumHeight() < QWIDGETSIZE_MAX)
            QCOMPARE(caption->maximumHeight(), 15);
}

// Entered from the home page the tabs lie over the logo page; their pages look
// as they do over the empty page, and their empty message labels draw nothing.
void WindowTests::tabsHideThePageUnderThem()
{
    f.click("homeSettingButton");
    auto *tabs = f.find<QTabWidget>("tabWidget_2");
    auto *pages = f.find<QStackedWidget>("stackedWidget");
    const auto shown = [this](QWidget *widget) {
        return f.window()->grab(QRect(widget->mapTo(f.window(), QPoint()), widget->size())).toImage();
    };
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        pages->setCurrentIndex(1);
        const QImage overLogo = shown(tabs->currentWidget());
        pages->setCurrentIndex(3);
        QVERIFY2(shown(tabs->currentWidget()) == overLogo, qPrintable(tabs->tabText(tab)));
    }
    for (const char *name : {"label_TCR_msg", "label_TFR_msg"}) {
        QWidget *label = f.find(name);
        tabs->setCurrentWidget(label->parentWidget()->parentWidget()); // its group box's tab page
        const QImage empty = shown(label);
        label->hide();
        QVERIFY2(shown(label) == empty, name);
        label->show();
    }
}

void WindowTests::clipboard_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("entry"); // cut, copy, paste
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("after"); // the field, the clipboard
    const struct
    {
        const char *row, *focused;
        int entry;
        const char *clipboard, *fieldAfter, *clipboardAfter;
    } rows[] = {
        {"cut", "lineEdit_power", 0, "old", "", "12.5"},
        {"copy", "lineEdit_power", 1, "old", "12.5", "12.5"},
        {"paste replaces the text", "lineEdit_power", 2, "4", "4", "4"},
        {"paste cut to the field's length", "lineEdit_power", 2, "1234567", "12345", "1234567"},
        {"cut with a combo focused", "comboBox_workmode", 0, "old", "12.5", "old"},
        {"paste with a button focused", "pushButton_set", 2, "old", "12.5", "old"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.row) << row.focused << row.entry << row.clipboard
                               << QStringList({row.fieldAfter, row.clipboardAfter});
}

void WindowTests::clipboard()
{
    QFETCH(QString, focused);
    QFETCH(int, entry);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, after);
    f.click("homeSettingButton");
    f.setTexts({"lineEdit_power"}, {"12.5"});
    QApplication::clipboard()->setText(clipboard);
    f.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window()));
    f.find(focused)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.find(focused));
    const QList<QAction *> entries = f.window()->actions();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(QStringList({entries[0]->text(), entries[1]->text(), entries[2]->text()}),
             QStringList({"cut                      Ctrl+X", "copy                   Ctrl+C",
                          "paste                  Ctrl+V"}));
    entries[entry]->trigger();
    QCOMPARE(QStringList({f.text("lineEdit_power"), QApplication::clipboard()->text()}), after);
}

void WindowTests::startAndClose_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QByteArray>("languageFile"); // empty: none
    QTest::addColumn<QString>("output");
    const QString kept = "closing\nkept, window 1\nWarn: %1\nclosing\n";
    QTest::newRow("idle, Chinese by the older language file")
        << "idle" << QByteArray("C.UTF-8") << QByteArray("1\n") << "保存 TCR\nclosing\n";
    QTest::newRow("upgrade, English locale")
        << "upgrade" << QByteArray("C.UTF-8") << QByteArray()
        << "Save TCR\n" +
               kept.arg("An upgrade is under way; closing now leaves the heater in its upgrade state, and it must be "
                        "upgraded again. Close anyway?");
    QTest::newRow("upgrade, Chinese locale")
        << "upgrade" << QByteArray("zh_CN.UTF-8") << QByteArray()
        << "保存 TCR\n" + kept.arg("正在升级中；现在关闭会让设备停留在升级状态，必须重新升级。仍要关闭吗？");
}

void WindowTests::startAndClose()
{
    QFETCH(QString, state);
    QFETCH(QByteArray, locale);
    QFETCH(QByteArray, languageFile);
    QFETCH(QString, output);
    QTemporaryDir dir;
    if (!languageFile.isEmpty())
        QVERIFY(!writeFile(dir.filePath("language.txt"), languageFile).isEmpty());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KORVANE_TEST_CHILD", state);
    environment.insert("LC_ALL", locale);
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    // Far longer than the wait below: the stalled transfer must not be waited for.
    environment.insert("KORVANE_READ_TIMEOUT_MS", "60000");
    child.setProcessEnvironment(environment);
    child.setWorkingDirectory(dir.path());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), output);
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

int main(int argc, char *argv[])
{
    // Nothing remembered from an earlier run (the language, where the file dialogs were).
    const QString child = qEnvironmentVariable("KORVANE_TEST_CHILD");
    QTemporaryDir config;
    if (child.isEmpty())
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (!child.isEmpty())
        return closingChild(child);
    QFile::remove("language.txt");
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg)
                startWarnings << text;
        });
    WindowFixture fixture;
    qInstallMessageHandler(previous);
    WindowTests tests(fixture);
    return QTest::qExec(&tests, argc, argv);
}
