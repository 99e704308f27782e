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
