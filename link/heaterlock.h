#pragma once

#include <QString>

class Usb;

// Holds one heater for this process against every other program on it, for as
// long as it lives: an advisory lock on a file named after the device node (or
// the virtual device's socket) in the user's runtime directory. The kernel hands
// each answer to every program that has the heater open, so two programs that
// exchange at once take each other's answers. Nested holds in one process, on
// any thread, share the lock. The lock dies with the process.
class HeaterLock
{
public:
    // Waits at most waitMs for the heater at devicePath. An empty path (no
    // heater open) holds nothing and counts as held: there is nothing to guard.
    explicit HeaterLock(const QString &devicePath, int waitMs = defaultWaitMs());
    // The heater the port has open, when other programs can reach it.
    explicit HeaterLock(const Usb &port, int waitMs = defaultWaitMs());
    ~HeaterLock();
    HeaterLock(const HeaterLock &) = delete;
    HeaterLock &operator=(const HeaterLock &) = delete;

    bool held() const { return holding; }
    // When not held: "the heater is busy: korvane-cli, pid 4242", or why the
    // lock could not be taken.
    QString problem() const { return why; }
    // When another program holds it: "korvane-cli, pid 4242"; else empty.
    QString holder() const { return owner; }

    // KORVANE_LOCK_WAIT_MS, else a few seconds; never more than a minute.
    static int defaultWaitMs();
    // The file whose lock stands for the heater at devicePath; empty, with the
    // reason in why, when there is no private directory to keep it in.
    static QString lockFile(const QString &devicePath, QString *why = nullptr);

private:
    QString path;
    bool holding = false;
    QString why;
    QString owner;
};
