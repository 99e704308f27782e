#include "tests/hotplug/helpers.h"

#include "sim/simdevice.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

QString writeFile(const QString &name, const QByteArray &content)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return QString();
    return QDir::current().absoluteFilePath(name);
}

// Byte 0 of a report on the wire is the report ID.
QList<int> reportCodes(const SimDevice &device, int first)
{
    QList<int> codes;
    const QList<QByteArray> reports = device.reports();
    for (int i = first; i < reports.size(); ++i)
        codes << uint8_t(reports[i][1]);
    return codes;
}
