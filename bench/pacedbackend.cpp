#include "bench/pacedbackend.h"

#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A sleep overshoots by tens of microseconds, several percent of a 1 ms
// transaction, and far more on a busy machine: sleep to well before the
// deadline and spin the rest without giving the processor away.
void waitUntil(Clock::time_point deadline)
{
    constexpr auto spinTime = std::chrono::microseconds(300);
    if (deadline - Clock::now() > spinTime)
        std::this_thread::sleep_until(deadline - spinTime);
    while (Clock::now() < deadline) {
    }
}

} // namespace

PacedBackend::PacedBackend(HidBackend *bus, std::chrono::microseconds transaction)
    : inner(bus), transactionTime(transaction)
{
    HidBackend::setCurrent(this);
}

PacedBackend::~PacedBackend()
{
    if (HidBackend::current() == this)
        HidBackend::setCurrent(inner);
}

std::vector<HidInterface> PacedBackend::enumerate()
{
    return inner->enumerate();
}

int PacedBackend::open(const QString &path, HidOpenFailure *failure)
{
    return inner->open(path, failure);
}

int PacedBackend::write(int id, const uint8_t *report, int length)
{
    spendTransaction();
    return inner->write(id, report, length);
}

int PacedBackend::read(int id, uint8_t *buffer, int length, int timeoutMs)
{
    if (timeoutMs <= 0)
        return 0;
    spendTransaction();
    return inner->read(id, buffer, length, timeoutMs);
}

void PacedBackend::close(int id)
{
    inner->close(id);
}

void PacedBackend::spendTransaction()
{
    ++count;
    waitUntil(Clock::now() + transactionTime);
}
