#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A lock handed out in the order it was asked for. The firmware writer thread
// takes it once per report; with a plain mutex it could take it again at once,
// and a GUI-thread exchange would wait for the whole transfer.
class TurnLock
{
public:
    void lock();
    void unlock();

private:
    std::mutex mutex;
    std::condition_variable turnChanged;
    uint64_t nextTicket = 0;
    uint64_t serving = 0;
};
