#include "link/socketbackend.h"

#include "link/hidnotifier.h"
#include "link/socketframe.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Only where the socket's folder cannot be watched.
constexpr int WatchIntervalMs = 100;
// A server that has only just made its socket file may not listen yet.
constexpr int ListenWaitMs = 100;
constexpr int ListenRetryMs = 5;
// How long the server may take beyond the device's own wait before the
// connection counts as broken.
constexpr int AnswerSlackMs = 2000;

} // namespace

SocketBackend::SocketBackend(const QString &socketPath)
    : path(socketPath), nativePath(socketPath.toLocal8Bit()), files(nativePath, WatchIntervalMs)
{
    watcher = std::thread([this] { watch(); });
}

SocketBackend::~SocketBackend()
{
    files.stop();
    watcher.join();
    for (const auto &entry : sockets)
        if (entry.second >= 0)
            ::close(entry.second);
}

// The named socket first, then the others in its folder: korvane-devsim
// serves several heaters side by side there.
std::vector<HidInterface> SocketBackend::enumerate()
{
    std::vector<HidInterface> found;
    if (presence().present)
        found.push_back({path, HidInterface::HeaterVendorId, HidInterface::HeaterProductId, {}});
    const QFileInfo named(path);
    for (const QFileInfo &entry : named.dir().entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        struct stat info;
        if (entry.fileName() != named.fileName() && ::stat(QFile::encodeName(entry.filePath()), &info) == 0 &&
            S_ISSOCK(info.st_mode))
            found.push_back({entry.filePath(), HidInterface::HeaterVendorId, HidInterface::HeaterProductId, {}});
    }
    return found;
}

int SocketBackend::open(const QString &devicePath, HidOpenFailure *failure)
{
    *failure = HidOpenFailure::Other;
    const QByteArray node = devicePath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (QFileInfo(devicePath).dir() != QFileInfo(path).dir() || node.size() >= int(sizeof address.sun_path))
        return -1;
    std::memcpy(address.sun_path, node.constData(), size_t(node.size()));
    int fd = -1;
    for (int waited = 0; fd < 0; waited += ListenRetryMs) {
        fd = connectTo(address);
        if (fd >= 0 || errno != ECONNREFUSED || waited >= ListenWaitMs)
            break;
        ::usleep(ListenRetryMs * 1000);
    }
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM)
            *failure = HidOpenFailure::PermissionDenied;
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

int SocketBackend::connectTo(const sockaddr_un &address)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
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
// (the server restarted since the last look) counts as a removal and an arrival.
void SocketBackend::watch()
{
    Presence seen = presence();
    for (PathWatch::Wake wake; (wake = files.wait()) != PathWatch::Wake::Stopped;) {
        const Presence now = presence();
        const bool replaced = seen.present && now.present &&
                              (wake == PathWatch::Wake::Removed || seen.device != now.device ||
                               seen.inode != now.inode || seen.changedNs != now.changedNs);
        if (seen.present && (!now.present || replaced))
            notifier()->announceRemoval(path);
        if (now.present && (!seen.present || replaced))
            notifier()->announceArrival(path);
        seen = now;
    }
}
