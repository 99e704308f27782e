#pragma once

#include <QByteArray>
#include <cstdint>

// One message on the virtual device's Unix socket: a kind byte, a signed 32-bit
// value and a payload, the numbers big-endian. The host asks and the device side
// answers with a frame of the same kind:
//   Write, payload = the report (report ID first)  ->  value = bytes taken, or -1
//   Read, value = the host's timeout in ms          ->  value = byte count, 0 timeout, -1 error;
//                                                       payload = the report's data bytes
struct SocketFrame
{
    static constexpr char Write = 'w';
    static constexpr char Read = 'r';
    static constexpr int MaxPayload = 1024;

    char kind = 0;
    int32_t value = 0;
    QByteArray payload;

    // The whole frame, within timeoutMs; false when the peer is gone or slow.
    static bool send(int fd, const SocketFrame &frame, int timeoutMs);
    // 1 with a whole frame, 0 when none began within timeoutMs (negative: no
    // limit), -1 when the peer is gone or the stream is no longer in step.
    static int receive(int fd, SocketFrame *frame, int timeoutMs);
};
