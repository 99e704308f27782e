#include "tests/cli/devsimprocess.h"

#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr int BoundMs = 10000;
constexpr int CliMs = 60000;
} // namespace

bool listening(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = path.toLocal8Bit();
    std::memcpy(address.sun_path, name.constData(), size_t(qMin(name.size(), int(sizeof address.sun_path) - 1)));
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool live = ::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(probe);
    return live;
}

DevsimProcess::~DevsimProcess()
{
    if (program.state() != QProcess::NotRunning && !stop(SIGTERM))
        stop(SIGKILL);
}

bool DevsimProcess::start(const QStringList &options)
{
    printed.clear();
    program.start(KORVANE_DEVSIM, QStringList{"--socket", path} + options);
    const bool up = program.waitForStarted(BoundMs) &&
                    QTest::qWaitFor([this] { return listening(path) || program.state() != QProcess::Running; },
                                    BoundMs) &&
                    program.state() == QProcess::Running;
    if (!up)
        qWarning() << "korvane-devsim did not come up:" << program.readAllStandardError();
    return up;
}

bool DevsimProcess::stop(int signal)
{
    ::kill(pid_t(program.processId()), signal);
    return program.waitForFinished(BoundMs);
}

QStringList DevsimProcess::lines()
{
    printed += program.readAllStandardOutput();
    return QString::fromUtf8(printed).split('\n', Qt::SkipEmptyParts);
}

CliRun runCli(const QStringList &arguments)
{
    QProcess cli;
    cli.start(KORVANE_CLI, arguments);
    CliRun run;
    if (!cli.waitForFinished(CliMs)) {
        cli.kill();
        cli.waitForFinished(CliMs);
        return run;
    }
    run.code = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    return run;
}
