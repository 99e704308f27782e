#pragma once

#include <QElapsedTimer>
#include <QString>

class QTextStream;

// A one-line progress bar on a terminal: percent, bytes and rate. Off a
// terminal only the final line is written.
class ProgressBar
{
public:
    ProgressBar(QTextStream &out, qint64 totalBytes, bool live);

    void update(int percent);
    void finish(int percent);

    static QString line(int percent, qint64 doneBytes, qint64 totalBytes, double bytesPerSecond);
    static QString size(double bytes);

private:
    void draw(int percent, char end);

    QTextStream &out;
    const qint64 total;
    const bool live;
    QElapsedTimer clock;
    qint64 lastDrawMs = -1;
    int lastPercent = -1;
};
