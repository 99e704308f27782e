#include "catalogue.h"

#include "backdrops.h"
#include "captions.h"
#include "controls.h"
#include "emblems.h"
#include "palette.h"
#include "pictures.h"

#include <QImage>

QVector<ImageJob> imageCatalogue()
{
    QVector<ImageJob> jobs = {
        {"icon_top_01.png", {153, 166}, homeEmblem},
        {"icon_07.png", {195, 206}, globeIcon},
        {"icon_t_06.png", {195, 206}, greyGlobeIcon},
        {"icon_t_03.png", {210, 242}, sparklingGlobeIcon},
        {"icon_big.png", {258, 277}, gearsIcon},
        {"icon_big_02_03.png", {275, 286}, upgradeArrowsIcon},
        {"icon_top_07.png", {75, 100}, upgradeArrowsIcon},
        {"icon_big_03.png", {254, 292}, scrollWithQuill},
        {"ok.png", {128, 128}, planeOverMap},
        {"txt_1_16.png", {42, 42}, linkIcon},
        {"txt_4_17.png", {112, 28}, captionPlate},
        {"下拉.png", {16, 16}, dropDownArrow},
        {"1_3.png", {100, 32}, [](const QSize &s) { return patternStrip(s, Palette::greenLight, Palette::green); }},
        {"7.png", {102, 32}, [](const QSize &s) { return patternStrip(s, Palette::blueLight, Palette::blue); }},
        {"txt_4_03.png", {188, 61}, [](const QSize &s) { return pickButton(s, QStringLiteral("Open File")); }},
        {"txt_4_031.png", {188, 61}, [](const QSize &s) { return pickButton(s, QStringLiteral("打开文件")); }},
        {"txt_2_27.png", {185, 58}, [](const QSize &s) { return pickButton(s, QStringLiteral("Open Picture")); }},
        {"txt_3_14.png", {185, 58}, [](const QSize &s) { return pickButton(s, QStringLiteral("打开图片")); }},
        {"bg.bmp", {1152, 600}, homeBackground},
        // The backdrops at the largest size they are shown: a style sheet's image
        // is decoded whole once for every widget it reaches.
        {"bg_top_011.png", {1312, 201}, topBarBackground},
        {"bg_s_20.png", {700, 388}, pagePanel},
        {"背景.png", {1170, 430}, pageBackdrop},
    };
    for (const Caption &caption : captions())
        jobs.append(
            {QString::fromUtf8(caption.name), caption.size, [caption](const QSize &) { return drawCaption(caption); }});
    return jobs;
}

QVector<ImageJob> iconCatalogue()
{
    QVector<ImageJob> jobs;
    // The emblem is taller than wide; the canvas centres it in the square.
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        jobs.append({QStringLiteral("%1x%1/apps/korvane.png").arg(side), {side, side}, homeEmblem});
    return jobs;
}
