#pragma once

#include <QByteArray>

// The heater's settings as it keeps them: for each command 1..6 the payload it
// answers a read with.
class SimSettings
{
public:
    SimSettings();

    // Applies a write payload; false when its length does not fit the command.
    bool write(int code, const QByteArray &payload);
    // The payload of the answer to read command 0x80 + code; empty for other codes.
    QByteArray read(int code) const;
    // Replaces the stored answer payload of a command.
    void set(int code, const QByteArray &payload);
    int workMode() const;

private:
    static constexpr int Codes = 6;
    QByteArray stored[Codes + 1];
};
