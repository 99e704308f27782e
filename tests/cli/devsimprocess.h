#pragma once

#include <QProcess>
#include <QStringList>

// korvane-devsim in a process of its own. Every wait is bounded.
class DevsimProcess
{
public:
    explicit DevsimProcess(const QString &socketPath) : path(socketPath) {}
    ~DevsimProcess();

    // Starts it and waits for the socket; false when it did not come up.
    bool start(const QStringList &options = {});
    // Sends the signal and waits for the process to end; false when it did not.
    bool stop(int signal);
    QString device() const { return "unix:" + path; }
    QProcess &process() { return program; }
    QStringList lines(); // what it printed on stdout so far

private:
    QString path;
    QProcess program;
    QByteArray printed;
};

struct CliRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// korvane-cli in a process of its own, bounded.
CliRun runCli(const QStringList &arguments);
// True when a server accepts connections on the socket at path.
bool listening(const QString &path);
