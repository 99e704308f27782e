#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class HidNotifier;

struct HidInterface
{
    static constexpr uint16_t HeaterVendorId = 0x0483;
    static constexpr uint16_t HeaterProductId = 0x5750;

    QString path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    QString serial; // the USB serial string, empty where the device has none

    bool isHeater() const { return vendorId == HeaterVendorId && productId == HeaterProductId; }
};

enum class HidOpenFailure { None, PermissionDenied, Other };

// The one seam between the device link and the HID access of the platform.
// Calls on one device id are never made concurrently (the transport serialises
// them); calls on different ids, and enumeration, may be.
class HidBackend
{
public:
    // No read waits longer, whatever the user asked for.
    static constexpr int LongestReadMs = 60000;

    HidBackend();
    virtual ~HidBackend();
    HidBackend(const HidBackend &) = delete;
    HidBackend &operator=(const HidBackend &) = delete;

    // Interfaces present now, in the platform's enumeration order.
    virtual std::vector<HidInterface> enumerate() = 0;
    // A device id above 0, or -1 with the reason in failure.
    virtual int open(const QString &path, HidOpenFailure *failure) = 0;
    // One output report, report ID first; the bytes written (report ID counted) or -1.
    virtual int write(int id, const uint8_t *report, int length) = 0;
    // One input report's data bytes, waiting at most timeoutMs: the byte count,
    // 0 when nothing came in time, -1 on error.
    virtual int read(int id, uint8_t *buffer, int length, int timeoutMs) = 0;
    virtual void close(int id) = 0;

    // Where arrival and removal notices of this backend's bus are raised.
    HidNotifier *notifier() const { return notices.get(); }
    // True when the system's device manager (udev) has to raise them; otherwise
    // the backend raises them itself.
    virtual bool noticesFromUdev() const { return false; }
    // False when no other process can reach this backend's devices, so that
    // there is nothing to lock against them.
    virtual bool sharedWithOtherPrograms() const { return true; }

    // The backend every transport call goes through unless replaced: hidraw, or
    // the virtual device's socket when KORVANE_DEVICE is unix:PATH (read once).
    static HidBackend *current();
    // nullptr returns to the backend chosen at start-up. Devices opened through the previous
    // backend must be closed before switching.
    static void setCurrent(HidBackend *backend);
    // True when KORVANE_DEVICE is unix:PATH, with PATH in socketPath.
    static bool virtualDevice(QString *socketPath);

    // The heater the user picked: unix:PATH, hidraw:PATH or serial:TEXT, from
    // this thread's own pick or else KORVANE_DEVICE; empty takes the first.
    static QString pick();
    // Whether a pick is one of those three forms, with something after the colon.
    static bool wellFormedPick(const QString &device);
    // Whether the pick allows this interface to be opened as the heater.
    static bool picked(const HidInterface &interface);
    // Gives this thread a pick of its own (empty returns to the program's), so
    // that threads can each work with another heater.
    static void pickForThisThread(const QString &device);

private:
    std::unique_ptr<HidNotifier> notices;
};
