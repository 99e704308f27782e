#include "common/commandlineerror.h"
#include "devsim/devsimoptions.h"
#include "devsim/socketserver.h"
#include "devsim/statefile.h"
#include "devsim/transferlog.h"
#include "sim/simdevice.h"

#include <QCoreApplication>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>

namespace {

std::atomic<SocketServer *> running{nullptr};

void stopServing(int)
{
    if (SocketServer *server = running.load())
        server->stop();
}

void onTermination()
{
    struct sigaction action = {};
    action.sa_handler = stopServing;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationVersion(KORVANE_VERSION);
    DevsimOptions options;
    QString error = DevsimOptions::parse(app.arguments(), &options);
    if (!error.isEmpty()) {
        std::fputs(qPrintable(CommandLineError::text("korvane-devsim", error)), stderr);
        return CommandLineError::ExitStatus;
    }

    auto device = std::make_shared<SimDevice>();
    device->setUpgradeState(options.upgrade);
    StateFile state(options.stateFile);
    if (!options.stateFile.isEmpty() && !(error = state.load(*device)).isEmpty()) {
        std::fprintf(stderr, "korvane-devsim: %s\n", qPrintable(error));
        return 2;
    }
    for (const DevsimOptions::Injection &injection : options.injections)
        device->inject(injection.nth, injection.fault, injection.value);
    if (options.vanishAfter >= 0)
        device->vanishAfter(options.vanishAfter);

    TransferLog transfers(stdout);
    std::mutex afterReportMutex;
    SocketServer server(device, [&] {
        std::lock_guard<std::mutex> lock(afterReportMutex);
        transfers.check(*device);
        if (!options.stateFile.isEmpty())
            state.saveIfChanged(*device);
    });
    device->onVanish([&server] { server.stop(); });
    error = server.listen(options.socketPath);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "korvane-devsim: %s\n", qPrintable(error));
        return 1;
    }
    running = &server;
    onTermination();
    server.run();
    running = nullptr;
    device->onVanish(nullptr);
    return 0;
}
