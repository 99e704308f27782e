// korvane-devsim's state file with any content: a file is taken whole or not
// at all, what is taken is exactly the hex the file holds for each command, and
// what is taken saves and loads again unchanged.
#include "devsim/statefile.h"
#include "fuzz/fuzzcheck.h"
#include "sim/simdevice.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int FirstCode = 1;
constexpr int LastCode = 6;

char folder[] = "/tmp/korvane-fuzz-statefile-XXXXXX";

QString fileIn(const char *name)
{
    return QString::fromLocal8Bit(folder) + '/' + name;
}

void removeFolder()
{
    QFile::remove(fileIn("state.json"));
    QFile::remove(fileIn("saved.json"));
    ::rmdir(folder);
}

QList<QByteArray> settingsOf(const SimDevice &device)
{
    QList<QByteArray> settings;
    for (int code = FirstCode; code <= LastCode; ++code)
        settings << device.setting(code);
    return settings;
}

bool lowerHex(const QString &text)
{
    for (const QChar c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// The plain reading: a JSON object whose keys "1".."6" hold lower-case hex of
// the length the device answers with.
bool acceptable(const QByteArray &content, const QList<QByteArray> &defaults)
{
    const QJsonObject settings = QJsonDocument::fromJson(content).object();
    for (int code = FirstCode; code <= LastCode; ++code) {
        const QJsonValue value = settings.value(QString::number(code));
        const QString text = value.toString();
        if (!value.isString() || !lowerHex(text) || text.size() != 2 * defaults[code - FirstCode].size())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (!mkdtemp(folder))
        std::abort();
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    {
        QFile file(fileIn("state.json"));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(content) == content.size());
    }
    SimDevice device;
    const QList<QByteArray> defaults = settingsOf(device);
    StateFile state(fileIn("state.json"));
    const bool loaded = state.load(device).isEmpty();

    FUZZ_CHECK(loaded == acceptable(content, defaults));
    if (!loaded) {
        FUZZ_CHECK(settingsOf(device) == defaults);
        return 0;
    }
    const QJsonObject settings = QJsonDocument::fromJson(content).object();
    for (int code = FirstCode; code <= LastCode; ++code)
        FUZZ_CHECK(device.setting(code) ==
                   QByteArray::fromHex(settings.value(QString::number(code)).toString().toLatin1()));

    QFile::remove(fileIn("saved.json"));
    StateFile saved(fileIn("saved.json"));
    saved.saveIfChanged(device);
    SimDevice again;
    FUZZ_CHECK(StateFile(fileIn("saved.json")).load(again).isEmpty());
    FUZZ_CHECK(settingsOf(again) == settingsOf(device));
    return 0;
}
