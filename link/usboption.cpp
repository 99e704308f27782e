#include "link/usboption.h"

#include "common/log.h"
#include "link/hidbackend.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int ReportIdSize = 1;
constexpr int DefaultReadTimeoutMs = 2000;
// A device flooding input reports must not keep a request from going out.
constexpr int StaleReportLimit = 64;

// hidapi allows one call at a time on a device. Each handle has its own lock, so
// a read waiting on one device never holds up opening or probing another.
std::mutex lockTableMutex;
std::map<int, std::shared_ptr<std::mutex>> handleLocks;
std::map<int, QString> handlePaths;

std::shared_ptr<std::mutex> lockOf(int handle)
{
    std::lock_guard<std::mutex> lock(lockTableMutex);
    std::shared_ptr<std::mutex> &entry = handleLocks[handle];
    if (!entry)
        entry = std::make_shared<std::mutex>();
    return entry;
}

void forgetHandle(int handle)
{
    std::lock_guard<std::mutex> lock(lockTableMutex);
    handleLocks.erase(handle);
    handlePaths.erase(handle);
}

void rememberPath(int handle, const QString &path)
{
    std::lock_guard<std::mutex> lock(lockTableMutex);
    handlePaths[handle] = path;
}

int readTimeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("KORVANE_READ_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? std::min(ms, HidBackend::LongestReadMs) : DefaultReadTimeoutMs;
}

// hidraw queues input reports: an answer that came after its read gave up would
// otherwise be taken as the answer to the next request.
void dropStaleReports(HidBackend *backend, int handle)
{
    uint8_t scratch[64];
    for (int i = 0; i < StaleReportLimit; ++i) {
        const int n = backend->read(handle, scratch, int(sizeof scratch), 0);
        if (n <= 0)
            return;
        LOG_INFO("stale report of %d bytes dropped\n\n", n);
    }
}

void explainPermission(const QString &path)
{
    QString socketPath;
    if (HidBackend::virtualDevice(&socketPath)) {
        Log::plain(
            QStringLiteral(" no permission to open %1: the socket's mode and owner keep this user out").arg(path));
        return;
    }
    Log::plain(QStringLiteral(" no permission to open %1: the heater is present, but no udev rule gives this user "
                              "read and write access to its hidraw node (vendor 0483, product 5750)")
                   .arg(path));
}

// Warns under the transfer's name when handle or length cannot be used.
bool transferable(int handle, int length, const char *operation)
{
    if (handle <= 0)
        Log::structured(Log::Warn, __LINE__, operation, __FILE__, "usb handler is invalid\n\n");
    else if (length < 0)
        Log::structured(Log::Warn, __LINE__, operation, __FILE__, "length:%d is ill\n\n", length);
    return handle > 0 && length >= 0;
}

} // namespace

int usb_open(const char *)
{
    HidBackend *backend = HidBackend::current();
    for (const HidInterface &candidate : backend->enumerate()) {
        Log::plain(QStringLiteral("catch you size %1").arg(candidate.path.toLocal8Bit().size() + 1));
        if (!candidate.isHeater() || !HidBackend::picked(candidate))
            continue;
        Log::plain(" find usb hid ");
        HidOpenFailure failure = HidOpenFailure::None;
        const int handle = backend->open(candidate.path, &failure);
        if (handle <= 0) {
            Log::plain(" CreateFile failed ");
            if (failure == HidOpenFailure::PermissionDenied)
                explainPermission(candidate.path);
            return -1;
        }
        Log::plain(QStringLiteral(" CreateFile success handle : %1").arg(handle));
        if (backend->sharedWithOtherPrograms())
            rememberPath(handle, candidate.path);
        return handle;
    }
    Log::plain(" SetupDiEnumDeviceInterfaces failed ");
    return -1;
}

int usb_close(int handle)
{
    if (handle <= 0)
        return 0;
    {
        const std::shared_ptr<std::mutex> device = lockOf(handle);
        std::lock_guard<std::mutex> lock(*device);
        HidBackend::current()->close(handle);
    }
    forgetHandle(handle);
    return 0;
}

QString usb_shared_path(int handle)
{
    std::lock_guard<std::mutex> lock(lockTableMutex);
    const auto entry = handlePaths.find(handle);
    return entry == handlePaths.end() ? QString() : entry->second;
}

int usb_read(int handle, void *buffer, int length)
{
    if (!transferable(handle, length, __func__))
        return -1;
    std::vector<uint8_t> scratch(size_t(length), 0);
    const int timeout = readTimeoutMs();
    int n = 0;
    {
        const std::shared_ptr<std::mutex> device = lockOf(handle);
        std::lock_guard<std::mutex> lock(*device);
        n = HidBackend::current()->read(handle, scratch.data(), length, timeout);
    }
    if (n == 0) {
        LOG_WARN("no answer within %d ms\n\n", timeout);
        return -1;
    }
    if (n < 0) {
        LOG_WARN("read failed\n\n");
        return -1;
    }
    std::copy_n(scratch.begin(), length, static_cast<uint8_t *>(buffer));
    return n;
}

int usb_write(int handle, const void *data, int length)
{
    if (!transferable(handle, length, __func__))
        return -1;
    std::vector<uint8_t> report(size_t(length) + ReportIdSize, 0);
    std::copy_n(static_cast<const uint8_t *>(data), length, report.begin() + ReportIdSize);
    int n = 0;
    int error = 0;
    {
        const std::shared_ptr<std::mutex> device = lockOf(handle);
        std::lock_guard<std::mutex> lock(*device);
        HidBackend *backend = HidBackend::current();
        dropStaleReports(backend, handle);
        errno = 0; // stays 0 when the backend has no system error to give
        n = backend->write(handle, report.data(), int(report.size()));
        error = errno;
    }
    if (n > 0)
        return n - ReportIdSize;
    LOG_WARN("error:%d\n\n", error);
    if (n == 0) {
        LOG_WARN("usb write io error\n\n");
        return 0;
    }
    LOG_WARN("usb write failed\n\n");
    return -1;
}
