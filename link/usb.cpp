#include "link/usb.h"

#include "common/log.h"
#include "link/usboption.h"

#include <QtGlobal>
#include <cstring>

namespace {
// Built during static initialisation, so it exists before main and before any
// device notice can arrive.
Usb programWidePort;
} // namespace

Usb &programUsb()
{
    return programWidePort;
}

Usb::Usb(QObject *parent) : QObject(parent), registration(new UsbOps)
{
    registration->open = usb_open;
    registration->close = usb_close;
    registration->read = usb_read;
    registration->write = usb_write;
}

Usb::~Usb()
{
    delete registration;
}

int Usb::open(const char *name)
{
    if (!registration || !registration->open)
        return -1;
    registration->handle = registration->open(name);
    return registration->handle;
}

int Usb::close()
{
    if (!registration || !registration->close)
        return 0;
    registration->close(registration->handle);
    registration->handle = -1;
    return 0;
}

int Usb::write(const char *data, int length)
{
    if (!usable("write"))
        return -1;
    if (!registration->write) {
        LOG_WARN("usb write function is null\n\n");
        return -1;
    }
    emit writeData(QByteArray(data, qMax(length, 0)));
    const int result = registration->write(registration->handle, data, length);
    if (result < 0)
        dropHandle();
    return result;
}

int Usb::read(char *buffer, int length)
{
    if (!usable("read"))
        return -1;
    if (length > 0)
        std::memset(buffer, 0, size_t(length));
    if (!registration->read) {
        LOG_WARN("usb read function is null\n\n");
        return -1;
    }
    const int result = registration->read(registration->handle, buffer, length);
    emit readData(QByteArray(buffer, qBound(0, result, qMax(length, 0))));
    if (result < 0)
        dropHandle();
    return result;
}

// The checks before every transfer, logged under the transfer's name.
bool Usb::usable(const char *operation) const
{
    const char *problem = !registration              ? "usb no regester\n\n"
                          : registration->handle < 0 ? "usb no open\n\n"
                                                     : nullptr;
    if (problem)
        Log::structured(Log::Warn, __LINE__, operation, __FILE__, "%s", problem);
    return !problem;
}

void Usb::dropHandle()
{
    if (registration->close)
        registration->close(registration->handle);
    registration->handle = -1;
}
