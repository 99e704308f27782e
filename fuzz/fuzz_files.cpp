// The files the programs read back, any content: the window's language.txt
// gives a known language or none and is never changed by reading; korvane-devsim's
// --state file is taken whole or not at all, and what is taken saves and loads again.
#include "app/languagesettings.h"
#include "devsim/statefile.h"
#include "fuzz/fuzzcheck.h"
#include "sim/simdevice.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

QString fileIn(const char *name)
{
    static QTemporaryDir folder; // removed when the fuzzer exits
    FUZZ_CHECK(folder.isValid());
    return folder.filePath(name);
}

QString written(const QByteArray &content)
{
    QFile file(fileIn("input"));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
    return file.fileName();
}

// A decimal number after optional white space: 0 and 1 are the languages, text
// that is no number reads as 0, nothing at all or a number out of range is none.
int expectedLanguage(const std::string &text)
{
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    errno = 0;
    const long long value = at == text.size() ? -1 : std::strtoll(text.c_str() + at, nullptr, 10);
    return errno == ERANGE || value < INT_MIN || value > INT_MAX || (value != 0 && value != 1) ? -1 : int(value);
}

QList<QByteArray> settingsOf(const SimDevice &device)
{
    QList<QByteArray> settings;
    for (int code = 1; code <= 6; ++code)
        settings << device.setting(code);
    return settings;
}

// The plain reading: a JSON object whose keys "1".."6" hold lower-case hex of
// the length the device answers with.
bool acceptable(const QByteArray &content, QList<QByteArray> &settings)
{
    const QJsonObject object = QJsonDocument::fromJson(content).object();
    QList<QByteArray> taken;
    for (int code = 1; code <= 6; ++code) {
        const QJsonValue value = object.value(QString::number(code));
        const QByteArray hex = value.toString().toLatin1();
        if (!value.isString() || hex.size() != 2 * settings[code - 1].size() || hex != hex.toLower() ||
            QByteArray::fromHex(hex).toHex() != hex)
            return false;
        taken << QByteArray::fromHex(hex);
    }
    settings = taken;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    const QString input = written(content);
    FUZZ_CHECK(LanguageSettings::readFile(input) == expectedLanguage(content.toStdString()));
    SimDevice device;
    QList<QByteArray> expected = settingsOf(device);
    const bool taken = acceptable(content, expected);
    FUZZ_CHECK(StateFile(input).load(device).isEmpty() == taken && settingsOf(device) == expected);
    QFile file(input);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly) && file.readAll() == content); // reading changed nothing
    QFile::remove(fileIn("saved.json"));
    StateFile(fileIn("saved.json")).saveIfChanged(device);
    SimDevice again;
    FUZZ_CHECK(StateFile(fileIn("saved.json")).load(again).isEmpty() && settingsOf(again) == settingsOf(device));
    return 0;
}
