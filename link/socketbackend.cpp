#include "link/socketbackend.h"

#include "link/hidnotifier.h"
#include "link/socketframe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int WatchIntervalMs = 100;
// How long the server may take beyond the device's own wait before the
// connection counts as broken.
constexpr int AnswerSlackMs = 2000;

} // namespace

SocketBackend::SocketBackend(const QString &socketPath) : path(socketPath), nativePath(socketPath.toLocal8Bit())
{
    watcher = std::thread([this] { watch(); });
}

SocketBackend::~SocketBackend()
{
    {
        std::lock_guard<std::mutex> lock(watchMutex);
        stopping = true;
    }
    wake.notify_all();
    watcher.join();
    for (const auto &entry : sockets)
        if (entry.second >= 0)
            ::close(entry.second);
}

std::vector<HidInterface> SocketBackend::enumerate()
{
    if (!presence().present)
        return {};
    return {{path, HidInterface::HeaterVendorId, HidInterface::HeaterProductId}};
}

int SocketBackend::open(const QString &devicePath, HidOpenFailure *failure)
{
    *failure = HidOpenFailure::Other;
    const QByteArray node = devicePath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (devicePath != path || node.size() >= int(sizeof address.sun_path))
        return -1;
    std::memcpy(address.sun_path, node.constData(), size_t(node.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        if (errno == EACCES || errno == EPERM)
            *failure = HidOpenFailure::PermissionDenied;
        ::close(fd);
        return -1;
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    const int id = nextId++;
    sockets[id] = fd;
    *failure = HidOpenFailure::None;
    return id;
}

int SocketBackend::write(int id, const uint8_t *report, int length)
{
    const QByteArray bytes(reinterpret_cast<const char *>(report), std::max(length, 0));
    return exchange(id, SocketFrame::Write, 0, bytes, AnswerSlackMs, nullptr);
}

int SocketBackend::read(int id, uint8_t *buffer, int length, int timeoutMs)
{
    QByteArray answer;
    const int waitMs = std::clamp(timeoutMs, 0, LongestReadMs);
    const int n = exchange(id, SocketFrame::Read, waitMs, QByteArray(), waitMs + AnswerSlackMs, &answer);
    if (n <= 0)
        return n;
    const int count = std::min({n, length, int(answer.size())});
    std::copy_n(answer.constData(), count, buffer);
    return count;
}

void SocketBackend::close(int id)
{
    std::lock_guard<std::mutex> lock(tableMutex);
    const auto entry = sockets.find(id);
    if (entry == sockets.end())
        return;
    if (entry->second >= 0)
        ::close(entry->second);
    sockets.erase(entry);
}

SocketBackend::Presence SocketBackend::presence() const
{
    struct stat info;
    if (::stat(nativePath.constData(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return {};
    return {true, static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
            info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec};
}

// The transport never runs two calls on one id at once, so the socket can be
// used outside the table lock.
int SocketBackend::exchange(int id, char kind, int32_t value, const QByteArray &payload, int answerMs,
                            QByteArray *answer)
{
    int fd = -1;
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        const auto entry = sockets.find(id);
        if (entry != sockets.end())
            fd = entry->second;
    }
    if (fd < 0)
        return -1;
    SocketFrame reply;
    if (!SocketFrame::send(fd, {kind, value, payload}, AnswerSlackMs) ||
        SocketFrame::receive(fd, &reply, answerMs) != 1 || reply.kind != kind) {
        dropConnection(id);
        return -1;
    }
    if (answer)
        *answer = reply.payload;
    return reply.value;
}

void SocketBackend::dropConnection(int id)
{
    std::lock_guard<std::mutex> lock(tableMutex);
    const auto entry = sockets.find(id);
    if (entry == sockets.end() || entry->second < 0)
        return;
    ::close(entry->second);
    entry->second = -1;
}

// The socket file comes and goes with the server. A new file in the same place
// (the server restarted between two looks) counts as a removal and an arrival.
void SocketBackend::watch()
{
    Presence seen = presence();
    std::unique_lock<std::mutex> lock(watchMutex);
    while (!wake.wait_for(lock, std::chrono::milliseconds(WatchIntervalMs), [this] { return stopping; })) {
        const Presence now = presence();
        const bool replaced = seen.present && now.present &&
                              (seen.device != now.device || seen.inode != now.inode || seen.changedNs != now.changedNs);
        if (seen.present && (!now.present || replaced))
            notifier()->announceRemoval(path);
        if (now.present && (!seen.present || replaced))
            notifier()->announceArrival(path);
        seen = now;
    }
}
