#pragma once

// What the device monitor needs from the window that owns the link and the
// pages: the link layer knows neither the protocol above it nor widgets.
class DeviceListener
{
public:
    virtual ~DeviceListener() = default;

    // Reopens the link after an arrival.
    virtual void reopenLink() = 0;
    // Greets the heater on the link under its lock, waiting the usual bound for
    // another program to let it go: the handshake answer's byte count, -1 when
    // the heater stays another program's or the exchange failed.
    virtual int greetHeater() = 0;
    // Closes the link once the heater has gone.
    virtual void closeLink() = 0;
    // Re-reads every settings page from the device after it (re)appeared.
    virtual void readAllParameters() = 0;
    // Closes the firmware file dialog, which a removal must not leave waiting.
    virtual void closeFileDialog() = 0;
};
