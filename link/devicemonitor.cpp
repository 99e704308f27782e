#include "link/devicemonitor.h"

#include "common/log.h"
#include "common/processstate.h"
#include "link/devicelistener.h"
#include "link/hidbackend.h"
#include "link/hidnotifier.h"
#include "link/udevwatcher.h"
#include "link/usb.h"

namespace {
constexpr const char *DeviceName = "/dev/ttyUSB0";
constexpr int NormalAnswer = 64;
} // namespace

DeviceMonitor::DeviceMonitor(DeviceListener *listener, QObject *parent) : QObject(parent), listener(listener)
{
    HidBackend *backend = HidBackend::current();
    HidNotifier *notices = backend->notifier();
    // Queued even from this thread: a notice raised in the middle of an exchange
    // (a device vanishing under a write) is handled once the exchange is over.
    connect(notices, &HidNotifier::arrived, this, &DeviceMonitor::arrival, Qt::QueuedConnection);
    connect(notices, &HidNotifier::removed, this, &DeviceMonitor::removal, Qt::QueuedConnection);
    if (backend->noticesFromUdev())
        watchUdev(notices);
}

void DeviceMonitor::watchUdev(HidNotifier *notices)
{
    auto *watcher = new UdevWatcher(notices, this);
    if (watcher->watching())
        return;
    delete watcher;
    LOG_TRACE() << "no udev monitor: HID devices plugged in or removed go unnoticed";
}

void DeviceMonitor::arrival()
{
    LOG_TRACE() << " add usb device";
    listener->reopenLink();
    linkState = listener->greetHeater();
    if (linkState == NormalAnswer)
        listener->readAllParameters();
    deviceEvent = 1;
    LOG_TRACE() << "what is fa" << linkState.load();
}

// Any HID interface leaving raises this: only the presence check tells whether
// it was the heater.
void DeviceMonitor::removal()
{
    LOG_TRACE() << " remove usb device";
    const UsbOps *ops = programUsb().ops();
    const int found = ops->open(DeviceName);
    if (found < 0) {
        listener->closeLink();
        deviceRemoved = 1;
        linkState = 0;
    } else {
        ops->close(found);
    }
    deviceEvent = 2;
    if (fileDialogOpen) {
        fileDialogOpen = 0;
        listener->closeFileDialog();
    }
}
