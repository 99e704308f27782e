#include "common/commandlineerror.h"
#include "devsim/devsimoptions.h"
#include "devsim/socketserver.h"
#include "devsim/statefile.h"
#include "devsim/transferlog.h"
#include "sim/simdevice.h"

#include <QCoreApplication>
#include <QFile>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// One simulated heater with its socket, settings file and transfer lines.
struct Heater
{
    Heater(const DevsimOptions &options, int n)
        : socketPath(DevsimOptions::numbered(options.socketPath, n)),
          stateFile(options.stateFile.isEmpty() ? QString() : DevsimOptions::numbered(options.stateFile, n)),
          state(stateFile), transfers(stdout, options.count > 1 ? QFile::encodeName(socketPath) + ' ' : QByteArray()),
          server(device, [this] { afterReport(); })
    {
        device->setUpgradeState(options.upgrade);
        for (const DevsimOptions::Injection &injection : options.injections)
            if (injection.heater == n)
                device->inject(injection.nth, injection.fault, injection.value);
        if (n == 1 && options.vanishAfter >= 0)
            device->vanishAfter(options.vanishAfter);
        device->onVanish([this] { server.stop(); });
    }
    ~Heater() { device->onVanish(nullptr); }

    void afterReport()
    {
        std::lock_guard<std::mutex> lock(afterReportMutex);
        transfers.check(*device);
        if (!stateFile.isEmpty())
            state.saveIfChanged(*device);
    }

    const QString socketPath;
    const QString stateFile;
    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();
    StateFile state;
    TransferLog transfers;
    std::mutex afterReportMutex;
    SocketServer server;
};

std::vector<std::unique_ptr<Heater>> heaters;
std::atomic<bool> serving{false};

void stopServing(int)
{
    if (serving.load())
        for (const std::unique_ptr<Heater> &heater : heaters)
            heater->server.stop();
}

void onTermination()
{
    struct sigaction action = {};
    action.sa_handler = stopServing;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int failure(const QString &why, int status)
{
    std::fprintf(stderr, "korvane-devsim: %s\n", qPrintable(why));
    heaters.clear();
    return status;
}

// 0 when every heater is ready to serve, else the exit status, with why said.
int prepare(const DevsimOptions &options)
{
    for (int n = 1; n <= options.count; ++n) {
        heaters.push_back(std::make_unique<Heater>(options, n));
        Heater &heater = *heaters.back();
        const QString error = heater.stateFile.isEmpty() ? QString() : heater.state.load(*heater.device);
        if (!error.isEmpty())
            return failure(error, 2);
    }
    for (const std::unique_ptr<Heater> &heater : heaters) {
        const QString error = heater->server.listen(heater->socketPath);
        if (!error.isEmpty())
            return failure(error, 1);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationVersion(KORVANE_VERSION);
    DevsimOptions options;
    const QString error = DevsimOptions::parse(app.arguments(), &options);
    if (!error.isEmpty()) {
        std::fputs(qPrintable(CommandLineError::text("korvane-devsim", error)), stderr);
        return CommandLineError::ExitStatus;
    }
    if (const int status = prepare(options))
        return status;
    serving = true;
    onTermination();
    // Each heater serves until it vanishes or the process is told to stop.
    std::vector<std::thread> others;
    for (std::size_t i = 1; i < heaters.size(); ++i)
        others.emplace_back([i] { heaters[i]->server.run(); });
    heaters.front()->server.run();
    for (std::thread &thread : others)
        thread.join();
    serving = false;
    heaters.clear();
    return 0;
}
