// Random sequences of Stream operations, each checked against a plain model:
// the bytes from the allocation's start to the write position, how many of
// them are consumed, and the capacity the growth rule gives.
#include "fuzz/fuzzcheck.h"
#include "protocol/stream.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int FirstCapacity = 64;
constexpr int LargestCapacity = 1 << 30;
constexpr int SmallCount = 2048; // the largest count the input makes, edges apart

class Model
{
public:
    int size() const { return int(bytes.size() - consumed); }
    int freeSpace() const { return capacity - int(bytes.size()); }

    // Powers of two from the current capacity; past 2^30 a signed count cannot follow.
    int resize(int request)
    {
        if (request < 0)
            return -1;
        int64_t grown = capacity;
        while (grown < request)
            grown *= 2;
        if (grown > LargestCapacity)
            return -1;
        bytes.erase(bytes.begin(), bytes.begin() + long(consumed));
        consumed = 0;
        capacity = int(grown);
        return 0;
    }
    int reserve(int count)
    {
        if (freeSpace() >= count)
            return 0;
        const int64_t wanted = int64_t(capacity) + count;
        return wanted > INT_MAX ? -1 : resize(int(wanted));
    }
    int write(const uint8_t *source, int count)
    {
        if (count < 1)
            return 0;
        if (reserve(count) < 0)
            return -1;
        bytes.insert(bytes.end(), source, source + count);
        return count;
    }
    int put(uint32_t value, int width)
    {
        if (reserve(width) < 0)
            return -1;
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(value >> shift));
        return width;
    }
    int get(int width)
    {
        if (size() < width)
            return -1;
        uint32_t value = 0;
        for (int i = 0; i < width; ++i)
            value = value << 8 | bytes[consumed++];
        return int(value);
    }
    int read(uint8_t *destination, int count)
    {
        if (count < 1)
            return 0;
        const int taken = count < size() ? count : size();
        if (taken > 0)
            std::memcpy(destination, bytes.data() + consumed, size_t(taken));
        consumed += size_t(taken);
        return taken;
    }
    int backward(int count)
    {
        if (count < 0 || size_t(count) > consumed)
            return -1;
        consumed -= size_t(count);
        return count;
    }
    void clear()
    {
        bytes.clear();
        consumed = 0;
    }
    void compact()
    {
        bytes.erase(bytes.begin(), bytes.begin() + long(consumed));
        consumed = 0;
    }

    std::vector<uint8_t> bytes; // from the allocation's start to the write position
    size_t consumed = 0;
    int capacity = FirstCapacity;
};

class Input
{
public:
    Input(const uint8_t *data, size_t size) : at(data), end(data + size) {}
    bool empty() const { return at == end; }
    uint8_t byte() { return at < end ? *at++ : 0; }
    uint32_t word()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }
    // Sizes mostly small (so memory stays bounded), now and then an edge of a
    // signed count that must be refused without allocating anything.
    int count()
    {
        static const int edges[] = {-1, INT_MIN, INT_MAX, int(0xF0000000u), LargestCapacity + 1, 0};
        const uint8_t pick = byte();
        if (pick >= 250)
            return edges[pick - 250];
        return pick * (byte() % 8 + 1) - 16;
    }

private:
    const uint8_t *at;
    const uint8_t *end;
};

void checkSame(const Stream &stream, const Model &model)
{
    FUZZ_CHECK(stream.size() == model.size());
    FUZZ_CHECK(stream.capacity() == model.capacity);
    FUZZ_CHECK(stream.freeSpace() == model.freeSpace());
    FUZZ_CHECK(stream.writePointer() - stream.readPointer() == model.size());
    FUZZ_CHECK(model.size() == 0 ||
               std::memcmp(stream.readPointer(), model.bytes.data() + model.consumed, size_t(model.size())) == 0);
}

void step(Stream &stream, Model &model, Input &input)
{
    std::vector<uint8_t> scratch;
    switch (input.byte() % 16) {
    case 0: {
        // An edge count must be refused before a byte of the source is read:
        // the source then holds a single byte.
        const int count = input.count();
        scratch.resize(count > 0 ? size_t(count <= SmallCount ? count : 1) : 0);
        for (size_t i = 0; i < scratch.size(); ++i)
            scratch[i] = uint8_t(i * 31 + input.byte());
        FUZZ_CHECK(stream.write(scratch.data(), count) == model.write(scratch.data(), count));
        break;
    }
    case 1: {
        // The destination holds exactly what can be taken.
        const int count = input.count();
        scratch.resize(count > 0 ? size_t(std::min(count, model.size())) : 0);
        std::vector<uint8_t> expected(scratch.size());
        const int taken = stream.read(scratch.data(), count);
        FUZZ_CHECK(taken == model.read(expected.data(), count));
        FUZZ_CHECK(scratch == expected);
        break;
    }
    case 2:
    case 3:
    case 4:
    case 5: {
        const int width = input.byte() % 4 + 1;
        const uint32_t value = input.word();
        static int (Stream::*const puts[])(uint32_t) = {&Stream::putU8, &Stream::putU16, &Stream::putU24,
                                                        &Stream::putU32};
        FUZZ_CHECK((stream.*puts[width - 1])(value) == model.put(value, width));
        break;
    }
    case 6:
    case 7:
    case 8: {
        const int width = input.byte() % 4 + 1;
        static int (Stream::*const gets[])() = {&Stream::getU8, &Stream::getU16, &Stream::getU24, &Stream::getU32};
        FUZZ_CHECK((stream.*gets[width - 1])() == model.get(width));
        break;
    }
    case 9:
    case 10: {
        const int count = input.count();
        FUZZ_CHECK(stream.backward(count) == model.backward(count));
        break;
    }
    case 11:
        FUZZ_CHECK(stream.clear() == 0);
        model.clear();
        break;
    case 12:
        FUZZ_CHECK(stream.compact() == 0);
        model.compact();
        break;
    case 13: {
        const int count = input.count();
        FUZZ_CHECK(stream.resize(count) == model.resize(count));
        break;
    }
    case 14: {
        const int count = input.count();
        FUZZ_CHECK(stream.reserve(count) == model.reserve(count));
        break;
    }
    case 15:
        FUZZ_CHECK(stream.hexDump(input.count()) == 0);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input input(data, size);
    Stream stream;
    Model model;
    checkSame(stream, model);
    while (!input.empty()) {
        step(stream, model, input);
        checkSame(stream, model);
    }
    return 0;
}
