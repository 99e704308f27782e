#include "tests/realhid/hidrawnode.h"

namespace {

QString usbDevice(int number)
{
    return QString("/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(number + 1);
}

QString hex(uint16_t value)
{
    return QString("%1").arg(value, 4, 16, QChar('0')).toUpper();
}

// Named as the kernel names it: bus:vendor:product.instance.
QString hidDevice(const HidrawNode &node)
{
    return QString("%1/1-%2:1.0/0003:%3:%4.%5")
        .arg(usbDevice(node.number))
        .arg(node.number + 1)
        .arg(hex(node.vendorId), hex(node.productId), hex(uint16_t(node.number + 1)));
}

} // namespace

QString HidrawNode::devicePath() const
{
    return QString("/dev/hidraw%1").arg(number);
}

QString HidrawNode::sysPath() const
{
    return QString("/sys%1/hidraw/hidraw%2").arg(hidDevice(*this)).arg(number);
}

QByteArray HidrawNode::description() const
{
    const QString usb = usbDevice(number);
    const QString hid = hidDevice(*this);
    const QString serial = QString("KV%1").arg(number, 4, 10, QChar('0'));
    QString text;
    text += QString("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: PRODUCT=%2/%3/200\n")
                .arg(usb, QString::number(vendorId, 16), QString::number(productId, 16));
    text += QString("A: idVendor=%1\nA: idProduct=%2\nA: bcdDevice=0200\n")
                .arg(hex(vendorId).toLower(), hex(productId).toLower());
    text += QString("A: manufacturer=Maker %1\nA: product=Device %2\nA: serial=%3\n\n")
                .arg(hex(vendorId), hex(productId), serial);
    text += QString("P: %1/1-%2:1.0\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceNumber=00\n\n")
                .arg(usb)
                .arg(number + 1);
    text += QString("P: %1\nE: SUBSYSTEM=hid\nE: HID_ID=0003:0000%2:0000%3\nE: HID_NAME=Maker %2 Device %3\n"
                    "E: HID_UNIQ=%4\n\n")
                .arg(hid, hex(vendorId), hex(productId), serial);
    text += QString("P: %1/hidraw/hidraw%2\nN: hidraw%2\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/hidraw%2\n\n")
                .arg(hid)
                .arg(number);
    return text.toUtf8();
}

// hidapi asks the size of the report descriptor when it opens a node and
// fails the open without an answer; a kernel node always gives one.
QByteArray HidrawNode::ioctlRecord() const
{
    return QString("@DEV %1\nHIDIOCGRDESCSIZE 0 22000000\n").arg(devicePath()).toUtf8();
}
