#include "sim/simbus.h"

#include "link/hidnotifier.h"

#include <algorithm>

SimBus::SimBus()
{
    HidBackend::setCurrent(this);
}

SimBus::~SimBus()
{
    if (HidBackend::current() == this)
        HidBackend::setCurrent(nullptr);
    for (const Slot &slot : present)
        if (slot.device)
            slot.device->onVanish(nullptr);
}

void SimBus::attach(const QString &path, const std::shared_ptr<SimDevice> &device, uint16_t vendorId,
                    uint16_t productId)
{
    device->plug(true);
    device->onVanish([this, path] { detach(path); });
    add({{path, vendorId, productId, {}}, device, HidOpenFailure::None});
}

void SimBus::attachUnopenable(const QString &path, HidOpenFailure why, uint16_t vendorId, uint16_t productId)
{
    add({{path, vendorId, productId, {}}, nullptr, why});
}

void SimBus::add(const Slot &slot)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        present.push_back(slot);
    }
    notifier()->announceArrival(slot.info.path);
}

void SimBus::detach(const QString &path)
{
    std::shared_ptr<SimDevice> device;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto slot = slotAt(path);
        if (slot == present.end())
            return;
        device = slot->device;
        present.erase(slot);
        for (auto &entry : opened)
            if (entry.second.path == path)
                entry.second.unplugged = true;
    }
    if (device) {
        device->onVanish(nullptr);
        device->plug(false);
    }
    notifier()->announceRemoval(path);
}

QStringList SimBus::openAttempts() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return attempts;
}

int SimBus::openCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return int(opened.size());
}

std::vector<HidInterface> SimBus::enumerate()
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HidInterface> listed;
    for (const Slot &slot : present)
        listed.push_back(slot.info);
    return listed;
}

int SimBus::open(const QString &path, HidOpenFailure *failure)
{
    std::lock_guard<std::mutex> lock(mutex);
    attempts << path;
    const auto slot = slotAt(path);
    if (slot == present.end() || !slot->device) {
        *failure = slot == present.end() ? HidOpenFailure::Other : slot->refusal;
        return -1;
    }
    const int id = nextId++;
    opened[id] = {path, slot->device, slot->device->openReader()};
    *failure = HidOpenFailure::None;
    return id;
}

int SimBus::write(int id, const uint8_t *report, int length)
{
    const std::shared_ptr<SimDevice> device = deviceOf(id);
    return device ? device->receive(report, length) : -1;
}

int SimBus::read(int id, uint8_t *buffer, int length, int timeoutMs)
{
    int reader = 0;
    const std::shared_ptr<SimDevice> device = deviceOf(id, &reader);
    return device ? device->answer(reader, buffer, length, timeoutMs) : -1;
}

void SimBus::close(int id)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto entry = opened.find(id);
    if (entry == opened.end())
        return;
    entry->second.device->closeReader(entry->second.reader);
    opened.erase(entry);
}

std::vector<SimBus::Slot>::iterator SimBus::slotAt(const QString &path)
{
    return std::find_if(present.begin(), present.end(), [&path](const Slot &slot) { return slot.info.path == path; });
}

std::shared_ptr<SimDevice> SimBus::deviceOf(int id, int *reader) const
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto entry = opened.find(id);
    if (entry == opened.end() || entry->second.unplugged)
        return nullptr;
    if (reader)
        *reader = entry->second.reader;
    return entry->second.device;
}
