#pragma once

// What the device monitor needs from the window that owns the pages: the core
// knows no widgets.
class DeviceListener
{
public:
    virtual ~DeviceListener() = default;

    // Re-reads every settings page from the device after it (re)appeared.
    virtual void readAllParameters() = 0;
    // Closes the firmware file dialog, which a removal must not leave waiting.
    virtual void closeFileDialog() = 0;
};
