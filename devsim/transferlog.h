#pragma once

#include <cstdio>

class SimDevice;

// Tells, one line each, of every firmware image and logo the device received
// whole: "<kind> <bytes> <sha256>".
class TransferLog
{
public:
    explicit TransferLog(FILE *out);

    // Run after every report.
    void check(const SimDevice &device);

private:
    FILE *out;
    bool firmwareDone = false;
    bool logoDone = false;
};
