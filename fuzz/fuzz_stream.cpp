// Random sequences of Stream operations, each checked against a plain model:
// the bytes from the allocation's start to the write position, how many of
// them are consumed, and the capacity the growth rule gives.
#include "fuzz/fuzzcheck.h"
#include "protocol/stream.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

struct Model
{
    std::vector<uint8_t> bytes; // from the allocation's start to the write position
    size_t consumed = 0;
    int capacity = 64;

    int size() const { return int(bytes.size() - consumed); }
    int freeSpace() const { return capacity - int(bytes.size()); }
    void compact() { bytes.erase(bytes.begin(), bytes.begin() + long(std::exchange(consumed, 0))); }
    // Powers of two from the current capacity; past 2^30 a signed count cannot follow.
    int resize(int request)
    {
        int64_t grown = capacity;
        while (grown < request)
            grown *= 2;
        if (request < 0 || grown > (1 << 30))
            return -1;
        compact();
        capacity = int(grown);
        return 0;
    }
    int reserve(int count)
    {
        const int64_t wanted = int64_t(capacity) + count;
        return freeSpace() >= count ? 0 : wanted > INT_MAX ? -1 : resize(int(wanted));
    }
};

// Counts mostly small, so memory stays bounded; now and then an edge of a
// signed count that must be refused before anything is allocated or read.
struct Input
{
    const uint8_t *at, *end;
    uint8_t byte() { return at < end ? *at++ : 0; }
    int count()
    {
        static const int edges[] = {-1, INT_MIN, INT_MAX, int(0xF0000000u), (1 << 30) + 1, 0};
        const uint8_t pick = byte();
        return pick >= 250 ? edges[pick - 250] : pick * (byte() % 8 + 1) - 16;
    }
};

void step(Stream &stream, Model &model, Input &input)
{
    int (Stream::*const puts[])(uint32_t) = {&Stream::putU8, &Stream::putU16, &Stream::putU24, &Stream::putU32};
    int (Stream::*const gets[])() = {&Stream::getU8, &Stream::getU16, &Stream::getU24, &Stream::getU32};
    const int operation = input.byte() % 11, count = input.count(), width = count % 4 < 0 ? 1 : count % 4 + 1;
    std::vector<uint8_t> scratch(size_t(std::clamp(count, 1, 2048))); // an edge count gets one byte
    for (size_t i = 0; i < scratch.size(); ++i)
        scratch[i] = uint8_t(i * 31 + count);
    switch (operation) {
    case 0: {
        const int expected = count < 1 ? 0 : model.reserve(count) < 0 ? -1 : count;
        if (expected > 0)
            model.bytes.insert(model.bytes.end(), scratch.begin(), scratch.end());
        FUZZ_CHECK(stream.write(scratch.data(), count) == expected);
        break;
    }
    case 1: {
        const int taken = count < 1 ? 0 : std::min(count, model.size());
        scratch.resize(size_t(std::max(taken, 1))); // the destination holds exactly what can be taken
        FUZZ_CHECK(stream.read(scratch.data(), count) == taken);
        FUZZ_CHECK(taken == 0 || std::memcmp(scratch.data(), model.bytes.data() + model.consumed, size_t(taken)) == 0);
        model.consumed += size_t(taken);
        break;
    }
    case 2:
    case 3: {
        const uint32_t value = uint32_t(count) * 2654435761u;
        const int expected = model.reserve(width) < 0 ? -1 : width;
        for (int shift = 8 * (width - 1); expected > 0 && shift >= 0; shift -= 8)
            model.bytes.push_back(uint8_t(value >> shift));
        FUZZ_CHECK((stream.*puts[width - 1])(value) == expected);
        break;
    }
    case 4:
    case 5: {
        const bool enough = model.size() >= width;
        uint32_t value = 0;
        for (int i = 0; enough && i < width; ++i)
            value = value << 8 | model.bytes[model.consumed++];
        FUZZ_CHECK((stream.*gets[width - 1])() == (enough ? int(value) : -1));
        break;
    }
    case 6: {
        const bool fits = count >= 0 && size_t(count) <= model.consumed;
        model.consumed -= fits ? size_t(count) : 0;
        FUZZ_CHECK(stream.backward(count) == (fits ? count : -1));
        break;
    }
    case 7:
        FUZZ_CHECK(stream.clear() == 0 && stream.compact() == 0);
        model = Model{{}, 0, model.capacity};
        break;
    case 8:
        FUZZ_CHECK(stream.compact() == 0 && stream.hexDump(count) == 0);
        model.compact();
        break;
    case 9:
        FUZZ_CHECK(stream.resize(count) == model.resize(count));
        break;
    case 10:
        FUZZ_CHECK(stream.reserve(count) == model.reserve(count));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input input{data, data + size};
    Stream stream;
    Model model;
    while (input.at < input.end) {
        step(stream, model, input);
        FUZZ_CHECK(stream.size() == model.size() && stream.capacity() == model.capacity &&
                   stream.freeSpace() == model.freeSpace());
        FUZZ_CHECK(model.size() == 0 ||
                   std::memcmp(stream.readPointer(), model.bytes.data() + model.consumed, size_t(model.size())) == 0);
    }
    return 0;
}
