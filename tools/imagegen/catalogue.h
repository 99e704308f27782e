#pragma once

#include <QSize>
#include <QString>
#include <QVector>
#include <functional>

class QImage;

// One file of the image tree: its name, its size and how to draw it.
struct ImageJob
{
    QString name;
    QSize size;
    std::function<QImage(const QSize &)> draw;
};

QVector<ImageJob> imageCatalogue();
// The program's icon at the sizes of the hicolor theme, named by their place in it.
QVector<ImageJob> iconCatalogue();
