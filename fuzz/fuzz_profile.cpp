// A profile for korvane-cli import with any content. One that is taken is a
// JSON object whose every member became a setting of the same key and value,
// and what was taken, written out as export writes it, is taken again unchanged.
#include "cli/assignments.h"
#include "cli/profile.h"
#include "fuzz/fuzzcheck.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <cstddef>
#include <cstdint>

namespace {

// The settings as export writes them: numbers as numbers, names as texts.
QByteArray exported(const QMap<QString, QString> &values)
{
    QList<SettingRow> rows;
    for (auto value = values.begin(); value != values.end(); ++value)
        rows << SettingRow{value.key(), value.value(), QString()};
    return QJsonDocument(Profile::toJson(rows)).toJson(QJsonDocument::Indented);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), int(size));
    Assignments assignments;
    if (!Profile::fromJson(json, &assignments).isEmpty())
        return 0;

    const QJsonDocument document = QJsonDocument::fromJson(json);
    FUZZ_CHECK(document.isObject());
    const QJsonObject object = document.object();
    const QMap<QString, QString> &values = assignments.values();
    QStringList members = object.keys();
    members.sort();
    FUZZ_CHECK(values.keys() == members);
    for (auto value = values.begin(); value != values.end(); ++value) {
        const QJsonValue member = object.value(value.key());
        const QString given = member.toString().trimmed();
        bool index = false;
        if (member.isDouble())
            FUZZ_CHECK(value.value().toDouble() == member.toDouble());
        else // a name in any case, or an atomizer type by its index
            FUZZ_CHECK(value.value().compare(given, Qt::CaseInsensitive) == 0 ||
                       (value.key() == "atomizer" && given.toInt(&index, 10) == value.value().toInt() && index));
    }

    // Numbers written as numbers may come back in a shorter form, never as another number.
    Assignments again;
    FUZZ_CHECK(Profile::fromJson(exported(values), &again).isEmpty());
    FUZZ_CHECK(again.values().keys() == values.keys());
    for (auto value = values.begin(); value != values.end(); ++value) {
        const QString back = again.values().value(value.key());
        FUZZ_CHECK(Assignments::isNumeric(value.key()) ? back.toDouble() == value.value().toDouble()
                                                       : back == value.value());
    }
    return 0;
}
