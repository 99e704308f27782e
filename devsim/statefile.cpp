#include "devsim/statefile.h"

#include "sim/simdevice.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr int FirstCode = 1;
constexpr int LastCode = 6;

QByteArray snapshot(const SimDevice &device)
{
    QJsonObject settings;
    for (int code = FirstCode; code <= LastCode; ++code)
        settings.insert(QString::number(code), QString::fromLatin1(device.setting(code).toHex()));
    return QJsonDocument(settings).toJson();
}

} // namespace

StateFile::StateFile(const QString &file) : path(file) {}

QString StateFile::load(SimDevice &device)
{
    QFile file(path);
    if (!file.exists())
        return QString();
    if (!file.open(QIODevice::ReadOnly))
        return QString("%1: %2").arg(path, file.errorString());
    const QJsonObject settings = QJsonDocument::fromJson(file.readAll()).object();
    // Checked whole before anything is taken, against the lengths the device answers with.
    QByteArray payloads[LastCode + 1];
    for (int code = FirstCode; code <= LastCode; ++code) {
        const QString text = settings.value(QString::number(code)).toString();
        payloads[code] = QByteArray::fromHex(text.toLatin1());
        if (payloads[code].size() != device.setting(code).size() || payloads[code].toHex() != text.toLatin1())
            return QString("%1: setting %2 is missing or not %3 bytes of hex")
                .arg(path)
                .arg(code)
                .arg(device.setting(code).size());
    }
    for (int code = FirstCode; code <= LastCode; ++code)
        device.setSetting(code, payloads[code]);
    saved = snapshot(device);
    return QString();
}

void StateFile::saveIfChanged(const SimDevice &device)
{
    const QByteArray now = snapshot(device);
    if (now == saved)
        return;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(now) == now.size() && file.commit())
        saved = now;
}
