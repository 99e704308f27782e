#include "tests/realhid/hidrawnode.h"

namespace {

QString hex(uint16_t value)
{
    return QString("%1").arg(value, 4, 16, QChar('0')).toUpper();
}

enum Level { UsbDevice, UsbInterface, HidDevice, HidrawDevice };

// The device paths of the node and its parents, the USB device first; the HID
// device is named as the kernel names it (bus:vendor:product.instance).
QStringList devices(const HidrawNode &node)
{
    const QString usb = QString("/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(node.number + 1);
    const QString interface = QString("%1/1-%2:1.0").arg(usb).arg(node.number + 1);
    const QString hid = QString("%1/0003:%2:%3.%4")
                            .arg(interface, hex(node.vendorId), hex(node.productId), hex(uint16_t(node.number + 1)));
    return {usb, interface, hid, QString("%1/hidraw/hidraw%2").arg(hid).arg(node.number)};
}

} // namespace

QString HidrawNode::devicePath() const
{
    return QString("/dev/hidraw%1").arg(number);
}

QStringList HidrawNode::sysPaths() const
{
    QStringList paths;
    for (const QString &device : devices(*this))
        paths << "/sys" + device;
    return paths;
}

QByteArray HidrawNode::description() const
{
    const QStringList path = devices(*this);
    const QString vendor = hex(vendorId);
    const QString product = hex(productId);
    const QString serial = QString("KV%1").arg(number, 4, 10, QChar('0'));
    QString text;
    text += QString("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: PRODUCT=%2/%3/200\n")
                .arg(path[UsbDevice], QString::number(vendorId, 16), QString::number(productId, 16));
    text += QString("A: idVendor=%1\nA: idProduct=%2\nA: bcdDevice=0200\n").arg(vendor.toLower(), product.toLower());
    text += QString("A: manufacturer=Maker %1\nA: product=Device %2\nA: serial=%3\n\n").arg(vendor, product, serial);
    text += QString("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceNumber=00\n\n").arg(path[UsbInterface]);
    text += QString("P: %1\nE: SUBSYSTEM=hid\nE: HID_ID=0003:0000%2:0000%3\nE: HID_NAME=Maker %2 Device %3\n"
                    "E: HID_UNIQ=%4\n\n")
                .arg(path[HidDevice], vendor, product, serial);
    text += QString("P: %1\nN: hidraw%2\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/hidraw%2\n\n")
                .arg(path[HidrawDevice])
                .arg(number);
    return text.toUtf8();
}

// hidapi asks the size of the report descriptor when it opens a node and
// fails the open without an answer; a kernel node always gives one.
QByteArray HidrawNode::ioctlRecord() const
{
    return QString("@DEV %1\nHIDIOCGRDESCSIZE 0 22000000\n").arg(devicePath()).toUtf8();
}
