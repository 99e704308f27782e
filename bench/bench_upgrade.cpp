// A 256 KiB firmware upgrade against the simulated heater on a link that spends
// 1 ms per USB transaction, two per exchange: the time taken against that
// physical floor shows what the host adds on top of the wire.
#include "bench/pacedbackend.h"
#include "cli/exitcode.h"
#include "cli/firmwareall.h"
#include "cli/output.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "sim/simbus.h"

#include <QByteArray>
#include <QTextStream>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <vector>

namespace {

constexpr int ImageSize = 256 * 1024;
constexpr std::chrono::microseconds TransactionTime(1000);

QByteArray image()
{
    QByteArray bytes(ImageSize, '\0');
    for (int i = 0; i < ImageSize; ++i)
        bytes[i] = char(i * 131 + i / 977);
    return bytes;
}

// On a shared machine a waking thread can wait milliseconds for a processor,
// which would count as the host's time. Real-time priority, where the user may
// take it, keeps the other load out of the figure; the counter tells which.
class RealTimePriority
{
public:
    RealTimePriority()
    {
        pthread_getschedparam(pthread_self(), &oldPolicy, &oldParam);
        sched_param param{};
        param.sched_priority = 50;
        granted = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    }
    ~RealTimePriority()
    {
        if (granted)
            pthread_setschedparam(pthread_self(), oldPolicy, &oldParam);
    }
    RealTimePriority(const RealTimePriority &) = delete;
    RealTimePriority &operator=(const RealTimePriority &) = delete;

    bool granted = false;

private:
    int oldPolicy = SCHED_OTHER;
    sched_param oldParam{};
};

void firmwareUpgradeOnPacedLink(benchmark::State &state)
{
    SimBus bus;
    const auto heater = std::make_shared<SimDevice>();
    heater->setUpgradeState(true);
    bus.attach("/dev/hidraw0", heater);
    PacedBackend paced(&bus, TransactionTime);
    Protocol protocol;
    const QByteArray firmware = image();
    upgradeStarted = 1;
    linkState = 2;

    const RealTimePriority priority;
    for (auto _ : state) {
        const int before = paced.transactions();
        const auto start = std::chrono::steady_clock::now();
        const int result = protocol.sendFile(reinterpret_cast<const uint8_t *>(firmware.constData()), ImageSize);
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(taken.count());
        if (result != 0 || heater->firmware() != firmware) {
            state.SkipWithError("the image did not arrive whole");
            break;
        }
        const int transactions = paced.transactions() - before;
        const double floor = transactions * std::chrono::duration<double>(TransactionTime).count();
        state.counters["transactions"] = transactions;
        state.counters["floor_s"] = floor;
        state.counters["ratio"] = taken.count() / floor;
        state.counters["realtime"] = priority.granted ? 1 : 0;
    }
}
BENCHMARK(firmwareUpgradeOnPacedLink)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kSecond);

// N heaters on one bus take a 64 KiB image at once through korvane-cli's own
// firmware --all (a greeting under each heater's lock, then one thread per
// heater): the time against one heater's floor shows what the heaters cost each other.
void firmwareUpgradeOfHeatersAtOnce(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QByteArray firmware = image().left(64 * 1024);
    SimBus bus;
    std::vector<std::shared_ptr<SimDevice>> heaters;
    for (int n = 0; n < count; ++n) {
        heaters.push_back(std::make_shared<SimDevice>());
        heaters.back()->setUpgradeState(true);
        bus.attach(QString("/dev/hidraw%1").arg(n), heaters.back());
    }
    PacedBackend paced(&bus, TransactionTime);
    QString said;
    QTextStream out(&said);
    Output output(out, out, false);
    const RealTimePriority priority; // the heaters' threads inherit it
    for (auto _ : state) {
        const int before = paced.transactions();
        const auto start = std::chrono::steady_clock::now();
        const int result = FirmwareAll::run(firmware, output);
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(taken.count());
        const bool whole = std::all_of(heaters.begin(), heaters.end(),
                                       [&](const auto &heater) { return heater->firmware() == firmware; });
        if (result != ExitOk || !whole) {
            state.SkipWithError("an image did not arrive whole");
            break;
        }
        const double floor =
            (paced.transactions() - before) / count * std::chrono::duration<double>(TransactionTime).count();
        state.counters["ratio"] = taken.count() / floor;
        state.counters["realtime"] = priority.granted ? 1 : 0;
    }
}
BENCHMARK(firmwareUpgradeOfHeatersAtOnce)
    ->Arg(1)
    ->Arg(8)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
