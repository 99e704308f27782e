#include "cli/progressbar.h"

#include <QTextStream>
#include <algorithm>

namespace {
constexpr int BarWidth = 30;
constexpr qint64 RedrawMs = 100;
} // namespace

ProgressBar::ProgressBar(QTextStream &stream, qint64 totalBytes, bool onTerminal)
    : out(stream), total(totalBytes), live(onTerminal)
{
    clock.start();
}

void ProgressBar::update(int percent)
{
    const qint64 now = clock.elapsed();
    if (!live || percent == lastPercent || (lastDrawMs >= 0 && now - lastDrawMs < RedrawMs))
        return;
    lastDrawMs = now;
    lastPercent = percent;
    draw(percent, '\r');
}

void ProgressBar::finish(int percent)
{
    draw(percent, '\n');
}

void ProgressBar::draw(int percent, char end)
{
    const qint64 done = total * std::clamp(percent, 0, 100) / 100;
    const double seconds = std::max<qint64>(clock.elapsed(), 1) / 1000.0;
    out << line(percent, done, total, done / seconds) << end;
    out.flush();
}

QString ProgressBar::line(int percent, qint64 doneBytes, qint64 totalBytes, double bytesPerSecond)
{
    const int filled = BarWidth * std::clamp(percent, 0, 100) / 100;
    return QString("[%1%2] %3%  %4 of %5  %6/s")
        .arg(QString(filled, '#'), QString(BarWidth - filled, '-'))
        .arg(percent, 3)
        .arg(size(doneBytes), size(totalBytes), size(bytesPerSecond));
}

QString ProgressBar::size(double bytes)
{
    if (bytes < 1024)
        return QString("%1 B").arg(qint64(bytes));
    if (bytes < 1024 * 1024)
        return QString("%1 KiB").arg(bytes / 1024, 0, 'f', 1);
    return QString("%1 MiB").arg(bytes / (1024 * 1024), 0, 'f', 1);
}
