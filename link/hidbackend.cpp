#include "link/hidbackend.h"

#include "link/hidapibackend.h"
#include "link/hidnotifier.h"
#include "link/socketbackend.h"

#include <QStringList>
#include <QtGlobal>
#include <atomic>

namespace {

std::atomic<HidBackend *> replacement{nullptr};
thread_local QString threadPick;

// KORVANE_DEVICE=unix:PATH puts the virtual device served on that socket in
// place of the HID devices, for the window and the command-line tool alike.
std::unique_ptr<HidBackend> startupBackend()
{
    QString socketPath;
    if (HidBackend::virtualDevice(&socketPath))
        return std::make_unique<SocketBackend>(socketPath);
    return std::make_unique<HidapiBackend>();
}

} // namespace

HidBackend::HidBackend() : notices(std::make_unique<HidNotifier>()) {}

HidBackend::~HidBackend() = default;

HidBackend *HidBackend::current()
{
    if (HidBackend *backend = replacement.load())
        return backend;
    static const std::unique_ptr<HidBackend> chosen = startupBackend();
    return chosen.get();
}

void HidBackend::setCurrent(HidBackend *backend)
{
    replacement.store(backend);
}

bool HidBackend::virtualDevice(QString *socketPath)
{
    const QString device = qEnvironmentVariable("KORVANE_DEVICE");
    if (!device.startsWith(QLatin1String("unix:")))
        return false;
    *socketPath = device.mid(5);
    return true;
}

QString HidBackend::pick()
{
    return threadPick.isEmpty() ? qEnvironmentVariable("KORVANE_DEVICE") : threadPick;
}

bool HidBackend::wellFormedPick(const QString &device)
{
    const int colon = device.indexOf(':');
    return colon > 0 && colon + 1 < device.size() &&
           QStringList{"unix", "hidraw", "serial"}.contains(device.left(colon));
}

bool HidBackend::picked(const HidInterface &interface)
{
    const QString device = pick();
    const int colon = device.indexOf(':');
    const QString kind = device.left(colon);
    const QString value = device.mid(colon + 1);
    if (kind == QLatin1String("unix") || kind == QLatin1String("hidraw"))
        return interface.path == value;
    if (kind == QLatin1String("serial"))
        return interface.serial == value;
    return true;
}

void HidBackend::pickForThisThread(const QString &device)
{
    threadPick = device;
}
