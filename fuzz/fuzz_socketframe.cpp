// The byte stream of the virtual device's socket, as a peer could send it:
// every frame taken from it is the one a plain reading of the header gives,
// sends back as the same bytes, and a stream that goes out of step ends the
// reading instead of being guessed at.
#include "fuzz/fuzzcheck.h"
#include "link/socketframe.h"

#include <cstddef>
#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr size_t HeaderSize = 7;

struct Pair
{
    int fd[2] = {-1, -1};
    Pair() { FUZZ_CHECK(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fd) == 0); }
    ~Pair()
    {
        ::close(fd[0]);
        ::close(fd[1]);
    }
};

// What one SocketFrame::send puts on the wire.
QByteArray sentBytes(const SocketFrame &frame)
{
    Pair pair;
    FUZZ_CHECK(SocketFrame::send(pair.fd[0], frame, 0));
    ::shutdown(pair.fd[0], SHUT_WR);
    QByteArray bytes;
    char chunk[2048];
    for (ssize_t n; (n = ::recv(pair.fd[1], chunk, sizeof chunk, MSG_DONTWAIT)) > 0;)
        bytes.append(chunk, int(n));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Pair pair;
    const ssize_t written = ::send(pair.fd[0], data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    const size_t length = written > 0 ? size_t(written) : 0;
    ::shutdown(pair.fd[0], SHUT_WR);

    size_t at = 0;
    for (;;) {
        SocketFrame frame;
        const int result = SocketFrame::receive(pair.fd[1], &frame, 0);
        const size_t left = length - at;
        if (left == 0) {
            FUZZ_CHECK(result != 1);
            return 0;
        }
        const uint8_t *head = data + at;
        const size_t payload = left >= HeaderSize ? size_t(head[5] << 8 | head[6]) : 0;
        const bool whole =
            left >= HeaderSize && payload <= size_t(SocketFrame::MaxPayload) && left >= HeaderSize + payload;
        FUZZ_CHECK(result == (whole ? 1 : -1));
        if (!whole)
            return 0;
        FUZZ_CHECK(frame.kind == char(head[0]));
        FUZZ_CHECK(uint32_t(frame.value) ==
                   (uint32_t(head[1]) << 24 | uint32_t(head[2]) << 16 | uint32_t(head[3]) << 8 | head[4]));
        FUZZ_CHECK(frame.payload == QByteArray(reinterpret_cast<const char *>(head + HeaderSize), int(payload)));
        FUZZ_CHECK(sentBytes(frame) == QByteArray(reinterpret_cast<const char *>(head), int(HeaderSize + payload)));
        at += HeaderSize + payload;
    }
}
