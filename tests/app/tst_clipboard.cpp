#include "app/form.h"
#include "app/homepage.h"
#include "app/mainwindow.h"
#include "tests/app/windowfixture.h"
#include "tests/support/logcapture.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QtTest>

// The window's context menu: its three entries and where it appears.
class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void actionTexts_data();
    void actionTexts();
    void textsStayAfterLanguageChange();
    void editFocusedField_data();
    void editFocusedField();
    void cutTraces();
    void nothingWithoutLineEditFocus_data();
    void nothingWithoutLineEditFocus();
    void menuPlaces_data();
    void menuPlaces();
};

namespace {

QStringList entryTexts(const QWidget *window)
{
    QStringList texts;
    for (const QAction *action : window->actions())
        texts << action->text();
    return texts;
}

QAction *action(const QWidget *window, const QString &word)
{
    for (QAction *candidate : window->actions())
        if (candidate->text().startsWith(word))
            return candidate;
    return nullptr;
}

// The texts of the menu that a right click on target brings up; empty when none does.
QStringList menuFor(QWidget *target)
{
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *entry : menu->actions())
                shown << entry->text();
            menu->close();
        }
    });
    const QPoint inside(2, 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, target->mapToGlobal(inside));
    QApplication::sendEvent(target, &event);
    QTest::qWait(1);
    return shown;
}

void focus(WindowFixture &f, QWidget *widget)
{
    f.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window()));
    widget->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), widget);
}

} // namespace

void TestClipboard::actionTexts_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("English") << QByteArray("0")
                             << QStringList{"cut                      Ctrl+X", "copy                   Ctrl+C",
                                            "paste                  Ctrl+V"};
    QTest::newRow("Chinese") << QByteArray("1")
                             << QStringList{"剪切                      Ctrl+X", "复制                      Ctrl+C",
                                            "粘贴                      Ctrl+V"};
}

void TestClipboard::actionTexts()
{
    QFETCH(QByteArray, languageFile);
    QFETCH(QStringList, texts);
    WindowFixture f(languageFile.constData());
    QCOMPARE(entryTexts(f.window()), texts);
    QCOMPARE(texts.at(0).size(), languageFile == "0" ? 31 : 30);
    for (const QAction *entry : f.window()->actions()) {
        QCOMPARE(entry->parent(), f.ui()->tabWidget_2);
        QVERIFY(entry->shortcut().isEmpty());
    }
    QCOMPARE(f.window()->contextMenuPolicy(), Qt::ActionsContextMenu);
}

void TestClipboard::textsStayAfterLanguageChange()
{
    WindowFixture f("1");
    f.window()->homePage()->widgets().languageCombo->setCurrentIndex(0);
    QCOMPARE(f.window()->currentLanguage(), 0);
    QVERIFY(entryTexts(f.window()).at(0).startsWith("剪切"));
}

void TestClipboard::editFocusedField_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("fieldAfter");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::newRow("cut") << "cut"
                         << "lineEdit_power"
                         << "12.5"
                         << "old"
                         << ""
                         << "12.5";
    QTest::newRow("copy") << "copy"
                          << "lineEdit_power"
                          << "12.5"
                          << "old"
                          << "12.5"
                          << "12.5";
    QTest::newRow("paste replaces the whole text") << "paste"
                                                   << "lineEdit_power"
                                                   << "30"
                                                   << "4"
                                                   << "4"
                                                   << "4";
    QTest::newRow("paste skips the validator") << "paste"
                                               << "lineEdit_power"
                                               << "30"
                                               << "abc"
                                               << "abc"
                                               << "abc";
    QTest::newRow("paste is cut to the maximum length") << "paste"
                                                        << "lineEdit_power"
                                                        << ""
                                                        << "1234567"
                                                        << "12345"
                                                        << "1234567";
    QTest::newRow("paste of nothing empties") << "paste"
                                              << "lineEdit_power"
                                              << "30"
                                              << ""
                                              << ""
                                              << "";
    QTest::newRow("paste into a TFR field") << "paste"
                                            << "lineEdit_TFR_m34"
                                            << "1"
                                            << "1.234567"
                                            << "1.2345"
                                            << "1.234567";
    QTest::newRow("copy from the screen timeout") << "copy"
                                                  << "lineEdit_dark"
                                                  << "30"
                                                  << ""
                                                  << "30"
                                                  << "30";
}

void TestClipboard::editFocusedField()
{
    QFETCH(QString, entry);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QFETCH(QString, fieldAfter);
    QFETCH(QString, clipboardAfter);
    WindowFixture f;
    auto *edit = f.window()->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    f.ui()->tabWidget_2->setCurrentWidget(field.startsWith("lineEdit_TFR") ? f.ui()->tab : f.ui()->tab_8);
    edit->setText(text);
    QApplication::clipboard()->setText(clipboard);
    focus(f, edit);
    action(f.window(), entry)->trigger();
    QCOMPARE(edit->text(), fieldAfter);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
}

void TestClipboard::cutTraces()
{
    WindowFixture f;
    focus(f, f.ui()->lineEdit_power);
    LogCapture log;
    action(f.window(), "cut")->trigger();
    QVERIFY(log.contains("get the focus"));
    QVERIFY(log.containsPart("name"));
}

void TestClipboard::nothingWithoutLineEditFocus_data()
{
    QTest::addColumn<QString>("focused"); // empty: nothing has the focus
    QTest::addColumn<QString>("entry");
    QTest::newRow("combo box, cut") << "comboBox_workmode"
                                    << "cut";
    QTest::newRow("button, paste") << "pushButton_setTCR"
                                   << "paste";
    QTest::newRow("nothing, copy") << ""
                                   << "copy";
    QTest::newRow("nothing, paste") << ""
                                    << "paste";
}

void TestClipboard::nothingWithoutLineEditFocus()
{
    QFETCH(QString, focused);
    QFETCH(QString, entry);
    WindowFixture f;
    f.ui()->lineEdit_power->setText("30");
    QApplication::clipboard()->setText("clip");
    if (focused.isEmpty()) {
        if (QWidget *current = QApplication::focusWidget())
            current->clearFocus();
        QVERIFY(!QApplication::focusWidget());
    } else {
        auto *widget = f.window()->findChild<QWidget *>(focused);
        f.ui()->tabWidget_2->setCurrentWidget(widget == f.ui()->pushButton_setTCR ? f.ui()->tab_9 : f.ui()->tab_8);
        focus(f, widget);
    }
    action(f.window(), entry)->trigger();
    QCOMPARE(f.ui()->lineEdit_power->text(), QString("30"));
    QCOMPARE(QApplication::clipboard()->text(), QString("clip"));
}

void TestClipboard::menuPlaces_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("menu"); // "window": the three entries, "none", or "standard"
    QTest::newRow("power field") << "lineEdit_power"
                                 << "window";
    QTest::newRow("atomizer combo") << "comboBox_type"
                                    << "window";
    QTest::newRow("TFR field") << "lineEdit_TFR_m11"
                               << "window";
    QTest::newRow("tab widget") << "tabWidget_2"
                                << "window";
    QTest::newRow("top bar") << "pushButton_home"
                             << "window";
    QTest::newRow("home page") << "homeTopIcon"
                               << "window";
    QTest::newRow("home entry") << "homeSettingButton"
                                << "window";
    QTest::newRow("logo page") << "groupBox_3"
                               << "none";
    QTest::newRow("firmware page button") << "pushButton_bootLoaderFile"
                                          << "none";
    QTest::newRow("logo path") << "lineEdit_2"
                               << "standard";
    QTest::newRow("firmware path") << "lineEdit"
                                   << "standard";
}

void TestClipboard::menuPlaces()
{
    QFETCH(QString, target);
    QFETCH(QString, menu);
    WindowFixture f;
    auto *widget = f.window()->findChild<QWidget *>(target);
    QVERIFY(widget);
    const QStringList shown = menuFor(widget);
    if (menu == "window")
        QCOMPARE(shown, entryTexts(f.window()));
    else if (menu == "none")
        QVERIFY(shown.isEmpty());
    else
        QVERIFY(!shown.isEmpty() && !shown.contains(entryTexts(f.window()).at(0)));
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
