#pragma once

#include "sim/simdevice.h"

#include <QByteArray>
#include <QList>

// The heater's side of the dialogue on an emulated hidraw node, as an umockdev
// script: each report the program must write (report ID 0 first; umockdev
// fails the program at the first byte that differs), followed by the heater's
// answer. The simulated heater gives the answers, so they are what the
// firmware sends, and faults injected into it shape them: a stall leaves the
// report unanswered, a status fault refuses it.
class HeaterScript
{
public:
    // Each answer is held back this long after its report, 0 for at once.
    explicit HeaterScript(int answerDelayMs = 0);

    SimDevice &heater() { return device; }
    void expect(const QByteArray &report);
    void expect(const QList<QByteArray> &reports);
    int expected() const { return reports; }
    QByteArray text() const { return lines; }

    // The reports as the protocol frames them.
    static QByteArray handshake();
    static QByteArray readRequest(int code);
    static QByteArray write(int code, const QByteArray &payload);
    static QList<QByteArray> firmware(const QByteArray &image);
    static QList<QByteArray> logo(const QByteArray &text);

private:
    SimDevice device;
    const int reader;
    QByteArray lines;
    int reports = 0;
    int delayMs;
};
