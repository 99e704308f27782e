#include "catalogue.h"
#include "palette.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <cstdio>

static bool isOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

// Opaque pictures are stored without alpha, and PNGs at the strongest compression:
// both keep the committed tree small.
static bool save(const QImage &image, const QString &path)
{
    const bool bmp = path.endsWith(QLatin1String(".bmp"));
    QImageWriter writer(path, bmp ? "BMP" : "PNG");
    if (!bmp)
        writer.setQuality(0);
    const bool opaque = bmp || isOpaque(image);
    return writer.write(image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32));
}

// Writes every job into folder, creating the sub-folders their names hold.
static int writeAll(const QVector<ImageJob> &jobs, const QString &folder)
{
    const QDir root(folder);
    for (const ImageJob &job : jobs) {
        const QString path = root.filePath(job.name);
        if (!QFileInfo(path).dir().mkpath(QStringLiteral(".")) || !save(job.draw(job.size), path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return -1;
        }
    }
    std::printf("%d images written to %s\n", jobs.size(), qPrintable(folder));
    return jobs.size();
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 && args.size() != 3) {
        std::fprintf(stderr, "usage: korvane-imagegen <image folder> [<icon theme folder>]\n");
        return 2;
    }
    // A substitute face would silently change every caption: refuse instead.
    const QStringList families = QFontDatabase().families();
    for (const char *family : {Palette::latinFamily, Palette::cjkFamily}) {
        if (!families.contains(QLatin1String(family))) {
            std::fprintf(stderr, "font \"%s\" is missing (fonts-dejavu-core, fonts-wqy-zenhei)\n", family);
            return 1;
        }
    }
    if (writeAll(imageCatalogue(), args.at(1)) < 0)
        return 1;
    if (args.size() == 3 && writeAll(iconCatalogue(), args.at(2)) < 0)
        return 1;
    return 0;
}
