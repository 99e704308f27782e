#include "catalogue.h"
#include "palette.h"

#include <QDir>
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

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: korvane-imagegen <folder>\n");
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
    const QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }
    int written = 0;
    for (const ImageJob &job : imageCatalogue()) {
        if (!save(job.draw(job.size), folder.filePath(job.name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(job.name)));
            return 1;
        }
        ++written;
    }
    std::printf("%d images written to %s\n", written, qPrintable(folder.path()));
    return 0;
}
