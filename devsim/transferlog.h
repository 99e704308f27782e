#pragma once

#include <QByteArray>
#include <cstdio>

class SimDevice;

// Tells, one line each, of every firmware image and logo the device received
// whole: "<kind> <bytes> <sha256>", after a prefix that says which heater.
class TransferLog
{
public:
    explicit TransferLog(FILE *out, const QByteArray &prefix = QByteArray());

    // Run after every report.
    void check(const SimDevice &device);

private:
    FILE *out;
    QByteArray prefix;
    bool firmwareDone = false;
    bool logoDone = false;
};
