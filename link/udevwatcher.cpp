#include "link/udevwatcher.h"

#include "link/hidnotifier.h"

#include <QSocketNotifier>
#include <cstring>
#include <libudev.h>

UdevWatcher::UdevWatcher(HidNotifier *notices, QObject *parent) : QObject(parent), notices(notices)
{
    context = udev_new();
    if (!context)
        return;
    // The "udev" source, not the kernel's: its events come once the rules have
    // run, so the node can already be opened on an arrival.
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0)
        return;
    const int fd = udev_monitor_get_fd(monitor);
    if (fd < 0)
        return;
    socket = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(socket, &QSocketNotifier::activated, this, &UdevWatcher::receive);
}

UdevWatcher::~UdevWatcher()
{
    delete socket;
    if (monitor)
        udev_monitor_unref(monitor);
    if (context)
        udev_unref(context);
}

void UdevWatcher::receive()
{
    udev_device *device = udev_monitor_receive_device(monitor);
    if (!device)
        return;
    const char *action = udev_device_get_action(device);
    const QString node = QString::fromLocal8Bit(udev_device_get_devnode(device));
    if (action && std::strcmp(action, "add") == 0)
        notices->announceArrival(node);
    else if (action && std::strcmp(action, "remove") == 0)
        notices->announceRemoval(node);
    udev_device_unref(device);
}
