#pragma once

#include "link/hidbackend.h"

#include <atomic>
#include <chrono>

// The USB link between the host and a simulated bus, as slow as it is told:
// every output report and every input report the host waits for costs one
// transaction time. The link fetches an input report only while the host waits
// for one, so a poll that does not wait (the transport's check for stale
// answers) finds nothing and costs nothing, as hidraw's poll of an empty queue.
// Made current while it lives; everything else goes on to the bus it wraps.
class PacedBackend : public HidBackend
{
public:
    PacedBackend(HidBackend *bus, std::chrono::microseconds transaction);
    ~PacedBackend() override;

    std::vector<HidInterface> enumerate() override;
    int open(const QString &path, HidOpenFailure *failure) override;
    int write(int id, const uint8_t *report, int length) override;
    int read(int id, uint8_t *buffer, int length, int timeoutMs) override;
    void close(int id) override;

    int transactions() const { return count; }

private:
    void spendTransaction();

    HidBackend *inner;
    std::chrono::microseconds transactionTime;
    std::atomic<int> count{0}; // heaters may be upgraded side by side
};
