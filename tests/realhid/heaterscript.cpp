#include "tests/realhid/heaterscript.h"

#include "protocol/packet.h"
#include "protocol/stream.h"

namespace {

// One line holds one block: bytes below 32 and the caret itself are escaped.
QByteArray line(char operation, int delayMs, const QByteArray &data)
{
    QByteArray text = operation + (' ' + QByteArray::number(delayMs)) + ' ';
    for (const char byte : data) {
        if (uint8_t(byte) < 32)
            text += '^' + QByteArray(1, char(byte + 64));
        else if (byte == '^')
            text += "^`";
        else
            text += byte;
    }
    return text + '\n';
}

QList<QByteArray> reportsOf(const Packet &packet)
{
    const Stream *out = packet.output();
    QList<QByteArray> reports;
    for (int at = 0; at + Packet::ReportSize <= out->size(); at += Packet::ReportSize)
        reports << QByteArray(reinterpret_cast<const char *>(out->readPointer() + at), Packet::ReportSize);
    return reports;
}

} // namespace

HeaterScript::HeaterScript(int answerDelayMs) : reader(device.openReader()), delayMs(answerDelayMs) {}

void HeaterScript::expect(const QByteArray &report)
{
    const QByteArray wire = '\0' + report;
    lines += line('w', 0, wire);
    ++reports;
    device.receive(reinterpret_cast<const uint8_t *>(wire.constData()), wire.size());
    uint8_t answer[Packet::ReportSize];
    const int n = device.answer(reader, answer, Packet::ReportSize, 0);
    if (n > 0)
        lines += line('r', delayMs, QByteArray(reinterpret_cast<const char *>(answer), n));
}

void HeaterScript::expect(const QList<QByteArray> &list)
{
    for (const QByteArray &report : list)
        expect(report);
}

QByteArray HeaterScript::handshake()
{
    QByteArray report(Packet::ReportSize, '\0');
    Packet::handshakeEncode(reinterpret_cast<uint8_t *>(report.data()));
    return report;
}

QByteArray HeaterScript::readRequest(int code)
{
    return write(code, {});
}

QByteArray HeaterScript::write(int code, const QByteArray &payload)
{
    Packet packet;
    packet.paramEncode(uint8_t(code), reinterpret_cast<const uint8_t *>(payload.constData()), payload.size());
    return reportsOf(packet).value(0);
}

QList<QByteArray> HeaterScript::firmware(const QByteArray &image)
{
    Packet packet;
    packet.packetFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    return reportsOf(packet);
}

QList<QByteArray> HeaterScript::logo(const QByteArray &text)
{
    Packet packet;
    packet.logoEncode(text.constData(), text.size());
    return reportsOf(packet);
}
