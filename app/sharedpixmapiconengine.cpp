#include "app/sharedpixmapiconengine.h"

#include <QHash>
#include <QPainter>

namespace {

using DecodedFiles = QHash<QString, QPixmap>;
Q_GLOBAL_STATIC(DecodedFiles, decodedFiles)

} // namespace

QPixmap SharedPixmapIconEngine::sharedPixmap(const QString &fileName)
{
    QPixmap &decoded = (*decodedFiles)[fileName];
    if (decoded.isNull())
        decoded = QPixmap(fileName);
    return decoded;
}

QIcon &SharedPixmapIconEngine::icon() const
{
    for (const File &file : qAsConst(pending))
        loaded.addPixmap(sharedPixmap(file.name), file.mode, file.state);
    pending.clear();
    return loaded;
}

// As Qt's pixmap engine draws: the pixmap for the rectangle's size, drawn into it.
// Icons are drawn at a device pixel ratio of 1 here (no high-DPI pixmaps).
void SharedPixmapIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, icon().pixmap(rect.size(), mode, state));
}

QSize SharedPixmapIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return icon().actualSize(size, mode, state);
}

QPixmap SharedPixmapIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return icon().pixmap(size, mode, state);
}

void SharedPixmapIconEngine::addPixmap(const QPixmap &pixmap, QIcon::Mode mode, QIcon::State state)
{
    icon().addPixmap(pixmap, mode, state);
}

// Only single-image files come here, so a size asked for is the file's own.
void SharedPixmapIconEngine::addFile(const QString &fileName, const QSize &, QIcon::Mode mode, QIcon::State state)
{
    if (!fileName.isEmpty())
        pending.append({fileName, mode, state});
}

QString SharedPixmapIconEngine::key() const
{
    return QStringLiteral("SharedPixmapIconEngine");
}

QIconEngine *SharedPixmapIconEngine::clone() const
{
    return new SharedPixmapIconEngine(*this);
}

QList<QSize> SharedPixmapIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) const
{
    return icon().availableSizes(mode, state);
}

void SharedPixmapIconEngine::virtual_hook(int id, void *data)
{
    if (id == QIconEngine::IsNullHook)
        *static_cast<bool *>(data) = icon().isNull();
    else
        QIconEngine::virtual_hook(id, data);
}
