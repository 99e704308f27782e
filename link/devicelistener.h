#pragma once

class Usb;

// What the device monitor needs from the window that owns the link and the
// pages: the link layer knows neither the protocol above it nor widgets.
class DeviceListener
{
public:
    virtual ~DeviceListener() = default;

    // Reopens the link after an arrival; the port it is on, or null when there
    // is no link to reopen.
    virtual const Usb *reopenLink() = 0;
    // Repeats the handshake on the reopened link: the answer's byte count, -1
    // when the exchange failed.
    virtual int repeatHandshake() = 0;
    // Closes the link once the heater has gone.
    virtual void closeLink() = 0;
    // Re-reads every settings page from the device after it (re)appeared.
    virtual void readAllParameters() = 0;
    // Closes the firmware file dialog, which a removal must not leave waiting.
    virtual void closeFileDialog() = 0;
};
