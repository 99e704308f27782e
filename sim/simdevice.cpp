#include "sim/simdevice.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int ReportSize = 64;
constexpr int MaxPayload = 60;
constexpr int PayloadOffset = 2;
constexpr int CrcOffset = 62;
constexpr int PageSize = 1024;
constexpr int PageTail = 4;
constexpr int LogoLimit = 512;
constexpr int LogoGroup = 16;

constexpr uint8_t FirmwareStart = 0x01;
constexpr uint8_t FirmwareEnd = 0x03;
constexpr uint8_t LogoData = 0x07;
constexpr uint8_t LogoStart = 0x70;
constexpr uint8_t LogoEnd = 0x71;
constexpr uint8_t Handshake = 0x72;
constexpr uint8_t ReadFlag = 0x80;
constexpr int LastSetting = 6;
constexpr int LastWrite = 7;

constexpr int Accepted = 1;
constexpr int Refused = 3;

// A reader that does not read loses what comes beyond this, as with hidraw.
constexpr std::size_t ReaderQueueLimit = 64;
// What is kept of the reports and problems seen: a long-running server must not grow.
constexpr int KeptLimit = 65536;

template <typename List> void keepLatest(List &list)
{
    while (list.size() > KeptLimit)
        list.removeFirst();
}

// CRC-16/MODBUS bit by bit (reflected 0xA001, init 0xFFFF, no final xor): kept
// apart from the host's table-driven code so that each checks the other.
uint16_t crc16(const uint8_t *data, int length)
{
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

bool zeroBetween(const uint8_t *report, int from, int to)
{
    return std::all_of(report + from, report + to, [](uint8_t byte) { return byte == 0; });
}

QByteArray reply(uint8_t code, int statusOrLength)
{
    QByteArray answer(ReportSize, '\0');
    answer[0] = char(code);
    answer[1] = char(statusOrLength);
    return answer;
}

} // namespace

SimDevice::SimDevice() = default;

int SimDevice::receive(const uint8_t *report, int length)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!present)
        return -1;
    if (reportsIn + 1 == vanishAt)
        return vanish(lock);
    ++reportsIn;
    wire << QByteArray(reinterpret_cast<const char *>(report), std::max(length, 0));
    keepLatest(wire);
    if (length != ReportSize + 1 || report[0] != 0)
        note(QString("%1 bytes on the wire, not a report ID 0 and 64 bytes").arg(length));
    uint8_t data[ReportSize] = {};
    std::copy_n(report + 1, std::clamp(length - 1, 0, ReportSize), data);

    const auto injected = injections.find(reportsIn);
    const Injection injection = injected != injections.end() ? injected->second : Injection();
    if (injected != injections.end())
        injections.erase(injected);
    deliver(injection.fault == Status ? reply(data[0], injection.value) : respond(data), injection);
    return length;
}

int SimDevice::openReader()
{
    std::lock_guard<std::mutex> lock(mutex);
    readers[nextReader];
    return nextReader++;
}

void SimDevice::closeReader(int reader)
{
    std::lock_guard<std::mutex> lock(mutex);
    readers.erase(reader);
    answered.notify_all();
}

int SimDevice::answer(int reader, uint8_t *buffer, int length, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex);
    const auto ready = [this, reader] {
        const auto queue = readers.find(reader);
        return !present || queue == readers.end() || !queue->second.empty();
    };
    // A read that may not wait is a plain look: even an expired timed wait
    // sleeps in the kernel, and the host makes one before every request.
    const bool arrived = timeoutMs > 0 ? answered.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready) : ready();
    const auto queue = readers.find(reader);
    if (!present || queue == readers.end())
        return -1;
    if (!arrived) {
        if (timeoutMs > 0 && !late.isNull()) {
            broadcast({late});
            late = QByteArray();
        }
        return 0;
    }
    const Answer next = queue->second.front();
    queue->second.pop_front();
    if (next.lost)
        return -1;
    const int n = std::min(length, int(next.bytes.size()));
    std::copy_n(next.bytes.constData(), n, buffer);
    return n;
}

void SimDevice::plug(bool plugged)
{
    std::lock_guard<std::mutex> lock(mutex);
    present = plugged;
    dropAnswers();
    late = QByteArray();
    answered.notify_all();
}

void SimDevice::setUpgradeState(bool upgrade)
{
    std::lock_guard<std::mutex> lock(mutex);
    upgrading = upgrade;
}

void SimDevice::inject(int nth, Fault fault, int value)
{
    std::lock_guard<std::mutex> lock(mutex);
    injections[reportsIn + nth] = {fault, value};
}

void SimDevice::vanishAfter(int reports)
{
    std::lock_guard<std::mutex> lock(mutex);
    vanishAt = reportsIn + reports + 1;
}

void SimDevice::onVanish(std::function<void()> handler)
{
    std::lock_guard<std::mutex> lock(mutex);
    vanishHandler = std::move(handler);
}

QList<QByteArray> SimDevice::reports() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return wire;
}

int SimDevice::reportCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return reportsIn;
}

QStringList SimDevice::problems() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return found;
}

QByteArray SimDevice::firmware() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return image.data;
}

bool SimDevice::firmwareComplete() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return image.complete;
}

QByteArray SimDevice::logo() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return logoData.data;
}

bool SimDevice::logoComplete() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return logoData.complete;
}

QByteArray SimDevice::setting(int code) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return settings.read(code);
}

void SimDevice::setSetting(int code, const QByteArray &payload)
{
    std::lock_guard<std::mutex> lock(mutex);
    settings.set(code, payload);
}

int SimDevice::workMode() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return settings.workMode();
}

// The handler runs unlocked: the bus it calls may call back into the device.
int SimDevice::vanish(std::unique_lock<std::mutex> &lock)
{
    present = false;
    vanishAt = -1;
    dropAnswers();
    answered.notify_all();
    const std::function<void()> handler = vanishHandler;
    lock.unlock();
    if (handler)
        handler();
    return -1;
}

QByteArray SimDevice::respond(const uint8_t *report)
{
    const uint8_t code = report[0];
    if (code == Handshake)
        return upgrading ? reply(Handshake, Accepted).left(2) : reply(Handshake, Accepted);
    if (code == LogoStart || code == LogoEnd || (code == LogoData && logoData.open))
        return logoStep(report);
    if (upgrading && code >= FirmwareStart && code <= FirmwareEnd)
        return firmwareStep(report);
    if ((code >= 1 && code <= LastWrite) || (code > ReadFlag && code <= ReadFlag + LastSetting))
        return parameterStep(report);
    return refuse(code, QString("unknown command 0x%1").arg(code, 2, 16, QChar('0')));
}

QByteArray SimDevice::parameterStep(const uint8_t *report)
{
    const uint8_t code = report[0];
    if (!framedOk(report))
        return reply(code, Refused);
    const int n = report[1];
    if (code & ReadFlag) {
        const QByteArray payload = settings.read(code & ~ReadFlag);
        QByteArray answer = reply(uint8_t(code | (settings.workMode() & 7) << 4), payload.size());
        return answer.replace(PayloadOffset, payload.size(), payload);
    }
    const QByteArray payload(reinterpret_cast<const char *>(report + PayloadOffset), n);
    if (!settings.write(code, payload))
        return refuse(code, QString("command %1 with a payload of %2 bytes").arg(code).arg(n));
    return reply(code, Accepted);
}

QByteArray SimDevice::firmwareStep(const uint8_t *report)
{
    const uint8_t code = report[0];
    if (code == FirmwareEnd) {
        if (!zeroBetween(report, 1, ReportSize))
            return refuse(code, "firmware end report is not plain");
        if (!image.open || image.data.size() != image.expected)
            return refuse(code,
                          QString("firmware ended after %1 of %2 bytes").arg(image.data.size()).arg(image.expected));
        image.open = false;
        image.complete = true;
        return reply(code, Accepted);
    }
    if (!framedOk(report))
        return reply(code, Refused);
    const int n = report[1];
    const uint8_t *payload = report + PayloadOffset;
    if (code == FirmwareStart) {
        if (n != 4)
            return refuse(code, QString("firmware start with a length of %1 bytes").arg(n));
        image = Transfer();
        image.expected = int(uint32_t(payload[0]) << 24 | payload[1] << 16 | payload[2] << 8 | payload[3]);
        image.open = true;
        return reply(code, Accepted);
    }
    if (!image.open)
        return refuse(code, "firmware data before its start report");
    const int slot = image.pageOffset < PageSize - PageTail ? MaxPayload : PageTail;
    const int cut = std::min(slot, image.expected - image.data.size());
    if (n != cut)
        return refuse(code, QString("firmware data of %1 bytes where the page cut gives %2").arg(n).arg(cut));
    image.data.append(reinterpret_cast<const char *>(payload), n);
    image.pageOffset = (image.pageOffset + n) % PageSize;
    return reply(code, Accepted);
}

QByteArray SimDevice::logoStep(const uint8_t *report)
{
    const uint8_t code = report[0];
    if (code == LogoStart) {
        if (!zeroBetween(report, 1, ReportSize))
            return refuse(code, "logo start report is not plain");
        logoData = Transfer();
        logoData.open = true;
        return reply(code, Accepted);
    }
    if (code == LogoEnd) {
        if (!logoData.open || logoData.data.size() % LogoGroup != 0)
            return refuse(code, QString("logo ended with %1 bytes").arg(logoData.data.size()));
        logoData.open = false;
        logoData.complete = true;
        return reply(code, Accepted);
    }
    if (!framedOk(report))
        return reply(code, Refused);
    const int n = report[1];
    if (n == 0 || logoData.data.size() + n > LogoLimit)
        return refuse(code, QString("logo data of %1 bytes after %2").arg(n).arg(logoData.data.size()));
    logoData.data.append(reinterpret_cast<const char *>(report + PayloadOffset), n);
    return reply(code, Accepted);
}

QByteArray SimDevice::refuse(uint8_t code, const QString &why)
{
    note(why);
    return reply(code, Refused);
}

void SimDevice::note(const QString &why)
{
    found << QString("report %1: %2").arg(reportsIn).arg(why);
    keepLatest(found);
}

bool SimDevice::framedOk(const uint8_t *report)
{
    const int n = report[1];
    if (n > MaxPayload) {
        note(QString("payload length %1").arg(n));
        return false;
    }
    const uint16_t crc = crc16(report, n + PayloadOffset);
    const uint16_t carried = uint16_t(report[CrcOffset] << 8 | report[CrcOffset + 1]);
    if (crc != carried) {
        note(QString("checksum %1, expected %2").arg(carried, 4, 16, QChar('0')).arg(crc, 4, 16, QChar('0')));
        return false;
    }
    if (!zeroBetween(report, n + PayloadOffset, CrcOffset)) {
        note("bytes between payload and checksum are not zero");
        return false;
    }
    return true;
}

void SimDevice::deliver(const QByteArray &bytes, const Injection &injection)
{
    switch (injection.fault) {
    case Stall:
        return;
    case Late:
        late = bytes;
        return;
    case Drop:
        broadcast({bytes, true});
        break;
    case Short:
        broadcast({bytes.left(injection.value)});
        break;
    case Foreign:
        broadcast({QByteArray(bytes).replace(0, 1, QByteArray(1, char(injection.value)))});
        break;
    case None:
    case Status:
        broadcast({bytes});
        break;
    }
}

void SimDevice::broadcast(const Answer &answer)
{
    for (auto &reader : readers)
        if (reader.second.size() < ReaderQueueLimit)
            reader.second.push_back(answer);
    answered.notify_all();
}

void SimDevice::dropAnswers()
{
    for (auto &reader : readers)
        reader.second.clear();
}
