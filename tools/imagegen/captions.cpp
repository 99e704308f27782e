#include "captions.h"

#include "canvas.h"
#include "palette.h"

#include <QFont>
#include <QString>

// Latin captions are 20 px high (16 px type), Han captions 24 px (20 px type); widths
// are the text's advance plus a small margin, so the layout's stretching stays mild.
const QVector<Caption> &captions()
{
    static const QVector<Caption> table = {
        {"Atomizer Type.png", "Atomizer Type", {126, 20}, Caption::Label},
        {"Back Home.png", "Back Home", {104, 20}, Caption::Label},
        {"Compensation.png", "Compensation", {128, 20}, Caption::Label},
        {"Connected.png", "Connected", {99, 20}, Caption::Label},
        {"Is being upgraded.......png", "Is being upgraded......", {188, 20}, Caption::Label},
        {"Not Connected.png", "Not Connected", {132, 20}, Caption::Label},
        {"Operate Mode.png", "Operate Mode", {126, 20}, Caption::Label},
        {"Parameter Settings.png", "Parameter Settings", {166, 20}, Caption::Label},
        {"Please reconnect the next bit machine.png",
         "Please reconnect the next bit machine",
         {410, 21},
         Caption::Label},
        {"Power Value.png", "Power Value", {110, 20}, Caption::Label},
        {"Preheat Power.png", "Preheat Power", {127, 20}, Caption::Label},
        {"Preheat Time .png", "Preheat Time", {118, 20}, Caption::Label},
        {"Read.png", "Read", {53, 20}, Caption::Label},
        {"Save.png", "Save", {52, 20}, Caption::Label},
        {"Screen timeout.png", "Screen timeout", {135, 20}, Caption::Label},
        {"Temp Units.png", "Temp Units", {101, 20}, Caption::Label},
        {"Temperature.png", "Temperature", {114, 20}, Caption::Label},
        {"Upgrade progress bar_.png", "Upgrade progress bar:", {192, 20}, Caption::Label},
        {"Upgrade success_.png", "Upgrade success!", {155, 20}, Caption::Label},
        {"Upgrade.png", "Upgrade", {81, 20}, Caption::Label},
        {"User Interface.png", "User Interface", {126, 20}, Caption::Label},

        {"保存.png", "保存", {48, 24}, Caption::Label},
        {"读取.png", "读取", {48, 24}, Caption::Label},
        {"功率值.png", "功率值", {68, 24}, Caption::Label},
        {"温度值.png", "温度值", {68, 24}, Caption::Label},
        {"升级成功.png", "升级成功", {88, 24}, Caption::Label},
        {"升级进度条.png", "升级进度条", {108, 24}, Caption::Label},
        {"参数设置3.png", "参数设置", {88, 24}, Caption::Label},
        {"工作模式 .png", "工作模式", {88, 24}, Caption::Label},
        {"暗屏时间.png", "暗屏时间", {88, 24}, Caption::Label},
        {"正在升级中.png", "正在升级中", {108, 24}, Caption::Label},
        {"温度单位.png", "温度单位", {88, 24}, Caption::Label},
        {"温度补偿.png", "温度补偿", {88, 24}, Caption::Label},
        {"用户界面.png", "用户界面", {88, 24}, Caption::Label},
        {"请将下位机重新连接.png", "请将下位机重新连接", {188, 24}, Caption::Label},
        {"软件升级1.png", "软件升级", {88, 24}, Caption::Label},
        {"雾化器类型.png", "雾化器类型", {108, 24}, Caption::Label},
        {"预热功率中 .png", "预热功率", {88, 24}, Caption::Label},
        {"预热时间中 .png", "预热时间", {88, 24}, Caption::Label},
        {"txt_1_05.png", "软件升级", {88, 24}, Caption::Label},
        {"txt_1_09.png", "用户界面", {88, 24}, Caption::Label},
        {"txt_2_41.png", "参数设置", {88, 24}, Caption::Label},
        {"txt_top_10.png", "参数设置", {88, 24}, Caption::Label},
        {"txt_top_03.png", "返回首页", {88, 24}, Caption::Label},
        {"icon_t_11.png", "未连接", {68, 24}, Caption::Label},
        {"icon_t_13.png", "已连接", {68, 24}, Caption::Label},

        {"picture.png", "Picture download success!", {210, 32}, Caption::Notice},
        {"图片下载完成.png", "图片下载完成", {128, 24}, Caption::Notice},

        {"100.png", "100℃", {42, 14}, Caption::Header},
        {"150.png", "150℃", {42, 14}, Caption::Header},
        {"200.png", "200℃", {42, 14}, Caption::Header},
        {"250.png", "250℃", {42, 14}, Caption::Header},
        {"3001.png", "300℃", {43, 14}, Caption::Header},
        {"M1.png", "M1", {35, 19}, Caption::Header},
        {"M2.png", "M2", {35, 19}, Caption::Header},
        {"M3.png", "M3", {35, 19}, Caption::Header},
        {"M4.png", "M4", {35, 19}, Caption::Header},
        {"M5.png", "M5", {35, 19}, Caption::Header},
    };
    return table;
}

QImage drawCaption(const Caption &caption)
{
    const QString text = QString::fromUtf8(caption.text);
    const int height = caption.size.height();
    const qreal pixels = hasHan(text) ? qMin(20, height - 4) : qMin(16, height * 4 / 5);
    const QFont font = uiFont(text, pixels, caption.tone == Caption::Header);
    const QColor &ink = caption.tone == Caption::Notice ? Palette::noticeText : Palette::captionText;

    Canvas canvas(caption.size);
    drawCentredText(canvas.painter(), QRectF(QPointF(0, 0), caption.size).adjusted(4, 0, -4, 0), text, font, ink);
    return canvas.finish();
}
