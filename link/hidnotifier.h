#pragma once

#include <QObject>
#include <QString>

// Arrival and removal notices of HID interfaces, raised by whatever watches the
// bus (the udev monitor for real devices, the simulated bus in tests). The
// notices may come from any thread; receivers get them queued into their own.
class HidNotifier : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    void announceArrival(const QString &path);
    void announceRemoval(const QString &path);

signals:
    void arrived(const QString &path);
    void removed(const QString &path);
};
