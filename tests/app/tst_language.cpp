#include "app/form.h"
#include "app/homepage.h"
#include "app/languagesettings.h"
#include "app/mainwindow.h"
#include "tests/app/windowfixture.h"
#include "tests/support/logcapture.h"

#include <QtTest>

// The interface language: the remembered choice, the three switches and what
// each language shows.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();
    void languageFile_data();
    void languageFile();
    void languageFileTakenOverOnce();
    void localeFallback_data();
    void localeFallback();
    void sheetCaptions_data();
    void sheetCaptions();
    void iconCaptions_data();
    void iconCaptions();
    void sizeLimits_data();
    void sizeLimits();
    void texts_data();
    void texts();
    void homePageWidgets_data();
    void homePageWidgets();
    void comboSwitchesBothWays();
    void firmwarePageFollowsASwitchBack();
    void radioButtonsSwitchAndKeepComboIndex();
    void radioToCurrentLanguageChangesNothing();
    void radioRereadsSettingFirst();
    void chineseRadioIsConnectedTwice();
    void languageChangeReturnsHome();
    void secondHomeCallBuildsNothing();

private:
    SharedWindow shared;
};

// The caption tables only look at the window; every other test builds its own.
void TestLanguage::init()
{
    const QByteArray function = QTest::currentTestFunction();
    if (function != "sheetCaptions" && function != "iconCaptions" && function != "sizeLimits")
        shared.release();
}

void TestLanguage::cleanupTestCase()
{
    shared.release();
}

namespace {

QIcon resourceIcon(const QString &image)
{
    return QIcon(":/images/" + image);
}

bool sameIcon(const QIcon &icon, const QString &image)
{
    const QImage expected = resourceIcon(image).pixmap(64, 64).toImage();
    return !expected.isNull() && icon.pixmap(64, 64).toImage() == expected;
}

QStringList comboTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

const QString caption = "border-top:0px solid #e8f3f9;background:  transparent;";

} // namespace

void TestLanguage::languageFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("language");
    QTest::newRow("0") << QByteArray("0") << 0;
    QTest::newRow("1 on a non-Chinese system") << QByteArray("1") << 1;
    QTest::newRow("1 with a line end") << QByteArray("1\n") << 1;
    QTest::newRow("no number reads as 0") << QByteArray("abc") << 0;
}

// With nothing remembered yet, language.txt is taken over; the file stays as it was.
void TestLanguage::languageFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, language);
    WindowFixture f(content.constData());
    QCOMPARE(f.window()->currentLanguage(), language);
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(language));
    QCOMPARE(WindowFixture::languageFile(), content);
}

// Taken over once, the file no longer counts, and no choice is written into the
// current directory: the setting goes to the user's configuration folder.
void TestLanguage::languageFileTakenOverOnce()
{
    WindowFixture f("1");
    WindowFixture::writeLanguageFile("0");
    f.ui()->radioButton->click(); // rereads what is remembered: Chinese still
    QCOMPARE(f.window()->currentLanguage(), 1);
    QCOMPARE(f.ui()->pushButton_setTCR->text(), QString("保存 TCR"));

    WindowFixture::writeLanguageFile(nullptr);
    f.ui()->radioButton_2->click();
    QCOMPARE(f.window()->currentLanguage(), 0);
    QVERIFY(WindowFixture::languageFile().isNull());
    QSettings stored(qEnvironmentVariable("XDG_CONFIG_HOME") + "/korvane/korvane.conf", QSettings::IniFormat);
    QCOMPARE(stored.value("language"), QVariant("0"));
}

// The system locale's language decides; the test's environment says which one it is.
static int localeLanguage()
{
    return qEnvironmentVariableIntValue("KORVANE_TEST_LOCALE_LANGUAGE");
}

void TestLanguage::localeFallback_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("7") << QByteArray("7");
    QTest::newRow("-1") << QByteArray("-1");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("2") << QByteArray("2");
}

void TestLanguage::localeFallback()
{
    QFETCH(QByteArray, content);
    WindowFixture f(content.isNull() ? nullptr : content.constData());
    QCOMPARE(f.window()->currentLanguage(), localeLanguage());
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(localeLanguage()));
    QCOMPARE(WindowFixture::languageFile(), content);
    QCOMPARE(f.window()->homePage()->widgets().languageCombo->currentIndex(), localeLanguage());
}

void TestLanguage::sheetCaptions_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QRect>("geometry");
    const QByteArray en("0");
    const QByteArray zh("1");
    QTest::newRow("en homeTopIcon") << en << "homeTopIcon"
                                    << "border-image:url(:/images/icon_top_01.png)" << QRect(520, 150, 150, 160);
    QTest::newRow("en homeConnectedCaption") << en << "homeConnectedCaption"
                                             << "border-image:url(:/images/Connected.png)" << QRect(330, 480, 90, 15);
    QTest::newRow("en homeDisconnectedCaption")
        << en << "homeDisconnectedCaption"
        << "border-image:url(:/images/Not Connected.png)" << QRect(330, 480, 90, 15);
    QTest::newRow("en homeUpgradeCaption") << en << "homeUpgradeCaption"
                                           << "border-image:url(:/images/Upgrade.png)" << QRect(480, 480, 80, 18);
    QTest::newRow("en homeSettingCaption")
        << en << "homeSettingCaption"
        << "border-image:url(:/images/Parameter Settings.png)" << QRect(590, 480, 150, 20);
    QTest::newRow("en homeUserCaption") << en << "homeUserCaption"
                                        << "border-image:url(:/images/User Interface.png)" << QRect(760, 480, 110, 15);
    QTest::newRow("en label_31") << en << "label_31" << caption + "border-image: url(:/images/Operate Mode.png);"
                                 << QRect(110, 30, 91, 16);
    QTest::newRow("en label_32") << en << "label_32" << caption + "border-image: url(:/images/Temp Units.png);"
                                 << QRect(410, 30, 81, 16);
    QTest::newRow("en label_173") << en << "label_173" << caption + "border-image: url(:/images/Compensation.png);"
                                  << QRect();
    QTest::newRow("en label_21") << en << "label_21"
                                 << "image:url(:/images/Please reconnect the next bit machine.png)"
                                 << QRect(320, 160, 310, 20);
    QTest::newRow("en label_17") << en << "label_17"
                                 << "image:url(:/images/Is being upgraded.......png)" << QRect(320, 280, 201, 21);
    QTest::newRow("en label_16") << en << "label_16"
                                 << "image:url(:/images/picture.png)" << QRect(310, 170, 201, 31);

    QTest::newRow("zh homeTopIcon") << zh << "homeTopIcon"
                                    << "border-image:url(:/images/icon_top_01.png)" << QRect(520, 150, 150, 160);
    QTest::newRow("zh homeConnectedCaption") << zh << "homeConnectedCaption"
                                             << "border-image:url(:/images/icon_t_13.png)" << QRect(330, 480, 90, 15);
    QTest::newRow("zh homeDisconnectedCaption")
        << zh << "homeDisconnectedCaption"
        << "border-image:url(:/images/icon_t_11.png)" << QRect(330, 480, 90, 15);
    QTest::newRow("zh homeUpgradeCaption") << zh << "homeUpgradeCaption"
                                           << "border-image:url(:/images/txt_1_05.png)" << QRect(480, 480, 80, 15);
    // Built with txt_top_10.png, then replaced when the constructor applies the language.
    QTest::newRow("zh homeSettingCaption") << zh << "homeSettingCaption"
                                           << "border-image:url(:/images/txt_2_41.png)" << QRect(618, 480, 80, 15);
    QTest::newRow("zh homeUserCaption") << zh << "homeUserCaption"
                                        << "border-image:url(:/images/用户界面.png)" << QRect(772, 480, 80, 15);
    QTest::newRow("zh label_31") << zh << "label_31" << caption + "border-image:url(:/images/工作模式 .png)"
                                 << QRect(110, 30, 75, 15);
    QTest::newRow("zh label_32") << zh << "label_32" << caption + "border-image:url(:/images/温度单位.png)"
                                 << QRect(410, 30, 75, 15);
    QTest::newRow("zh label_overshootTime_2")
        << zh << "label_overshootTime_2" << caption + "border-image:url(:/images/预热时间中 .png)" << QRect();
    QTest::newRow("zh label_21") << zh << "label_21"
                                 << "image:url(:/images/请将下位机重新连接.png)" << QRect(320, 160, 310, 20);
    QTest::newRow("zh label_22") << zh << "label_22"
                                 << "image:url(:/images/升级进度条.png)" << QRect(280, 210, 180, 20);
    QTest::newRow("zh label_17") << zh << "label_17"
                                 << "image:url(:/images/正在升级中.png)" << QRect(295, 280, 180, 20);
    QTest::newRow("zh label_20") << zh << "label_20"
                                 << "image:url(:/images/升级成功.png)" << QRect(280, 280, 180, 20);
    QTest::newRow("zh label_16") << zh << "label_16"
                                 << "image:url(:/images/图片下载完成.png)" << QRect(310, 170, 151, 21);
}

void TestLanguage::sheetCaptions()
{
    QFETCH(QByteArray, languageFile);
    QFETCH(QString, widget);
    QFETCH(QString, sheet);
    QFETCH(QRect, geometry);
    WindowFixture &f = shared.get(languageFile);
    auto *target = f.window()->findChild<QWidget *>(widget);
    QVERIFY(target);
    QCOMPARE(target->styleSheet(), sheet);
    if (geometry.isValid())
        QCOMPARE(target->geometry(), geometry);
}

void TestLanguage::iconCaptions_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QRect>("geometry");
    const QByteArray en("0");
    const QByteArray zh("1");
    QTest::newRow("en pushButton") << en << "pushButton"
                                   << "Back Home.png" << QRect(410, 160, 100, 25);
    QTest::newRow("en pushButton_3") << en << "pushButton_3"
                                     << "Upgrade.png" << QRect(560, 160, 100, 30);
    QTest::newRow("en pushButton_4") << en << "pushButton_4"
                                     << "Parameter Settings.png" << QRect(680, 162, 181, 25);
    QTest::newRow("en pushButton_5") << en << "pushButton_5"
                                     << "User Interface.png" << QRect(870, 160, 121, 25);
    QTest::newRow("en pushButton_6") << en << "pushButton_6"
                                     << "Not Connected.png" << QRect();
    QTest::newRow("en pushButton_set") << en << "pushButton_set"
                                       << "Save.png" << QRect();
    QTest::newRow("en pushButton_get") << en << "pushButton_get"
                                       << "Read.png" << QRect();
    QTest::newRow("en pushButton_bootLoaderFile") << en << "pushButton_bootLoaderFile"
                                                  << "txt_4_03.png" << QRect();
    QTest::newRow("en pushButton_logo") << en << "pushButton_logo"
                                        << "txt_2_27.png" << QRect();
    QTest::newRow("en homeUpgradeButton") << en << "homeUpgradeButton"
                                          << "icon_big_02_03.png" << QRect(460, 355, 120, 120);
    QTest::newRow("zh pushButton") << zh << "pushButton"
                                   << "txt_top_03.png" << QRect();
    QTest::newRow("zh pushButton_3") << zh << "pushButton_3"
                                     << "软件升级1.png" << QRect(565, 165, 100, 15);
    QTest::newRow("zh pushButton_4") << zh << "pushButton_4"
                                     << "参数设置3.png" << QRect(715, 160, 100, 25); // held by its minimum
    QTest::newRow("zh pushButton_5") << zh << "pushButton_5"
                                     << "txt_1_09.png" << QRect(860, 162, 141, 20);
    QTest::newRow("zh pushButton_2") << zh << "pushButton_2"
                                     << "icon_t_13.png" << QRect();
    QTest::newRow("zh pushButton_set") << zh << "pushButton_set"
                                       << "保存.png" << QRect();
    QTest::newRow("zh pushButton_get") << zh << "pushButton_get"
                                       << "读取.png" << QRect();
    QTest::newRow("zh pushButton_bootLoaderFile") << zh << "pushButton_bootLoaderFile"
                                                  << "txt_4_031.png" << QRect();
    QTest::newRow("zh pushButton_9") << zh << "pushButton_9"
                                     << "txt_1_05.png" << QRect();
    QTest::newRow("zh pushButton_10") << zh << "pushButton_10"
                                      << "用户界面.png" << QRect();
    QTest::newRow("zh pushButton_logo") << zh << "pushButton_logo"
                                        << "txt_3_14.png" << QRect();
}

void TestLanguage::iconCaptions()
{
    QFETCH(QByteArray, languageFile);
    QFETCH(QString, widget);
    QFETCH(QString, image);
    QFETCH(QRect, geometry);
    WindowFixture &f = shared.get(languageFile);
    auto *button = f.window()->findChild<QAbstractButton *>(widget);
    QVERIFY(button);
    QVERIFY(sameIcon(button->icon(), image));
    if (geometry.isValid())
        QCOMPARE(button->geometry(), geometry);
}

void TestLanguage::sizeLimits_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    const QByteArray en("0");
    const QByteArray zh("1");
    const int big = QWIDGETSIZE_MAX;
    QTest::newRow("en label_39") << en << "label_39" << QSize(120, 12) << QSize(120, 12);
    QTest::newRow("en label_power_2") << en << "label_power_2" << QSize(100, 11) << QSize(100, 11);
    QTest::newRow("en label_overshootTime_2") << en << "label_overshootTime_2" << QSize(110, 11) << QSize(110, 11);
    QTest::newRow("en label_overshootPower_2") << en << "label_overshootPower_2" << QSize(120, 11) << QSize(120, 11);
    QTest::newRow("en label_temp_2") << en << "label_temp_2" << QSize(0, 0) << QSize(92, 14);
    QTest::newRow("en label_atomizerType_2") << en << "label_atomizerType_2" << QSize(0, 0) << QSize(111, 13);
    QTest::newRow("zh label_39") << zh << "label_39" << QSize(75, 15) << QSize(75, 15);
    QTest::newRow("zh label_power_2") << zh << "label_power_2" << QSize(55, 15) << QSize(55, 15);
    QTest::newRow("zh label_overshootTime_2") << zh << "label_overshootTime_2" << QSize(75, 0) << QSize(75, 15);
    QTest::newRow("zh label_overshootPower_2") << zh << "label_overshootPower_2" << QSize(75, 15) << QSize(75, 15);
    QTest::newRow("zh label_temp_2") << zh << "label_temp_2" << QSize(55, 15) << QSize(55, 15);
    QTest::newRow("zh label_173") << zh << "label_173" << QSize(75, 15) << QSize(75, 15);
    QTest::newRow("zh label_atomizerType_2") << zh << "label_atomizerType_2" << QSize(95, 15) << QSize(95, 15);
    QTest::newRow("zh lineEdit_power") << zh << "lineEdit_power" << QSize(0, 0) << QSize(350, big);
}

void TestLanguage::sizeLimits()
{
    QFETCH(QByteArray, languageFile);
    QFETCH(QString, widget);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    WindowFixture &f = shared.get(languageFile);
    auto *target = f.window()->findChild<QWidget *>(widget);
    QVERIFY(target);
    QCOMPARE(target->minimumSize(), minimum);
    QCOMPARE(target->maximumSize(), maximum);
}

void TestLanguage::texts_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QStringList>("workModes");
    QTest::addColumn<QRect>("workModeGeometry");
    QTest::addColumn<QString>("failed");
    QTest::addColumn<QStringList>("buttons"); // save and read TCR, save and read TFR
    QTest::addColumn<QStringList>("languages");
    QTest::newRow("English") << QByteArray("0") << "Basic Parameter" << QStringList{"Power Mode", "Temp Mode"}
                             << QRect(210, 20, 145, 30) << "Update failed!"
                             << QStringList{"Save TCR", "Read TCR", "Save TFR", "Read TFR"}
                             << QStringList{"English", "Chinese"};
    QTest::newRow("Chinese") << QByteArray("1") << "基本参数" << QStringList{"功率模式", "温控模式"}
                             << QRect(210, 20, 91, 30) << "升级失败！"
                             << QStringList{"保存 TCR", "读取 TCR", "保存 TFR", "读取 TFR"}
                             << QStringList{"英文", "中文"};
}

void TestLanguage::texts()
{
    QFETCH(QByteArray, languageFile);
    QFETCH(QString, tab);
    QFETCH(QStringList, workModes);
    QFETCH(QRect, workModeGeometry);
    QFETCH(QString, failed);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, languages);
    WindowFixture f(languageFile.constData());
    Ui::MainWindow *ui = f.ui();
    QCOMPARE(ui->tabWidget_2->tabText(ui->tabWidget_2->indexOf(ui->tab_8)), tab);
    QCOMPARE(comboTexts(ui->comboBox_workmode), workModes);
    QCOMPARE(ui->comboBox_workmode->currentIndex(), 0);
    QCOMPARE(ui->comboBox_workmode->geometry(), workModeGeometry);
    QCOMPARE(ui->label_7->text(), failed);
    QCOMPARE((QStringList{ui->pushButton_setTCR->text(), ui->pushButton_getTCR->text(), ui->pushButton_setTFR->text(),
                          ui->pushButton_getTFR->text()}),
             buttons);
    QCOMPARE(comboTexts(f.window()->homePage()->widgets().languageCombo), languages);
    // Neither language touches these.
    QCOMPARE(ui->radioButton->text(), QString("Chinese"));
    QCOMPARE(ui->radioButton_2->text(), QString("English"));
    QVERIFY(ui->label_6->text().contains("Please link official website"));
}

void TestLanguage::homePageWidgets_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::newRow("English") << QByteArray("0");
    QTest::newRow("Chinese") << QByteArray("1");
}

void TestLanguage::homePageWidgets()
{
    QFETCH(QByteArray, languageFile);
    WindowFixture f(languageFile.constData());
    const HomeWidgets &home = f.window()->homePage()->widgets();
    for (QWidget *own :
         {home.homeBackground, (QWidget *)home.languageCombo, (QWidget *)home.homeUpgradeButton,
          (QWidget *)home.homeSettingButton, (QWidget *)home.homeUserButton, (QWidget *)home.homeLinkLabel})
        QCOMPARE(own->parentWidget(), f.window());
    QPushButton *const inner[] = {home.homeTopIcon,        home.homeConnectedCaption, home.homeDisconnectedCaption,
                                  home.homeConnectedIcon,  home.homeDisconnectedIcon, home.homeUpgradeCaption,
                                  home.homeSettingCaption, home.homeUserCaption,      home.homeLinkIcon};
    for (QPushButton *button : inner)
        QCOMPARE(button->parentWidget(), home.homeBackground);

    QCOMPARE(home.homeBackground->geometry(), QRect(0, 0, 1161, 638));
    QCOMPARE(home.homeBackground->styleSheet(), QString("border-image:url(:/images/bg.bmp)"));
    QCOMPARE(home.languageCombo->geometry(), QRect(860, 570, 100, 30));
    QVERIFY(home.languageCombo->styleSheet().endsWith("QComboBox::drop-down {border-image:url(:/images/下拉.png)}"));
    QCOMPARE(home.homeConnectedIcon->styleSheet(), QString("border-image:url(:/images/icon_07.png)"));
    QCOMPARE(home.homeDisconnectedIcon->styleSheet(), QString("border-image:url(:/images/icon_t_06.png)"));
    QCOMPARE(home.homeConnectedIcon->geometry(), QRect(320, 350, 120, 120));
    QVERIFY(home.homeConnectedIcon->isFlat());
    QVERIFY(!home.homeConnectedCaption->isFlat());
    QCOMPARE(home.homeLinkIcon->geometry(), QRect(480, 570, 20, 20));
    QCOMPARE(home.homeSettingButton->geometry(), QRect(600, 350, 120, 120));
    QCOMPARE(home.homeUserButton->geometry(), QRect(750, 350, 120, 120));
    QCOMPARE(home.homeUserButton->iconSize(), QSize(120, 120));
    QVERIFY(sameIcon(home.homeSettingButton->icon(), "icon_big.png"));
    QVERIFY(sameIcon(home.homeUserButton->icon(), "icon_big_03.png"));
    QCOMPARE(home.homeLinkLabel->geometry(), QRect(510, 559, 200, 40));
    QVERIFY(home.homeLinkLabel->text().endsWith("\">Please link official website"));
    QVERIFY(home.homeLinkLabel->openExternalLinks());
}

void TestLanguage::comboSwitchesBothWays()
{
    WindowFixture f("0");
    QComboBox *combo = f.window()->homePage()->widgets().languageCombo;
    combo->setCurrentIndex(1);
    QCOMPARE(f.window()->currentLanguage(), 1);
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(1));
    QCOMPARE(f.ui()->label_31->styleSheet(), caption + "border-image:url(:/images/工作模式 .png)");
    QCOMPARE(f.ui()->pushButton_setTCR->text(), QString("保存 TCR"));
    QCOMPARE(comboTexts(combo), QStringList({"英文", "中文"}));
    QCOMPARE(combo->currentIndex(), 1);

    combo->setCurrentIndex(0);
    QCOMPARE(f.window()->currentLanguage(), 0);
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(0));
    QCOMPARE(f.ui()->label_31->styleSheet(), caption + "border-image: url(:/images/Operate Mode.png);");
    QCOMPARE(f.ui()->label_31->geometry(), QRect(110, 30, 91, 16));
    QCOMPARE(comboTexts(combo), QStringList({"English", "Chinese"}));
}

// Chinese and back to English leaves the firmware page as an English start shows it.
void TestLanguage::firmwarePageFollowsASwitchBack()
{
    const auto look = [](QWidget *page) {
        QStringList seen;
        for (QWidget *widget : page->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(widget);
            const auto *button = qobject_cast<QAbstractButton *>(widget);
            const QString text = label ? label->text() : button ? button->text() : QString();
            const QIcon icon = button ? button->icon() : QIcon();
            const QImage picture = icon.isNull() ? QImage() : icon.pixmap(button->iconSize()).toImage();
            seen << QString("%1 %2 %3 %4 %5")
                        .arg(widget->objectName(), widget->styleSheet(), text)
                        .arg(widget->geometry().x())
                        .arg(qHashBits(picture.constBits(), size_t(picture.sizeInBytes())));
        }
        return seen;
    };
    QStringList english;
    {
        WindowFixture f("0");
        f.window()->on_click_main_update();
        english = look(f.ui()->stackedWidget->widget(2));
    }
    WindowFixture f("1");
    f.window()->homePage()->widgets().languageCombo->setCurrentIndex(0);
    f.window()->on_click_main_update();
    QCOMPARE(look(f.ui()->stackedWidget->widget(2)), english);
}

void TestLanguage::radioButtonsSwitchAndKeepComboIndex()
{
    WindowFixture f("0");
    QComboBox *combo = f.window()->homePage()->widgets().languageCombo;
    f.ui()->radioButton->click();
    QCOMPARE(f.window()->currentLanguage(), 1);
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(1));
    QCOMPARE(f.ui()->pushButton_getTFR->text(), QString("读取 TFR"));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->currentText(), QString("英文"));

    f.ui()->radioButton_2->click();
    QCOMPARE(f.window()->currentLanguage(), 0);
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(0));
    QCOMPARE(f.ui()->pushButton_getTFR->text(), QString("Read TFR"));
    QCOMPARE(combo->currentText(), QString("English"));
}

void TestLanguage::radioToCurrentLanguageChangesNothing()
{
    WindowFixture f("1");
    f.ui()->pushButton_setTCR->setText("untouched");
    f.ui()->radioButton->click();
    QCOMPARE(f.ui()->pushButton_setTCR->text(), QString("untouched"));
    QCOMPARE(WindowFixture::rememberedLanguage(), QVariant(1));
}

void TestLanguage::radioRereadsSettingFirst()
{
    WindowFixture f("0");
    LanguageSettings::write(1); // as another window of the user's would
    f.ui()->radioButton->click();
    QCOMPARE(f.window()->currentLanguage(), 1);
    // The setting already said Chinese, so nothing was applied.
    QCOMPARE(f.ui()->pushButton_setTCR->text(), QString("Save TCR"));
}

// Connected by the constructor and once more by name when the form is set up:
// one click runs the slot twice.
void TestLanguage::chineseRadioIsConnectedTwice()
{
    WindowFixture f("0");
    LogCapture log;
    f.ui()->radioButton->dumpObjectInfo();
    const QStringList lines = log.messages();
    int at = lines.indexOf(QRegularExpression("\\s*signal: clicked\\(bool\\)"));
    QVERIFY(at >= 0);
    QStringList receivers;
    while (++at < lines.size() && !lines.at(at).contains("signal:") && !lines.at(at).contains("SIGNALS IN"))
        receivers << lines.at(at).trimmed();
    QCOMPARE(receivers,
             QStringList({"--> MainWindow::MainWindow on_radioButton_clicked()", "<functor or function pointer>"}));
}

void TestLanguage::languageChangeReturnsHome()
{
    WindowFixture f("0");
    const HomeWidgets &home = f.window()->homePage()->widgets();
    home.homeUserButton->click();
    f.ui()->label_29->setText("Save success");
    home.languageCombo->setCurrentIndex(1);
    QVERIFY(home.homeBackground->isVisible());
    QVERIFY(home.homeLinkLabel->isVisible());
    QVERIFY(f.ui()->stackedWidget->isHidden());
    QVERIFY(f.ui()->widget->isHidden());
    QVERIFY(!f.ui()->tabWidget_2->isHidden());
    QVERIFY(f.ui()->label_29->text().isEmpty());
}

void TestLanguage::secondHomeCallBuildsNothing()
{
    WindowFixture f("1");
    const HomeWidgets before = f.window()->homePage()->widgets();
    const int children = f.window()->findChildren<QWidget *>().size();
    f.window()->on_click_home();
    const HomeWidgets &after = f.window()->homePage()->widgets();
    QCOMPARE(after.homeSettingCaption, before.homeSettingCaption);
    QCOMPARE(after.languageCombo, before.languageCombo);
    QCOMPARE(f.window()->findChildren<QWidget *>().size(), children);
    QCOMPARE(after.homeSettingCaption->styleSheet(), QString("border-image:url(:/images/txt_2_41.png)"));
    QVERIFY(after.homeConnectedIcon->isVisible());
    QVERIFY(after.homeDisconnectedIcon->isVisible());
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
