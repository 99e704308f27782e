// Host cost of one exchange against the in-process simulated heater with no
// latency, layer by layer: the heater model alone, the four transport
// functions, the Usb port, and Protocol on top. Each runs on the simulated bus
// as it is (link_model:0) and through the link model at zero transaction time
// (link_model:1), whose poll for stale answers does not reach the heater.
#include "bench/pacedbackend.h"
#include "link/usb.h"
#include "link/usboption.h"
#include "protocol/protocol.h"
#include "sim/simbus.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <memory>

namespace {

constexpr int ReportSize = 64;
const uint8_t Handshake[ReportSize + 1] = {0, 0x72};

struct Heater
{
    explicit Heater(const benchmark::State &state)
    {
        bus.attach("/dev/hidraw0", device);
        if (state.range(0) == 1)
            link = std::make_unique<PacedBackend>(&bus, std::chrono::microseconds(0));
    }
    SimBus bus;
    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();
    std::unique_ptr<PacedBackend> link;
};

void exchangeWithHeaterModelOnly(benchmark::State &state)
{
    Heater heater(state);
    uint8_t answer[ReportSize];
    const int reader = heater.device->openReader();
    for (auto _ : state) {
        heater.device->receive(Handshake, int(sizeof Handshake));
        benchmark::DoNotOptimize(heater.device->answer(reader, answer, ReportSize, 1000));
    }
}
BENCHMARK(exchangeWithHeaterModelOnly)->Arg(0);

void exchangeThroughUsbFunctions(benchmark::State &state)
{
    Heater heater(state);
    const int handle = usb_open("/dev/ttyUSB0");
    uint8_t report[ReportSize] = {0x72};
    for (auto _ : state) {
        usb_write(handle, report, ReportSize);
        benchmark::DoNotOptimize(usb_read(handle, report, ReportSize));
        report[0] = 0x72;
    }
    usb_close(handle);
}
BENCHMARK(exchangeThroughUsbFunctions)->ArgName("link_model")->Arg(0)->Arg(1);

void exchangeThroughUsbPort(benchmark::State &state)
{
    Heater heater(state);
    Usb port;
    port.open("/dev/ttyUSB0");
    char report[ReportSize] = {0x72};
    for (auto _ : state) {
        port.write(report, ReportSize);
        benchmark::DoNotOptimize(port.read(report, ReportSize));
        report[0] = 0x72;
    }
    port.close();
}
BENCHMARK(exchangeThroughUsbPort)->ArgName("link_model")->Arg(0)->Arg(1);

void exchangeThroughProtocol(benchmark::State &state)
{
    Heater heater(state);
    Protocol protocol;
    for (auto _ : state)
        benchmark::DoNotOptimize(protocol.handshake());
    if (protocol.handshake() != ReportSize)
        state.SkipWithError("the heater did not answer");
}
BENCHMARK(exchangeThroughProtocol)->ArgName("link_model")->Arg(0)->Arg(1);

void readParamThroughProtocol(benchmark::State &state)
{
    Heater heater(state);
    Protocol protocol;
    for (auto _ : state)
        benchmark::DoNotOptimize(protocol.readParam(0x86));
}
BENCHMARK(readParamThroughProtocol)->ArgName("link_model")->Arg(0)->Arg(1);

} // namespace
