#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

namespace {

enum Kind { Caption, Backdrop, Other };

struct Expected
{
    const char *name;
    int width;
    int height;
    Kind kind;
};

// Every name the screens refer to, with the size it is drawn at. Kept apart from the
// generator on purpose: a redrawn image that changes size must be a deliberate change.
const Expected expected[] = {
    {"100.png", 42, 14, Caption},
    {"150.png", 42, 14, Caption},
    {"1_3.png", 100, 32, Other},
    {"200.png", 42, 14, Caption},
    {"250.png", 42, 14, Caption},
    {"3001.png", 43, 14, Caption},
    {"7.png", 102, 32, Other},
    {"Atomizer Type.png", 126, 20, Caption},
    {"Back Home.png", 104, 20, Caption},
    {"Compensation.png", 128, 20, Caption},
    {"Connected.png", 99, 20, Caption},
    {"Is being upgraded.......png", 188, 20, Caption},
    {"M1.png", 35, 19, Caption},
    {"M2.png", 35, 19, Caption},
    {"M3.png", 35, 19, Caption},
    {"M4.png", 35, 19, Caption},
    {"M5.png", 35, 19, Caption},
    {"Not Connected.png", 132, 20, Caption},
    {"Operate Mode.png", 126, 20, Caption},
    {"Parameter Settings.png", 166, 20, Caption},
    {"Please reconnect the next bit machine.png", 410, 21, Caption},
    {"Power Value.png", 110, 20, Caption},
    {"Preheat Power.png", 127, 20, Caption},
    {"Preheat Time .png", 118, 20, Caption},
    {"Read.png", 53, 20, Caption},
    {"Save.png", 52, 20, Caption},
    {"Screen timeout.png", 135, 20, Caption},
    {"Temp Units.png", 101, 20, Caption},
    {"Temperature.png", 114, 20, Caption},
    {"Upgrade progress bar_.png", 192, 20, Caption},
    {"Upgrade success_.png", 155, 20, Caption},
    {"Upgrade.png", 81, 20, Caption},
    {"User Interface.png", 126, 20, Caption},
    {"bg.bmp", 1152, 600, Backdrop},
    {"bg_s_20.png", 700, 388, Other},
    {"bg_top_011.png", 1312, 201, Backdrop},
    {"icon_07.png", 195, 206, Other},
    {"icon_big.png", 258, 277, Other},
    {"icon_big_02_03.png", 275, 286, Other},
    {"icon_big_03.png", 254, 292, Other},
    {"icon_t_03.png", 210, 242, Other},
    {"icon_t_06.png", 195, 206, Other},
    {"icon_t_11.png", 68, 24, Caption},
    {"icon_t_13.png", 68, 24, Caption},
    {"icon_top_01.png", 153, 166, Other},
    {"icon_top_07.png", 75, 100, Other},
    {"ok.png", 128, 128, Other},
    {"picture.png", 210, 32, Caption},
    {"txt_1_05.png", 88, 24, Caption},
    {"txt_1_09.png", 88, 24, Caption},
    {"txt_1_16.png", 42, 42, Other},
    {"txt_2_27.png", 185, 58, Other},
    {"txt_2_41.png", 88, 24, Caption},
    {"txt_3_14.png", 185, 58, Other},
    {"txt_4_03.png", 188, 61, Other},
    {"txt_4_031.png", 188, 61, Other},
    {"txt_4_17.png", 112, 28, Other},
    {"txt_top_03.png", 88, 24, Caption},
    {"txt_top_10.png", 88, 24, Caption},
    {"下拉.png", 16, 16, Other},
    {"保存.png", 48, 24, Caption},
    {"功率值.png", 68, 24, Caption},
    {"升级成功.png", 88, 24, Caption},
    {"升级进度条.png", 108, 24, Caption},
    {"参数设置3.png", 88, 24, Caption},
    {"图片下载完成.png", 128, 24, Caption},
    {"工作模式 .png", 88, 24, Caption},
    {"暗屏时间.png", 88, 24, Caption},
    {"正在升级中.png", 108, 24, Caption},
    {"温度值.png", 68, 24, Caption},
    {"温度单位.png", 88, 24, Caption},
    {"温度补偿.png", 88, 24, Caption},
    {"用户界面.png", 88, 24, Caption},
    {"背景.png", 1170, 430, Backdrop},
    {"请将下位机重新连接.png", 188, 24, Caption},
    {"读取.png", 48, 24, Caption},
    {"软件升级1.png", 88, 24, Caption},
    {"雾化器类型.png", 108, 24, Caption},
    {"预热功率中 .png", 88, 24, Caption},
    {"预热时间中 .png", 88, 24, Caption},
};

QString resourcePath(const char *name)
{
    return QStringLiteral(":/images/") + QString::fromUtf8(name);
}

void addRows(bool (*wanted)(Kind))
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const Expected &e : expected)
        if (wanted(e.kind))
            QTest::newRow(e.name) << resourcePath(e.name) << QSize(e.width, e.height);
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void loadsAtItsSize_data()
    {
        addRows([](Kind) { return true; });
    }
    void loadsAtItsSize();
    void captionIsDarkInkOnTransparency_data()
    {
        addRows([](Kind k) { return k == Caption; });
    }
    void captionIsDarkInkOnTransparency();
    void backdropIsOpaque_data()
    {
        addRows([](Kind k) { return k == Backdrop; });
    }
    void backdropIsOpaque();
    void treeHoldsExactlyTheScreenNames();
    void homeBackgroundIsBitmapFile();
};

void TestImages::loadsAtItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
}

void TestImages::captionIsDarkInkOnTransparency()
{
    QFETCH(QString, path);
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    int clear = 0;
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            clear += qAlpha(pixel) == 0;
            if (qAlpha(pixel) > 200) {
                QVERIFY2(qGray(pixel) < 100, "text must be dark");
                ++ink;
            }
        }
    }
    const int area = image.width() * image.height();
    QVERIFY2(clear > area / 2, "background must be transparent");
    QVERIFY2(ink > area / 40, "text must be drawn");
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
}

void TestImages::backdropIsOpaque()
{
    QFETCH(QString, path);
    QVERIFY(!QImage(path).hasAlphaChannel());
}

void TestImages::treeHoldsExactlyTheScreenNames()
{
    QStringList names;
    for (const Expected &e : expected)
        names << QString::fromUtf8(e.name);
    names.sort();
    QStringList present = QDir(QStringLiteral(":/images")).entryList(QDir::Files);
    present.sort();
    QCOMPARE(present, names);
    // The firmware button's sheet names an image the tree must not hold: it draws nothing.
    QVERIFY(!QFile::exists(QStringLiteral(":/images/txt_4_30.png")));
}

void TestImages::homeBackgroundIsBitmapFile()
{
    QFile file(QStringLiteral(":/images/bg.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
}

QTEST_GUILESS_MAIN(TestImages)
#include "tst_images.moc"
