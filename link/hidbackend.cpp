#include "link/hidbackend.h"

#include "link/hidapibackend.h"
#include "link/hidnotifier.h"
#include "link/socketbackend.h"

#include <QtGlobal>
#include <atomic>

namespace {

std::atomic<HidBackend *> replacement{nullptr};

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
