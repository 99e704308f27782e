#pragma once

#include <QString>
#include <functional>
#include <list>
#include <memory>
#include <mutex>

class SimDevice;

// Serves one simulated device on a Unix socket: every connection is one open
// handle, answered on a thread of its own, one frame at a time. As with hidraw,
// every connection gets its copy of each answer.
class SocketServer
{
public:
    // afterReport runs after every report the device received, on the
    // connection's thread.
    SocketServer(std::shared_ptr<SimDevice> device, std::function<void()> afterReport);
    ~SocketServer();
    SocketServer(const SocketServer &) = delete;
    SocketServer &operator=(const SocketServer &) = delete;

    // Empty when the socket is being served, else why not. The socket is for
    // this user alone; a missing directory is made for this user alone. Only a
    // socket file of this user's that a server left behind is replaced.
    QString listen(const QString &path);
    // Accepts connections until stop(); then removes the socket file and ends
    // every connection, also one waiting for an answer.
    void run();
    // Safe from any thread and from a signal handler.
    void stop();

private:
    struct Client;

    void serve(Client *client);
    void reap(bool all);

    std::shared_ptr<SimDevice> device;
    std::function<void()> afterReport;
    QByteArray socketPath;
    int listener = -1;
    int stopPipe[2] = {-1, -1};
    std::mutex clientsMutex;
    std::list<std::unique_ptr<Client>> clients;
};
