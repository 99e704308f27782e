#pragma once

#include "cli/settingsform.h"

#include <QJsonObject>
#include <QList>

class Assignments;

// The settings as JSON, one member per key: the numbers as numbers, the names
// as strings. `read --json` prints it and a profile file holds it.
class Profile
{
public:
    // A profile takes about 1.5 KB; anything near this is no profile.
    static constexpr qint64 LargestFile = 1 << 20;

    static QJsonObject toJson(const QList<SettingRow> &rows);
    // Takes every member of a profile; empty when all were taken, else why not.
    static QString fromJson(const QByteArray &json, Assignments *assignments);
};
