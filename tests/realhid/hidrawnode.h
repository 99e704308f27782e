#pragma once

#include "link/hidbackend.h"

#include <QByteArray>
#include <QStringList>

// One USB HID interface with its hidraw node, as umockdev emulates it: the
// sysfs description that hidapi's enumeration and libudev read, and the one
// ioctl that hidapi makes when it opens the node.
struct HidrawNode
{
    int number = 0; // hidrawN
    uint16_t vendorId = HidInterface::HeaterVendorId;
    uint16_t productId = HidInterface::HeaterProductId;

    bool isHeater() const { return HidInterface{{}, vendorId, productId}.isHeater(); }
    QString devicePath() const { return QString("/dev/hidraw%1").arg(number); }
    // The USB device, its interface, the HID device and the hidraw node, parents first.
    QStringList sysPaths() const;
    QByteArray description() const; // the four, in umockdev's format
    QByteArray ioctlRecord() const;
};
