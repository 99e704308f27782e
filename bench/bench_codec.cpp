// Framing on the host: the checksum of every report and a whole firmware image.
#include "protocol/packet.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

constexpr int MiB = 1 << 20;

std::vector<uint8_t> image(int length)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    uint32_t state = 0x2545F491u;
    for (uint8_t &byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = uint8_t(state >> 24);
    }
    return bytes;
}

void crc16Throughput(benchmark::State &state)
{
    const std::vector<uint8_t> data = image(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Packet::crc16(data.data(), int(data.size())));
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(crc16Throughput)->Arg(62)->Arg(MiB);

void packetFileOfOneMiB(benchmark::State &state)
{
    const std::vector<uint8_t> data = image(MiB);
    for (auto _ : state) {
        Packet packet;
        benchmark::DoNotOptimize(packet.packetFile(data.data(), MiB));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * MiB);
}
BENCHMARK(packetFileOfOneMiB)->Unit(benchmark::kMillisecond);

} // namespace
