#include "link/hidapibackend.h"

#include <hidapi.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace {

// hidapi drops errno when it fails to open; ask the node itself why.
HidOpenFailure openFailure(const QByteArray &path)
{
    if (::access(path.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
        return HidOpenFailure::PermissionDenied;
    return HidOpenFailure::Other;
}

} // namespace

HidapiBackend::HidapiBackend()
{
    // Opening from the GUI thread and the device monitor may overlap.
    hid_init();
}

HidapiBackend::~HidapiBackend()
{
    for (const auto &entry : devices)
        hid_close(entry.second);
    hid_exit();
}

std::vector<HidInterface> HidapiBackend::enumerate()
{
    std::vector<HidInterface> found;
    hid_device_info *list = hid_enumerate(0, 0);
    for (const hid_device_info *info = list; info; info = info->next)
        found.push_back({QString::fromLocal8Bit(info->path), info->vendor_id, info->product_id,
                         info->serial_number ? QString::fromWCharArray(info->serial_number) : QString()});
    hid_free_enumeration(list);
    return found;
}

int HidapiBackend::open(const QString &path, HidOpenFailure *failure)
{
    const QByteArray node = path.toLocal8Bit();
    hid_device *handle = hid_open_path(node.constData());
    if (!handle) {
        *failure = openFailure(node);
        return -1;
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    const int id = nextId++;
    devices[id] = handle;
    *failure = HidOpenFailure::None;
    return id;
}

int HidapiBackend::write(int id, const uint8_t *report, int length)
{
    hid_device *handle = device(id);
    return handle ? hid_write(handle, report, size_t(length)) : -1;
}

int HidapiBackend::read(int id, uint8_t *buffer, int length, int timeoutMs)
{
    hid_device *handle = device(id);
    if (!handle)
        return -1;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::min(timeoutMs, LongestReadMs));
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        errno = 0;
        const int n = hid_read_timeout(handle, buffer, size_t(length), int(std::max<long long>(left, 0)));
        // A signal ends poll() early; that is no failure of the device.
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

void HidapiBackend::close(int id)
{
    std::lock_guard<std::mutex> lock(tableMutex);
    const auto entry = devices.find(id);
    if (entry == devices.end())
        return;
    hid_close(entry->second);
    devices.erase(entry);
}

hid_device_ *HidapiBackend::device(int id)
{
    std::lock_guard<std::mutex> lock(tableMutex);
    const auto entry = devices.find(id);
    return entry == devices.end() ? nullptr : entry->second;
}
