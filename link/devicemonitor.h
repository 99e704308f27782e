#pragma once

#include <QObject>

class DeviceListener;
class HidNotifier;

// Follows HID interfaces as they come and go and brings the link and the shared
// link state up to date: an arrival reopens the link and repeats the handshake,
// a removal checks whether the heater is still there. The notices are those of
// the current HID backend, handled from the event loop of the thread the monitor
// is made on.
class DeviceMonitor : public QObject
{
    Q_OBJECT

public:
    explicit DeviceMonitor(DeviceListener *listener, QObject *parent = nullptr);

private:
    void watchUdev(HidNotifier *notices);
    void arrival();
    void removal();

    DeviceListener *listener;
};
