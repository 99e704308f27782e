#pragma once

#include <QIcon>
#include <QIconEngine>
#include <QVector>

// An icon made from image files, as a style sheet's image or the form's icons
// make them. Qt's own engine decodes the whole file for every icon, at once, so
// each widget a style sheet reaches, hidden or not, held its own copy, decoded
// again at every polish. This one decodes a file only when the icon is first
// drawn or measured, once for the whole program, and lets every icon of that
// file share the pixmap; drawing and scaling are Qt's own.
class SharedPixmapIconEngine : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    void addPixmap(const QPixmap &pixmap, QIcon::Mode mode, QIcon::State state) override;
    void addFile(const QString &fileName, const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine *clone() const override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) const override;
    void virtual_hook(int id, void *data) override;

    // The one decoded pixmap of an image file (null if it cannot be read).
    static QPixmap sharedPixmap(const QString &fileName);

private:
    struct File
    {
        QString name;
        QIcon::Mode mode;
        QIcon::State state;
    };

    // Qt's pixmap icon of the files added so far, made on first use.
    QIcon &icon() const;

    mutable QVector<File> pending;
    mutable QIcon loaded;
};
