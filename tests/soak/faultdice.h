#pragma once

#include "sim/simdevice.h"

#include <QByteArray>
#include <QRandomGenerator>

// A fault the simulated heater is told to commit on one report.
struct Fault
{
    SimDevice::Fault kind = SimDevice::None;
    int value = 0;       // the status of Status, the byte count of Short
    bool vanish = false; // the heater is unplugged when the report arrives

    // The host never gets an answer: the read fails or times out, or the write does.
    bool answerLost() const;
    // The host sees status 1, though maybe in a cut answer.
    bool accepted() const;
    // A firmware transfer hit by this fault must stop.
    bool stopsTransfer() const { return !accepted(); }
    // The link counts as closed after a firmware report hit by this fault.
    bool closesLink() const { return stopsTransfer() && !(kind == SimDevice::Status && value == 3); }
    void injectAt(SimDevice &device, int nth) const;
};

// Seeded choices of the soak: the same seed gives the same run.
class FaultDice
{
public:
    explicit FaultDice(quint32 seed) : random(seed) {}

    int below(int bound) { return int(random.bounded(bound)); }
    bool chance(int percent) { return below(100) < percent; }
    Fault fault(); // one of every kind the heater can commit, never None
    QByteArray bytes(int count);
    QByteArray image(); // mostly a few pages, now and then tens of them

private:
    QRandomGenerator random;
};
