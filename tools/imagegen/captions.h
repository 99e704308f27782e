#pragma once

#include <QSize>
#include <QVector>

class QImage;

// A picture of a few words: a caption of the screen, a table header or a notice.
struct Caption
{
    enum Tone { Label, Header, Notice };
    const char *name;
    const char *text;
    QSize size;
    Tone tone;
};

const QVector<Caption> &captions();
QImage drawCaption(const Caption &caption);
