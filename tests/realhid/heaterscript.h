#pragma once

#include "link/hidbackend.h"
#include "sim/simdevice.h"

#include <QByteArray>
#include <QStringList>

// One USB HID interface with its hidraw node, as umockdev emulates it.
struct HidrawNode
{
    int number = 0; // hidrawN
    uint16_t vendorId = HidInterface::HeaterVendorId;
    uint16_t productId = HidInterface::HeaterProductId;

    QString devicePath() const { return QString("/dev/hidraw%1").arg(number); }
    // The USB device, its interface, the HID device and the hidraw node, parents first.
    QStringList sysPaths() const;
    QByteArray description() const;
    QByteArray ioctlRecord() const;
};

// The heater's side of the dialogue on an emulated hidraw node, as an umockdev
// script: each report the program must write (umockdev fails the program at
// the first byte that differs), followed by the simulated heater's answer.
class HeaterScript
{
public:
    HeaterScript() : reader(device.openReader()) {}

    SimDevice &heater() { return device; }
    void expect(const QByteArray &wire); // one report as written, report ID 0 first
    QByteArray text() const { return lines; }
    // A request for setting `code` (0x72 the handshake) as the protocol frames it, report ID first.
    static QByteArray request(int code);

private:
    SimDevice device;
    const int reader;
    QByteArray lines;
};

