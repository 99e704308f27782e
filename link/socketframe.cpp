#include "link/socketframe.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>

namespace {

constexpr int HeaderSize = 7;

using Clock = std::chrono::steady_clock;

// Milliseconds left until the deadline, -1 for none.
int msLeft(const Clock::time_point *deadline)
{
    if (!deadline)
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// Waits for the socket to become ready; false on timeout or hang-up without data.
bool ready(int fd, short events, const Clock::time_point *deadline)
{
    pollfd entry{fd, events, 0};
    for (;;) {
        const int n = ::poll(&entry, 1, msLeft(deadline));
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 && (entry.revents & (events | POLLHUP | POLLERR));
    }
}

// Moves exactly length bytes; the count moved before a failure otherwise.
int transfer(int fd, char *data, int length, bool out, const Clock::time_point *deadline)
{
    int done = 0;
    while (done < length) {
        if (!ready(fd, out ? POLLOUT : POLLIN, deadline))
            return done;
        // MSG_NOSIGNAL: a vanished peer must not end the process with SIGPIPE.
        const ssize_t n = out ? ::send(fd, data + done, size_t(length - done), MSG_NOSIGNAL | MSG_DONTWAIT)
                              : ::recv(fd, data + done, size_t(length - done), MSG_DONTWAIT);
        if (n > 0)
            done += int(n);
        else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            return done;
    }
    return done;
}

} // namespace

bool SocketFrame::send(int fd, const SocketFrame &frame, int timeoutMs)
{
    if (frame.payload.size() > MaxPayload)
        return false;
    const uint32_t value = uint32_t(frame.value);
    const int length = frame.payload.size();
    QByteArray bytes;
    bytes.reserve(HeaderSize + length);
    bytes.append(frame.kind);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char(value >> shift));
    bytes.append(char(length >> 8)).append(char(length));
    bytes.append(frame.payload);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    return transfer(fd, bytes.data(), bytes.size(), true, &deadline) == bytes.size();
}

int SocketFrame::receive(int fd, SocketFrame *frame, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Clock::time_point *limit = timeoutMs < 0 ? nullptr : &deadline;
    uint8_t head[HeaderSize];
    const int got = transfer(fd, reinterpret_cast<char *>(head), HeaderSize, false, limit);
    if (got == 0 && limit && Clock::now() >= deadline)
        return 0;
    if (got != HeaderSize)
        return -1;
    const int length = head[5] << 8 | head[6];
    if (length > MaxPayload)
        return -1;
    frame->kind = char(head[0]);
    frame->value = int32_t(uint32_t(head[1]) << 24 | uint32_t(head[2]) << 16 | uint32_t(head[3]) << 8 | head[4]);
    frame->payload = QByteArray(length, '\0');
    return transfer(fd, frame->payload.data(), length, false, limit) == length ? 1 : -1;
}
