#include "devsim/socketserver.h"

#include "link/hidbackend.h"
#include "link/socketframe.h"
#include "sim/simdevice.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int ReportSize = 64;
constexpr int ReplyTimeoutMs = 2000;
// One thread each: a local program opening connections without end must not
// exhaust the process.
constexpr std::size_t MaxConnections = 16;

bool addressOf(const QByteArray &path, sockaddr_un *address)
{
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= int(sizeof address->sun_path))
        return false;
    std::memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

bool someoneListens(const sockaddr_un &address)
{
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool live = probe >= 0 && ::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    if (probe >= 0)
        ::close(probe);
    return live;
}

// A socket file that a server of this user's left behind may go; anything
// else at the path is not ours to replace.
QString refusal(const QByteArray &path, const sockaddr_un &address)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return QString();
    const QString name = QString::fromLocal8Bit(path);
    if (!S_ISSOCK(info.st_mode))
        return QString("%1 exists and is not a socket").arg(name);
    if (info.st_uid != ::geteuid())
        return QString("%1 is another user's socket").arg(name);
    if (someoneListens(address))
        return QString("%1 is already served by another virtual device").arg(name);
    return QString();
}

} // namespace

struct SocketServer::Client
{
    int fd = -1;
    int reader = 0;
    std::atomic<bool> done{false};
    std::thread thread;
};

SocketServer::SocketServer(std::shared_ptr<SimDevice> simulated, std::function<void()> hook)
    : device(std::move(simulated)), afterReport(std::move(hook))
{
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        stopPipe[0] = stopPipe[1] = -1;
}

SocketServer::~SocketServer()
{
    {
        std::lock_guard<std::mutex> lock(clientsMutex);
        reap(true);
    }
    for (int fd : {listener, stopPipe[0], stopPipe[1]})
        if (fd >= 0)
            ::close(fd);
}

QString SocketServer::listen(const QString &path)
{
    socketPath = path.toLocal8Bit();
    sockaddr_un address;
    if (!addressOf(socketPath, &address))
        return QString("%1: not a usable socket path (at most %2 bytes)").arg(path).arg(sizeof address.sun_path - 1);
    if (stopPipe[0] < 0)
        return QString("cannot make a pipe: %1").arg(std::strerror(errno));
    const QString refused = refusal(socketPath, address);
    if (!refused.isEmpty())
        return refused;
    ::unlink(socketPath.constData());
    const QByteArray directory = QFileInfo(path).absolutePath().toLocal8Bit();
    if (::mkdir(directory.constData(), 0700) != 0 && errno != EEXIST)
        return QString("cannot make %1: %2").arg(QString::fromLocal8Bit(directory), std::strerror(errno));
    listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Made 0600 from the start: connecting is driving the heater.
    const mode_t umask = ::umask(0177);
    const bool bound =
        listener >= 0 && ::bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    const int bindError = errno;
    ::umask(umask);
    if (!bound || ::listen(listener, 8) != 0)
        return QString("cannot serve %1: %2").arg(path, std::strerror(bound ? errno : bindError));
    return QString();
}

void SocketServer::run()
{
    pollfd watched[2] = {{listener, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    while (listener >= 0) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched[1].revents)
            break;
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard<std::mutex> lock(clientsMutex);
        reap(false);
        if (clients.size() >= MaxConnections) {
            ::close(fd);
            continue;
        }
        clients.push_back(std::make_unique<Client>());
        Client *client = clients.back().get();
        client->fd = fd;
        client->reader = device->openReader();
        client->thread = std::thread([this, client] { serve(client); });
    }
    // Unplugged: the socket file goes first, so that watchers see the device
    // leave, then the open handles break.
    ::unlink(socketPath.constData());
    std::lock_guard<std::mutex> lock(clientsMutex);
    reap(true);
}

void SocketServer::stop()
{
    const char byte = 1;
    // A full pipe means a stop is pending already.
    [[maybe_unused]] const ssize_t written = ::write(stopPipe[1], &byte, 1);
}

void SocketServer::serve(Client *client)
{
    SocketFrame frame;
    while (SocketFrame::receive(client->fd, &frame, -1) == 1) {
        SocketFrame reply{frame.kind, -1, QByteArray()};
        if (frame.kind == SocketFrame::Write) {
            reply.value =
                device->receive(reinterpret_cast<const uint8_t *>(frame.payload.constData()), frame.payload.size());
            afterReport();
        } else if (frame.kind == SocketFrame::Read) {
            uint8_t answer[ReportSize];
            reply.value = device->answer(client->reader, answer, ReportSize,
                                         std::clamp(frame.value, 0, HidBackend::LongestReadMs));
            if (reply.value > 0)
                reply.payload = QByteArray(reinterpret_cast<const char *>(answer), reply.value);
        } else {
            break;
        }
        if (!SocketFrame::send(client->fd, reply, ReplyTimeoutMs))
            break;
    }
    client->done = true;
}

// With all, every connection is ended; otherwise only finished ones go. The
// caller holds clientsMutex.
void SocketServer::reap(bool all)
{
    for (auto client = clients.begin(); client != clients.end();) {
        if (!all && !(*client)->done) {
            ++client;
            continue;
        }
        // Closing the reader ends a read waiting for an answer.
        ::shutdown((*client)->fd, SHUT_RDWR);
        device->closeReader((*client)->reader);
        (*client)->thread.join();
        ::close((*client)->fd);
        client = clients.erase(client);
    }
}
