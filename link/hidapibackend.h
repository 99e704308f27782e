#pragma once

#include "link/hidbackend.h"

#include <map>
#include <mutex>

struct hid_device_;

// HID access through hidapi's hidraw implementation.
class HidapiBackend : public HidBackend
{
public:
    HidapiBackend();
    ~HidapiBackend() override;

    std::vector<HidInterface> enumerate() override;
    int open(const QString &path, HidOpenFailure *failure) override;
    int write(int id, const uint8_t *report, int length) override;
    int read(int id, uint8_t *buffer, int length, int timeoutMs) override;
    void close(int id) override;
    bool noticesFromUdev() const override { return true; }

private:
    hid_device_ *device(int id);

    std::mutex tableMutex;
    std::map<int, hid_device_ *> devices;
    int nextId = 1;
};
