#pragma once

#include <QList>
#include <QMap>
#include <QString>

class Parameter;

struct SettingRow
{
    QString key;
    QString value; // in the units the window shows
    QString unit;
};

// The parameter pages without the widgets: the device's settings as read into
// the record, with the values a command gives laid over them. Power and
// preheat time belong to the work mode in effect (the one given, else the
// device's); temperature and compensation to the unit in effect. What was not
// given keeps what the device holds, a temperature turned into the unit given.
class SettingsForm
{
public:
    SettingsForm(Parameter &record, const QMap<QString, QString> &given);

    QList<SettingRow> rows() const;
    // The write commands the given values need, in the order they are sent.
    QList<int> codes() const;
    // The range check of the parameter pages over what those commands send:
    // the first failure's message, or empty.
    QString check() const;
    // Puts the values one write command sends into the record.
    void store(int code);

private:
    int mode() const; // 1 power mode, 2 temperature mode
    bool fahrenheit() const;
    QString value(const QString &key) const;
    QString value(const QString &key, int inMode) const;
    QString held(const QString &key, int inMode) const;
    QString heldTemperature() const;
    QString unitOf(const QString &key) const;
    QStringList coefficients(const QString &prefix) const;

    Parameter &record;
    const QMap<QString, QString> given;
};
