#include "app/homepage.h"

#include "app/pagehost.h"
#include "app/widgetstate.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

const char comboSheet[] = "QComboBox {border-top:0px solid #e8f3f9;background: transparent;border-radius: 10px;}"
                          "QToolTip {background: transparent;}"
                          "QComboBox::drop-down {border-image:url(:/images/下拉.png)}";

// A light plate keeps the text readable over the background's curves.
const char problemSheet[] = "border-image:none;background-color:rgba(255,255,255,235);border:1px solid #d9a3a0;"
                            "border-radius:6px;color:#8c1d18;font-size:13px;padding:3px 10px;";
// Centred under the entries' panel, no wider than it.
constexpr int problemCentreX = 594;
constexpr int problemTop = 522;
constexpr int problemWidest = 640;

QString borderImage(const char *image)
{
    return QStringLiteral("border-image:url(:/images/") + QString::fromUtf8(image) + QLatin1Char(')');
}

QString resource(const char *image)
{
    return QStringLiteral(":/images/") + QString::fromUtf8(image);
}

} // namespace

void HomePage::show(int language)
{
    if (!w.homeBackground)
        build(language);
    QWidget *const all[] = {
        w.homeBackground,          w.languageCombo,      w.homeTopIcon,          w.homeConnectedCaption,
        w.homeDisconnectedCaption, w.homeConnectedIcon,  w.homeDisconnectedIcon, w.homeUpgradeCaption,
        w.homeUpgradeButton,       w.homeSettingCaption, w.homeSettingButton,    w.homeUserCaption,
        w.homeUserButton,          w.homeLinkIcon,       w.homeLinkLabel};
    for (QWidget *widget : all)
        widget->show();
}

void HomePage::hide()
{
    QWidget *const own[] = {w.homeUpgradeButton, w.homeSettingButton, w.homeUserButton,
                            w.languageCombo,     w.homeLinkLabel,     w.homeBackground};
    for (QWidget *widget : own)
        widget->hide();
}

void HomePage::showBackdrop()
{
    w.homeBackground->show();
    w.homeLinkLabel->show();
}

void HomePage::showLinkState(bool connected)
{
    setShown(w.homeConnectedIcon, connected);
    setShown(w.homeDisconnectedIcon, !connected);
    setShown(w.homeConnectedCaption, connected);
    setShown(w.homeDisconnectedCaption, !connected);
}

void HomePage::showProblem(const QString &english, const QString &chinese)
{
    problemEnglish = english;
    problemChinese = chinese;
    showProblemInLanguage();
}

void HomePage::showProblemInLanguage()
{
    if (!w.homeProblemLabel)
        return;
    const QString &text = host.currentLanguage() == 1 ? problemChinese : problemEnglish;
    QLabel *label = w.homeProblemLabel;
    label->setText(text);
    label->ensurePolished(); // the sheet's font and padding
    const int frame = label->contentsMargins().left() + label->contentsMargins().right();
    const int width = std::min(problemWidest, label->fontMetrics().horizontalAdvance(text) + frame + 2);
    label->setGeometry(problemCentreX - width / 2, problemTop, width, label->heightForWidth(width));
    setShown(label, !text.isEmpty());
}

void HomePage::setUpgradeOnly(bool upgradeOnly)
{
    setActive(w.homeUserButton, !upgradeOnly);
    setActive(w.homeSettingButton, !upgradeOnly);
    setActive(w.homeUpgradeButton, upgradeOnly);
}

void HomePage::setComboTexts(int language)
{
    const bool chinese = language == 1;
    w.languageCombo->setItemText(0, chinese ? QStringLiteral("英文") : QStringLiteral("English"));
    w.languageCombo->setItemText(1, chinese ? QStringLiteral("中文") : QStringLiteral("Chinese"));
}

void HomePage::build(int language)
{
    const bool chinese = language != 0;

    w.homeBackground = new QWidget(window);
    w.homeBackground->setObjectName("homeBackground");
    w.homeBackground->setGeometry(0, 0, 1161, 638);
    w.homeBackground->setStyleSheet(borderImage("bg.bmp"));

    w.languageCombo = new QComboBox(window);
    w.languageCombo->setObjectName("languageCombo");
    w.languageCombo->setGeometry(860, 570, 100, 30);
    w.languageCombo->setStyleSheet(QString::fromUtf8(comboSheet));
    w.languageCombo->addItem(QString());
    w.languageCombo->addItem(QString());
    setComboTexts(chinese ? 1 : 0);
    w.languageCombo->setCurrentIndex(chinese ? 1 : 0);
    // Connected only now, so filling and selecting it do not count as a choice.
    QObject::connect(w.languageCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), window, actions.language);

    w.homeTopIcon = picture("homeTopIcon", "icon_top_01.png", {520, 150, 150, 160}, false);
    w.homeConnectedCaption =
        picture("homeConnectedCaption", chinese ? "icon_t_13.png" : "Connected.png", {330, 480, 90, 15}, false);
    w.homeDisconnectedCaption =
        picture("homeDisconnectedCaption", chinese ? "icon_t_11.png" : "Not Connected.png", {330, 480, 90, 15}, false);
    w.homeConnectedIcon = picture("homeConnectedIcon", "icon_07.png", {320, 350, 120, 120}, true);
    w.homeDisconnectedIcon = picture("homeDisconnectedIcon", "icon_t_06.png", {320, 350, 120, 120}, true);
    w.homeUpgradeCaption = chinese ? picture("homeUpgradeCaption", "txt_1_05.png", {480, 480, 80, 15}, false)
                                   : picture("homeUpgradeCaption", "Upgrade.png", {480, 480, 80, 18}, false);
    w.homeUpgradeButton = entry("homeUpgradeButton", "icon_big_02_03.png", {460, 355, 120, 120}, actions.upgrade);
    w.homeSettingCaption = chinese
                               ? picture("homeSettingCaption", "txt_top_10.png", {618, 480, 80, 15}, false)
                               : picture("homeSettingCaption", "Parameter Settings.png", {590, 480, 150, 20}, false);
    w.homeSettingButton = entry("homeSettingButton", "icon_big.png", {600, 350, 120, 120}, actions.setting);
    w.homeUserCaption = chinese ? picture("homeUserCaption", "用户界面.png", {772, 480, 80, 15}, false)
                                : picture("homeUserCaption", "User Interface.png", {760, 480, 110, 15}, false);
    w.homeUserButton = entry("homeUserButton", "icon_big_03.png", {750, 350, 120, 120}, actions.user);
    w.homeLinkIcon = picture("homeLinkIcon", "txt_1_16.png", {480, 570, 20, 20}, true);

    w.homeLinkLabel =
        new QLabel(QCoreApplication::translate("MainWindow",
                                               "<a href=\"https://korvane.example.org/\">Please link official website"),
                   window);
    w.homeLinkLabel->setObjectName("homeLinkLabel");
    w.homeLinkLabel->setGeometry(510, 559, 200, 40);
    w.homeLinkLabel->setOpenExternalLinks(true);

    w.homeProblemLabel = new QLabel(w.homeBackground);
    w.homeProblemLabel->setObjectName("homeProblemLabel");
    // Its own sheet: the background's border image would otherwise paint behind the text.
    w.homeProblemLabel->setStyleSheet(QString::fromUtf8(problemSheet));
    w.homeProblemLabel->setAlignment(Qt::AlignCenter);
    w.homeProblemLabel->setWordWrap(true);
    showProblemInLanguage();
}

QPushButton *HomePage::picture(const char *name, const char *image, const QRect &geometry, bool flat)
{
    auto *button = new QPushButton(w.homeBackground);
    button->setObjectName(name);
    button->setStyleSheet(borderImage(image));
    button->setFlat(flat);
    button->setGeometry(geometry);
    return button;
}

QPushButton *HomePage::entry(const char *name, const char *image, const QRect &geometry,
                             const std::function<void()> &action)
{
    auto *button = new QPushButton(window);
    button->setObjectName(name);
    button->setIcon(QIcon(resource(image)));
    button->setIconSize({120, 120});
    button->setFlat(true);
    button->setGeometry(geometry);
    QObject::connect(button, &QPushButton::clicked, window, action);
    return button;
}
