#pragma once

#include "tests/support/logcapture.h"

#include <QRegularExpression>
#include <QStringList>

// The captured messages with the line field masked back to its format, so the
// lines compare against their printf form; the field must still be four wide.
inline QStringList logLines(const LogCapture &log)
{
    static const QRegularExpression lineField(QStringLiteral("Line:\\[[ 0-9]{4}\\]"));
    QStringList lines = log.messages();
    for (QString &line : lines)
        line.replace(lineField, QStringLiteral("Line:[%4d]"));
    return lines;
}
