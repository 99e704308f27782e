#pragma once

#include "link/hidbackend.h"
#include "sim/simdevice.h"

#include <QStringList>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// A HID bus under the control of tests and the demo mode. While it lives it is
// the backend every transport call goes through. Attaching and detaching raise
// the arrival and removal notices of its notifier.
class SimBus : public HidBackend
{
public:
    SimBus();
    ~SimBus() override;

    // Interfaces enumerate in the order they were attached.
    void attach(const QString &path, const std::shared_ptr<SimDevice> &device, uint16_t vendorId = SimDevice::VendorId,
                uint16_t productId = SimDevice::ProductId);
    // An interface that is present but refuses to be opened.
    void attachUnopenable(const QString &path, HidOpenFailure why = HidOpenFailure::PermissionDenied,
                          uint16_t vendorId = SimDevice::VendorId, uint16_t productId = SimDevice::ProductId);
    // Unplugs: open handles on it fail from now on.
    void detach(const QString &path);

    QStringList openAttempts() const; // paths, in the order opens were tried
    int openCount() const;            // device ids open now

    std::vector<HidInterface> enumerate() override;
    int open(const QString &path, HidOpenFailure *failure) override;
    int write(int id, const uint8_t *report, int length) override;
    int read(int id, uint8_t *buffer, int length, int timeoutMs) override;
    void close(int id) override;
    // Only this process sees the bus, so nothing needs locking, unless a
    // caller wants the heater lock at work (another program holding it).
    bool sharedWithOtherPrograms() const override { return shared; }
    void shareWithOtherPrograms(bool yes) { shared = yes; }

private:
    struct Slot
    {
        HidInterface info;
        std::shared_ptr<SimDevice> device; // null when it cannot be opened
        HidOpenFailure refusal = HidOpenFailure::None;
    };
    struct Opened
    {
        QString path;
        std::shared_ptr<SimDevice> device;
        int reader = 0;
        bool unplugged = false;
    };

    void add(const Slot &slot);
    std::vector<Slot>::iterator slotAt(const QString &path); // with the lock held
    std::shared_ptr<SimDevice> deviceOf(int id, int *reader = nullptr) const;

    mutable std::mutex mutex;
    std::vector<Slot> present;
    std::map<int, Opened> opened;
    QStringList attempts;
    int nextId = 1;
    bool shared = false;
};
