#pragma once

#include <QObject>

class HidNotifier;
class QSocketNotifier;
struct udev;
struct udev_monitor;

// Raises the notices of a HID notifier from udev's hidraw events: "add" as an
// arrival, "remove" as a removal. The socket is watched on the thread the
// watcher is made on, so the notices are raised there.
class UdevWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UdevWatcher(HidNotifier *notices, QObject *parent = nullptr);
    ~UdevWatcher() override;

    // False when no udev monitor could be had; the watcher then raises nothing.
    bool watching() const { return socket != nullptr; }

private:
    void receive();

    HidNotifier *notices;
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    QSocketNotifier *socket = nullptr;
};
