#pragma once

#include <cstdint>

class Parameter;
class Usb;

// The program's one connection to the device: every request/answer exchange.
class Protocol
{
public:
    Protocol();
    ~Protocol();
    Protocol(const Protocol &) = delete;
    Protocol &operator=(const Protocol &) = delete;

    int close();
    int reopen();
    int isOpen() const;
    int writeParam(int code);
    int readParam(int code);
    int handshake();
    int sendFile(const uint8_t *image, int length);
    int sendLogo(const char *text, int length);

    Usb *port() const { return usb; }
    Parameter *parameter() const { return record; }

private:
    Usb *usb = nullptr;
    Parameter *record = nullptr;
    int handle = -1;
};
