#include "protocol/stream.h"

#include "common/log.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int FirstCapacity = 64;

// Power of two from 64 that holds the request, or -1 when the request is
// negative or its doubling would pass the largest signed 32-bit count.
int grownCapacity(int current, int request)
{
    if (request < 0)
        return -1;
    int capacity = current > 0 ? current : FirstCapacity;
    while (capacity < request) {
        if (capacity > INT32_MAX / 2)
            return -1;
        capacity *= 2;
    }
    return capacity;
}

} // namespace

Stream::Stream()
{
    resize(FirstCapacity);
}

Stream::~Stream()
{
    std::free(base);
}

int Stream::resize(int size)
{
    const int newCapacity = grownCapacity(capacityBytes, size);
    if (newCapacity < 0) {
        LOG_ERROR("requers size too big\n\n");
        return -1;
    }
    auto *allocation = static_cast<uint8_t *>(std::malloc(size_t(newCapacity)));
    if (!allocation) {
        LOG_ERROR("malloc %d  size:%d failed\n\n", newCapacity, size);
        return -1;
    }
    const int count = this->size();
    if (count > 0)
        std::memcpy(allocation, readPos, size_t(count));
    std::free(base);
    base = allocation;
    readPos = allocation;
    writePos = allocation + count;
    capacityBytes = newCapacity;
    return 0;
}

int Stream::growBy(int count)
{
    // A sum past the largest count is as much "too big" as a negative request.
    const int64_t wanted = int64_t(capacityBytes) + count;
    return resize(wanted > INT32_MAX ? -1 : int(wanted));
}

int Stream::reserve(int count)
{
    if (freeSpace() >= count)
        return 0;
    return growBy(count);
}

int Stream::size() const
{
    return int(writePos - readPos);
}

int Stream::capacity() const
{
    return capacityBytes;
}

int Stream::freeSpace() const
{
    return capacityBytes - int(writePos - base);
}

int Stream::write(const void *source, int count)
{
    if (count < 1)
        return 0;
    if (reserve(count) < 0)
        return -1;
    std::memcpy(writePos, source, size_t(count));
    writePos += count;
    return count;
}

int Stream::read(void *destination, int count)
{
    if (count < 1)
        return 0;
    const int taken = count < size() ? count : size();
    if (taken > 0)
        std::memcpy(destination, readPos, size_t(taken));
    readPos += taken;
    return taken;
}

int Stream::clear()
{
    readPos = base;
    writePos = base;
    return 0;
}

int Stream::compact()
{
    if (readPos == base)
        return 0;
    const int count = size();
    std::memmove(base, readPos, size_t(count));
    readPos = base;
    writePos = base + count;
    return 0;
}

int Stream::putBigEndian(uint32_t value, int width)
{
    if (reserve(width) < 0)
        return -1;
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
        *writePos++ = uint8_t(value >> shift);
    return width;
}

int Stream::getBigEndian(int width)
{
    if (size() < width)
        return -1;
    uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | *readPos++;
    return int(value);
}

int Stream::putU8(uint32_t value)
{
    return putBigEndian(value, 1);
}

int Stream::putU16(uint32_t value)
{
    return putBigEndian(value, 2);
}

int Stream::putU24(uint32_t value)
{
    return putBigEndian(value, 3);
}

int Stream::putU32(uint32_t value)
{
    return putBigEndian(value, 4);
}

int Stream::getU8()
{
    return getBigEndian(1);
}

int Stream::getU16()
{
    return getBigEndian(2);
}

int Stream::getU24()
{
    return getBigEndian(3);
}

int Stream::getU32()
{
    return getBigEndian(4);
}

int Stream::backward(int count)
{
    if (count < 0 || count > readPos - base) {
        LOG_ERROR("can not before size:%d \n\n", count);
        return -1;
    }
    readPos -= count;
    return count;
}

int Stream::hexDump(int count) const
{
    QString line;
    for (int i = 0; i < count && i < size(); ++i) {
        if (i % 32 == 0) {
            Log::plain(line);
            line.clear();
        }
        line += QString::asprintf("%02x ", readPos[i]);
    }
    Log::plain(line);
    return 0;
}
