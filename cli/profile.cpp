#include "cli/profile.h"

#include "cli/assignments.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>

QJsonObject Profile::toJson(const QList<SettingRow> &rows)
{
    QJsonObject object;
    for (const SettingRow &row : rows)
        object.insert(row.key, Assignments::isNumeric(row.key) ? QJsonValue(row.value.toDouble()) : row.value);
    return object;
}

QString Profile::fromJson(const QByteArray &json, Assignments *assignments)
{
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return QString("not JSON: %1 at byte %2").arg(parsed.errorString()).arg(parsed.offset);
    if (!document.isObject())
        return "not a profile: expected one JSON object of settings";
    const QJsonObject object = document.object();
    for (auto member = object.begin(); member != object.end(); ++member) {
        const QJsonValue value = member.value();
        if (!value.isString() && !value.isDouble())
            return QString("%1: expected a number or a text").arg(member.key());
        const QString text = value.isString() ? value.toString()
                                              : QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        const QString error = assignments->take(member.key(), text);
        if (!error.isEmpty())
            return error;
    }
    return QString();
}
