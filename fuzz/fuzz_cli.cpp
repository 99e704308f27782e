// korvane-cli's outside input, any bytes: as its words (NUL between them), each
// word also as a KEY=VALUE setting, and as a profile for import. What is taken
// must be what was given, in a form taken again as itself (see the checks).
#include "cli/arguments.h"
#include "cli/assignments.h"
#include "cli/profile.h"
#include "fuzz/fuzzcheck.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

void checkCommandLine(const QStringList &words)
{
    // The operand count each command needs, written out here rather than taken from the parser's own table.
    static const QMap<QString, int> least{{"status", 0}, {"read", 0},     {"write", 1}, {"export", 1},
                                          {"import", 1}, {"firmware", 1}, {"logo", 1}};
    Arguments arguments;
    if (!Arguments::parse(words, &arguments).isEmpty() || arguments.help || arguments.version)
        return;
    const int count = arguments.operands.size();
    FUZZ_CHECK(least.contains(arguments.command) && count >= least[arguments.command]);
    FUZZ_CHECK(arguments.command == "write" || count == least[arguments.command]);
    // The command and its operands are the last words, as given.
    FUZZ_CHECK(words.size() > count && words[words.size() - count - 1] == arguments.command);
    FUZZ_CHECK(words.mid(words.size() - count) == arguments.operands);
    FUZZ_CHECK(arguments.device.isEmpty() || (arguments.device.startsWith("unix:") && arguments.device.size() > 5));
    FUZZ_CHECK(arguments.timeoutMs >= 0);
}

// Whether a key may keep a value, by rules written out here: whole or finite numbers, or a name.
bool keepable(const QString &key, const QString &value)
{
    bool ok = false;
    if (key == "screen-timeout" || key == "temperature" || key == "compensation") {
        value.toInt(&ok, 10);
        return ok;
    }
    if (key == "mode")
        return value == "power" || value == "temp";
    if (key == "unit")
        return value == "C" || value == "F";
    if (key == "atomizer") {
        // Past the named types, an index in the seven bits below the unit, written plainly.
        const int index = value.toInt(&ok, 10);
        return Assignments::atomizerNames().contains(value) ||
               (ok && index >= Assignments::atomizerNames().size() && index <= 127 && QString::number(index) == value);
    }
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number);
}

void checkAssignment(const QString &word)
{
    Assignments assignments;
    const QString error = assignments.take(word);
    if (!error.isEmpty()) {
        FUZZ_CHECK(assignments.values().isEmpty());
        return;
    }
    const QString key = word.section('=', 0, 0), kept = assignments.values().value(key);
    FUZZ_CHECK(word.contains('=') && Assignments::keys().contains(key) && assignments.values().size() == 1);
    FUZZ_CHECK(keepable(key, kept));
    // What is kept is taken again as itself: an export of it imports unchanged.
    Assignments again;
    FUZZ_CHECK(again.take(key, kept).isEmpty());
    FUZZ_CHECK(again.values().value(key) == kept);
}

// The settings as export writes them: numbers as numbers, names as texts.
QByteArray exported(const QMap<QString, QString> &values)
{
    QList<SettingRow> rows;
    for (auto value = values.begin(); value != values.end(); ++value)
        rows << SettingRow{value.key(), value.value(), QString()};
    return QJsonDocument(Profile::toJson(rows)).toJson(QJsonDocument::Indented);
}

void checkProfile(const QByteArray &json)
{
    Assignments assignments;
    if (!Profile::fromJson(json, &assignments).isEmpty())
        return;

    FUZZ_CHECK(QJsonDocument::fromJson(json).isObject());
    const QJsonObject object = QJsonDocument::fromJson(json).object();
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
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QStringList words = text.split(QChar(0));
    checkCommandLine(words);
    for (const QString &word : words)
        checkAssignment(word);
    checkProfile(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
