#include "link/hidbackend.h"

#include "link/hidapibackend.h"
#include "link/hidnotifier.h"

#include <atomic>

namespace {
std::atomic<HidBackend *> replacement{nullptr};
}

HidBackend::HidBackend() : notices(std::make_unique<HidNotifier>()) {}

HidBackend::~HidBackend() = default;

HidBackend *HidBackend::current()
{
    if (HidBackend *backend = replacement.load())
        return backend;
    static HidapiBackend hidraw;
    return &hidraw;
}

void HidBackend::setCurrent(HidBackend *backend)
{
    replacement.store(backend);
}
