#include "app/languagetable.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTabWidget>

namespace {

enum class Form {
    Keep,
    Icon,
    HomeSheet,    // "border-image:url(...)"
    EnglishSheet, // caption picture of the English form
    ChineseSheet, // caption picture of the Chinese form
    ImageSheet,   // "image:url(...)"
    Text,
    TranslatedText,
};

// Geometry, or limits on the size (-1 leaves a limit as it is).
struct Bounds
{
    enum Mode { Keep, Geometry, Limits };
    Mode mode = Keep;
    int a = 0, b = 0, c = 0,
        d = 0; // x, y, width, height; or minimum width, minimum height, maximum width, maximum height
};

struct Look
{
    Form form = Form::Keep;
    const char *value = nullptr;
    Bounds bounds;
};

struct Row
{
    const char *widget;
    Look english;
    Look chinese;
};

constexpr Bounds at(int x, int y, int width, int height)
{
    return {Bounds::Geometry, x, y, width, height};
}

constexpr Bounds limits(int minWidth, int minHeight, int maxWidth, int maxHeight)
{
    return {Bounds::Limits, minWidth, minHeight, maxWidth, maxHeight};
}

constexpr Bounds fixed(int width, int height)
{
    return limits(width, height, width, height);
}

constexpr Look icon(const char *image, Bounds bounds = {})
{
    return {Form::Icon, image, bounds};
}

constexpr Look home(const char *image, Bounds bounds = {})
{
    return {Form::HomeSheet, image, bounds};
}

constexpr Look english(const char *image, Bounds bounds)
{
    return {Form::EnglishSheet, image, bounds};
}

constexpr Look chinese(const char *image, Bounds bounds)
{
    return {Form::ChineseSheet, image, bounds};
}

constexpr Look image(const char *name, Bounds bounds = {})
{
    return {Form::ImageSheet, name, bounds};
}

constexpr Look text(const char *value)
{
    return {Form::Text, value, {}};
}

const Row rows[] = {
    {"homeTopIcon", home("icon_top_01.png"), {}},
    {"homeConnectedCaption", home("Connected.png", at(330, 480, 90, 15)), home("icon_t_13.png")},
    {"homeDisconnectedCaption", home("Not Connected.png", at(330, 480, 90, 15)), home("icon_t_11.png")},
    {"homeUpgradeCaption", home("Upgrade.png", at(480, 480, 80, 18)), home("txt_1_05.png", at(480, 480, 80, 15))},
    {"homeSettingCaption", home("Parameter Settings.png", at(590, 480, 150, 20)),
     home("txt_2_41.png", at(618, 480, 80, 15))},
    {"homeUserCaption", home("User Interface.png", at(760, 480, 110, 15)), home("用户界面.png", at(772, 480, 80, 15))},
    {"pushButton", icon("Back Home.png"), icon("txt_top_03.png")},
    {"pushButton_3", icon("Upgrade.png", at(560, 160, 100, 30)), icon("软件升级1.png", at(565, 165, 100, 15))},
    {"pushButton_4", icon("Parameter Settings.png", at(680, 162, 181, 25)),
     icon("参数设置3.png", at(715, 160, 90, 12))},
    {"pushButton_5", icon("User Interface.png"), icon("txt_1_09.png", at(860, 162, 141, 20))},
    {"pushButton_6", icon("Not Connected.png"), icon("icon_t_11.png")},
    {"pushButton_2", icon("Connected.png"), icon("icon_t_13.png")},
    {"label_31", english("Operate Mode.png", at(110, 30, 91, 16)), chinese("工作模式 .png", at(110, 30, 75, 15))},
    {"label_32", english("Temp Units.png", at(410, 30, 81, 16)), chinese("温度单位.png", at(410, 30, 75, 15))},
    {"label_39", english("Screen timeout.png", fixed(120, 12)), chinese("暗屏时间.png", fixed(75, 15))},
    {"label_power_2", english("Power Value.png", fixed(100, 11)), chinese("功率值.png", fixed(55, 15))},
    {"label_overshootTime_2", english("Preheat Time .png", limits(-1, 11, 110, 11)),
     chinese("预热时间中 .png", limits(75, -1, 75, 15))},
    {"label_overshootPower_2", english("Preheat Power.png", limits(-1, 11, 120, 11)),
     chinese("预热功率中 .png", fixed(75, 15))},
    {"label_temp_2", english("Temperature.png", limits(-1, -1, 92, 14)), chinese("温度值.png", fixed(55, 15))},
    {"label_173", english("Compensation.png", limits(-1, -1, 92, 16)), chinese("温度补偿.png", fixed(75, 15))},
    {"label_atomizerType_2", english("Atomizer Type.png", limits(-1, -1, 111, 13)),
     chinese("雾化器类型.png", fixed(95, 15))},
    {"pushButton_set", icon("Save.png"), icon("保存.png")},
    {"pushButton_get", icon("Read.png"), icon("读取.png")},
    {"label_21", image("Please reconnect the next bit machine.png"), image("请将下位机重新连接.png")},
    {"label_22", image("Upgrade progress bar_.png"), image("升级进度条.png", at(280, 210, 180, 20))},
    {"label_7",
     {Form::TranslatedText, "Update failed!", {}},
     {Form::TranslatedText, "升级失败！", at(295, 280, 180, 20)}},
    {"label_17", image("Is being upgraded.......png"), image("正在升级中.png", at(295, 280, 180, 20))},
    {"label_20", image("Upgrade success_.png"), image("升级成功.png", at(280, 280, 180, 20))},
    {"pushButton_bootLoaderFile", icon("txt_4_03.png"), icon("txt_4_031.png")},
    {"pushButton_9", icon("Upgrade.png"), icon("txt_1_05.png")},
    {"pushButton_10", icon("User Interface.png"), icon("用户界面.png")},
    {"pushButton_logo", icon("txt_2_27.png"), icon("txt_3_14.png")},
    {"label_16", image("picture.png", at(310, 170, 201, 31)), image("图片下载完成.png", at(310, 170, 151, 21))},
    {"pushButton_setTCR", text("Save TCR"), text("保存 TCR")},
    {"pushButton_getTCR", text("Read TCR"), text("读取 TCR")},
    {"pushButton_setTFR", text("Save TFR"), text("保存 TFR")},
    {"pushButton_getTFR", text("Read TFR"), text("读取 TFR")},
};

QString sheet(Form form, const QString &name)
{
    switch (form) {
    case Form::HomeSheet:
        return "border-image:url(:/images/" + name + ")";
    case Form::EnglishSheet:
        return "border-top:0px solid #e8f3f9;background:  transparent;border-image: url(:/images/" + name + ");";
    case Form::ChineseSheet:
        return "border-top:0px solid #e8f3f9;background:  transparent;border-image:url(:/images/" + name + ")";
    default:
        return "image:url(:/images/" + name + ")";
    }
}

void setText(QWidget *widget, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
}

// Where the form put a widget that one language moves, so that the other
// language, which names no place of its own, puts it back.
const char formGeometry[] = "formGeometry";

void applyBounds(QWidget *widget, const Bounds &bounds)
{
    const QVariant original = widget->property(formGeometry);
    if (bounds.mode == Bounds::Geometry) {
        if (!original.isValid())
            widget->setProperty(formGeometry, widget->geometry());
        widget->setGeometry(bounds.a, bounds.b, bounds.c, bounds.d);
        return;
    }
    if (original.isValid())
        widget->setGeometry(original.toRect());
    if (bounds.mode != Bounds::Limits)
        return;
    if (bounds.a >= 0)
        widget->setMinimumWidth(bounds.a);
    if (bounds.b >= 0)
        widget->setMinimumHeight(bounds.b);
    if (bounds.c >= 0)
        widget->setMaximumWidth(bounds.c);
    if (bounds.d >= 0)
        widget->setMaximumHeight(bounds.d);
}

void applyLook(QWidget *widget, const Look &look)
{
    if (look.form == Form::Keep)
        return;
    const QString value = QString::fromUtf8(look.value);
    switch (look.form) {
    case Form::Icon:
        qobject_cast<QAbstractButton *>(widget)->setIcon(QIcon(":/images/" + value));
        break;
    case Form::Text:
        setText(widget, value);
        break;
    case Form::TranslatedText:
        setText(widget, QCoreApplication::translate("MainWindow", look.value));
        break;
    default:
        widget->setStyleSheet(sheet(look.form, value));
        break;
    }
    applyBounds(widget, look.bounds);
}

} // namespace

void LanguageTable::apply(QWidget *window, int language)
{
    const bool chinese = language == 1;
    for (const Row &row : rows)
        applyLook(window->findChild<QWidget *>(QLatin1String(row.widget)), chinese ? row.chinese : row.english);

    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidget_2"));
    tabs->setTabText(tabs->indexOf(window->findChild<QWidget *>(QStringLiteral("tab_8"))),
                     chinese ? QStringLiteral("基本参数") : QStringLiteral("Basic Parameter"));

    auto *workMode = window->findChild<QComboBox *>(QStringLiteral("comboBox_workmode"));
    workMode->setItemText(0, chinese ? QStringLiteral("功率模式") : QStringLiteral("Power Mode"));
    workMode->setItemText(1, chinese ? QStringLiteral("温控模式") : QStringLiteral("Temp Mode"));
    workMode->setGeometry(chinese ? QRect(210, 20, 91, 30) : QRect(210, 20, 145, 30));
}
