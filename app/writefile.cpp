#include "app/writefile.h"

#include "common/log.h"
#include "link/heaterlock.h"
#include "protocol/protocol.h"

#include <cstdint>

writefile::writefile(Protocol *protocol) : protocol(protocol) {}

writefile::~writefile() = default;

void writefile::transfer(const QByteArray &image, std::unique_ptr<HeaterLock> heater)
{
    this->image = image;
    hold = std::move(heater);
    start();
}

void writefile::run()
{
    protocol->sendFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    image.clear();
    hold.reset();
    LOG_TRACE() << "upgrade end";
}
