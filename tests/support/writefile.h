#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Writes content to path (relative to the working folder, or absolute) and
// returns the file's absolute path; empty when it could not be written whole.
inline QString writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return QString();
    return QDir::current().absoluteFilePath(path);
}
