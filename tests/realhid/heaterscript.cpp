#include "tests/realhid/heaterscript.h"

#include "protocol/packet.h"
#include "protocol/stream.h"

namespace {

// One line holds one block: bytes below 32 and the caret itself are escaped.
QByteArray line(char operation, int delayMs, const QByteArray &data)
{
    QByteArray text = operation + (' ' + QByteArray::number(delayMs)) + ' ';
    for (const char byte : data)
        text += uint8_t(byte) < 32 ? '^' + QByteArray(1, char(byte + 64))
                : byte == '^'      ? QByteArray("^`")
                                   : QByteArray(1, byte);
    return text + '\n';
}

} // namespace

void HeaterScript::expect(const QByteArray &wire)
{
    lines += line('w', 0, wire);
    device.receive(reinterpret_cast<const uint8_t *>(wire.constData()), wire.size());
    uint8_t answer[Packet::ReportSize];
    const int n = device.answer(reader, answer, Packet::ReportSize, 0);
    if (n > 0)
        lines += line('r', delayMs, QByteArray(reinterpret_cast<const char *>(answer), n));
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
