#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The settings a command was given, by key, each already known to be a value
// of its key's kind (a number, a whole number or one of the names). Whether a
// number is in range depends on the device's mode and unit and is checked later.
class Assignments
{
public:
    // Every key, in the order settings are shown.
    static const QStringList &keys();
    static bool isNumeric(const QString &key);
    static const QStringList &atomizerNames(); // by the index the device keeps

    // KEY=VALUE; empty when taken, else why not.
    QString take(const QString &assignment);
    QString take(const QString &key, const QString &value);

    const QMap<QString, QString> &values() const { return given; }

private:
    QMap<QString, QString> given;
};
