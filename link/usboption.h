#pragma once

#include <QString>

// The HID transport: finds the heater among the HID interfaces and moves one
// 64-byte block per call. Handles are above 0; -1 is never a device.

int usb_open(const char *name);
int usb_close(int handle);
int usb_read(int handle, void *buffer, int length);
int usb_write(int handle, const void *data, int length);

// The node (or socket) that usb_open opened as this handle, when other programs
// can open it too; empty otherwise.
QString usb_shared_path(int handle);
