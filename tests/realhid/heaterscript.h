#pragma once

#include "sim/simdevice.h"

#include <QByteArray>

// The heater's side of the dialogue on an emulated hidraw node, as an umockdev
// script: each report the program must write (umockdev fails the program at
// the first byte that differs), followed by the simulated heater's answer.
// Faults injected into the heater shape the answers: a stall leaves the
// report unanswered, a status fault refuses it.
class HeaterScript
{
public:
    // Each answer is held back this long after its report, 0 for at once.
    explicit HeaterScript(int answerDelayMs = 0) : reader(device.openReader()), delayMs(answerDelayMs) {}

    SimDevice &heater() { return device; }
    void expect(const QByteArray &wire); // one report as written, report ID 0 first
    QByteArray text() const { return lines; }
    // A request for setting `code` (0x72 the handshake) as the protocol frames it, report ID first.
    static QByteArray request(int code);

private:
    SimDevice device;
    const int reader;
    const int delayMs;
    QByteArray lines;
};
