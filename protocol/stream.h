#pragma once

#include <cstdint>

// Growable byte buffer, filled at its tail and drained at its head. Every
// multi-byte value is written and read big-endian. Not copyable; one owner.
class Stream
{
public:
    Stream();
    ~Stream();
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;

    int resize(int size);
    int reserve(int count);
    int size() const;
    int capacity() const;
    int freeSpace() const;

    int write(const void *source, int count);
    int read(void *destination, int count);
    int clear();
    int compact();

    int putU8(uint32_t value);
    int putU16(uint32_t value);
    int putU24(uint32_t value);
    int putU32(uint32_t value);
    int getU8();
    int getU16();
    int getU24();
    int getU32();

    int backward(int count);
    int hexDump(int count) const;

    uint8_t *readPointer() const { return readPos; }   // first unread byte
    uint8_t *writePointer() const { return writePos; } // one past the content

private:
    int growBy(int count); // resize to capacity + count
    int putBigEndian(uint32_t value, int width);
    int getBigEndian(int width);

    uint8_t *readPos = nullptr;
    uint8_t *writePos = nullptr;
    uint8_t *base = nullptr;
    int32_t capacityBytes = 0;
};
