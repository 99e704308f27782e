#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

// One USB HID interface with its hidraw node, as umockdev emulates it: the
// sysfs description that hidapi's enumeration and libudev read, and the one
// ioctl that hidapi makes when it opens the node.
struct HidrawNode
{
    static constexpr uint16_t HeaterVendorId = 0x0483;
    static constexpr uint16_t HeaterProductId = 0x5750;

    int number = 0; // hidrawN
    uint16_t vendorId = HeaterVendorId;
    uint16_t productId = HeaterProductId;

    static HidrawNode heater(int number) { return {number, HeaterVendorId, HeaterProductId}; }
    static HidrawNode keyboard(int number) { return {number, 0x046d, 0xc31c}; }
    static HidrawNode otherProduct(int number) { return {number, HeaterVendorId, 0x5751}; }

    bool isHeater() const { return vendorId == HeaterVendorId && productId == HeaterProductId; }

    QString devicePath() const; // /dev/hidrawN
    // The USB device, its interface, the HID device and the hidraw node, under /sys.
    QStringList sysPaths() const;
    // The same four, parents first: umockdev announces them in that order.
    QByteArray description() const;
    QByteArray ioctlRecord() const;
};
