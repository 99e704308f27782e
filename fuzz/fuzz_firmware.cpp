// Random firmware images framed by packetFile and played to the simulated
// device, which checks every report's checksum, zero fill and page cut: the
// image it reassembles must be the one framed, byte for byte.
#include "fuzz/devicereplay.h"
#include "fuzz/fuzzcheck.h"
#include "protocol/packet.h"
#include "protocol/stream.h"
#include "sim/simdevice.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Exactly the image's bytes, so a read past it is caught.
    const auto image = std::make_unique<uint8_t[]>(size);
    std::copy(data, data + size, image.get());

    Packet packet;
    const int built = packet.packetFile(image.get(), int(size));
    if (size == 0) {
        FUZZ_CHECK(built == -1);
        return 0;
    }
    FUZZ_CHECK(built == 0);

    SimDevice device;
    device.setUpgradeState(true);
    FUZZ_CHECK(replayToDevice(device, *packet.output()));
    FUZZ_CHECK(device.problems().isEmpty());
    FUZZ_CHECK(device.firmwareComplete());
    FUZZ_CHECK(device.firmware() == QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
