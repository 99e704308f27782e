#include "tests/realhid/heaterscript.h"

#include "protocol/packet.h"
#include "protocol/stream.h"

#include <QFile>
#include <QRegularExpression>

namespace {

QString hex(uint16_t value)
{
    return QString("%1").arg(value, 4, 16, QChar('0')).toUpper();
}

// One line holds one block: bytes below 32 and the caret itself are escaped.
QByteArray line(char operation, const QByteArray &data)
{
    QByteArray text = operation + QByteArray(" 0 ");
    for (const char byte : data)
        text += uint8_t(byte) < 32 ? '^' + QByteArray(1, char(byte + 64))
                : byte == '^'      ? QByteArray("^`")
                                   : QByteArray(1, byte);
    return text + '\n';
}

} // namespace

void HeaterScript::expect(const QByteArray &wire)
{
    lines += line('w', wire);
    device.receive(reinterpret_cast<const uint8_t *>(wire.constData()), wire.size());
    uint8_t answer[Packet::ReportSize];
    const int n = device.answer(reader, answer, Packet::ReportSize, 0);
    if (n > 0)
        lines += line('r', QByteArray(reinterpret_cast<const char *>(answer), n));
}

QByteArray HeaterScript::request(int code)
{
    Packet packet;
    uint8_t report[Packet::ReportSize] = {};
    if (code == 0x72)
        Packet::handshakeEncode(report);
    else
        packet.paramEncode(uint8_t(code), report, 0);
    return '\0' + (code == 0x72 ? QByteArray(reinterpret_cast<const char *>(report), Packet::ReportSize)
                                : QByteArray(reinterpret_cast<const char *>(packet.output()->readPointer()),
                                             Packet::ReportSize));
}

// The HID device is named as the kernel names it: bus:vendor:product.instance.
QStringList HidrawNode::sysPaths() const
{
    const QString usb = QString("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(number + 1);
    const QString interface = QString("%1/1-%2:1.0").arg(usb).arg(number + 1);
    const QString hid =
        QString("%1/0003:%2:%3.%4").arg(interface, hex(vendorId), hex(productId), hex(uint16_t(number + 1)));
    return {usb, interface, hid, QString("%1/hidraw/hidraw%2").arg(hid).arg(number)};
}

QByteArray HidrawNode::description() const
{
    const QStringList path = sysPaths().replaceInStrings(QRegularExpression("^/sys"), "");
    const QString vendor = hex(vendorId);
    const QString product = hex(productId);
    const QString serial = QString("KV%1").arg(number, 4, 10, QChar('0'));
    return QString("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: PRODUCT=%2/%3/200\n"
                   "A: idVendor=%4\nA: idProduct=%5\nA: bcdDevice=0200\n"
                   "A: manufacturer=Maker %6\nA: product=Device %7\nA: serial=%8\n\n")
               .arg(path[0], QString::number(vendorId, 16), QString::number(productId, 16), vendor.toLower(),
                    product.toLower(), vendor, product, serial)
               .toUtf8() +
           QString("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceNumber=00\n\n"
                   "P: %2\nE: SUBSYSTEM=hid\nE: HID_ID=0003:0000%3:0000%4\nE: HID_NAME=Maker %3 Device %4\n"
                   "E: HID_UNIQ=%5\n\nP: %6\nN: hidraw%7\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/hidraw%7\n\n")
               .arg(path[1], path[2], vendor, product, serial, path[3], QString::number(number))
               .toUtf8();
}

// hidapi asks the size of the report descriptor when it opens a node and
// fails the open without an answer; a kernel node always gives one.
QByteArray HidrawNode::ioctlRecord() const
{
    return QString("@DEV %1\nHIDIOCGRDESCSIZE 0 22000000\n").arg(devicePath()).toUtf8();
}

