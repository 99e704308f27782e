#pragma once

#include "link/hidbackend.h"
#include "link/pathwatch.h"

#include <QByteArray>
#include <map>
#include <mutex>
#include <thread>

struct sockaddr_un;

// A virtual device served on a Unix socket (korvane-devsim) in place of the HID
// devices: the socket file stands for the device node, each connection for one
// open handle, and every backend call is one frame and its answer. Starting and
// stopping the server raise the arrival and removal notices, found by watching
// the socket's folder.
class SocketBackend : public HidBackend
{
public:
    explicit SocketBackend(const QString &socketPath);
    ~SocketBackend() override;

    std::vector<HidInterface> enumerate() override;
    int open(const QString &path, HidOpenFailure *failure) override;
    int write(int id, const uint8_t *report, int length) override;
    int read(int id, uint8_t *buffer, int length, int timeoutMs) override;
    void close(int id) override;

private:
    struct Presence
    {
        bool present = false;
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long changedNs = 0; // inode numbers are soon reused; a new file is also newer
    };

    Presence presence() const;
    // A connected socket, or -1 with errno set.
    static int connectTo(const sockaddr_un &address);
    // One frame out, its answer in; the answer's value, or -1 with the
    // connection dropped (its stream can no longer be trusted).
    int exchange(int id, char kind, int32_t value, const QByteArray &payload, int answerMs, QByteArray *answer);
    void dropConnection(int id);
    void watch();

    const QString path;
    const QByteArray nativePath;

    std::mutex tableMutex;
    std::map<int, int> sockets; // device id -> socket, -1 once dropped
    int nextId = 1;

    PathWatch files;
    std::thread watcher;
};
