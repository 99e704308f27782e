#include "protocol/turnlock.h"

void TurnLock::lock()
{
    std::unique_lock<std::mutex> guard(mutex);
    const uint64_t ticket = nextTicket++;
    turnChanged.wait(guard, [this, ticket] { return serving == ticket; });
}

void TurnLock::unlock()
{
    {
        std::lock_guard<std::mutex> guard(mutex);
        ++serving;
    }
    turnChanged.notify_all();
}
