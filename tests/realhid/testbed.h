#pragma once

#include <QString>
#include <QTemporaryDir>

class HeaterScript;
struct HidrawNode;
typedef struct _UMockdevTestbed UMockdevTestbed;

// An umockdev testbed in this process, which runs under umockdev-wrapper: the
// sysfs, /dev and udev events that hidapi and libudev see. Nodes come and go
// as a cable brings and takes them, each announced to udev monitors.
class Testbed
{
public:
    Testbed();
    ~Testbed();
    Testbed(const Testbed &) = delete;
    Testbed &operator=(const Testbed &) = delete;

    // True when the preload library is in place, so the testbed is what the process sees.
    static bool active();

    // A node that answers as the script says; another vendor's needs none. A
    // node number may be plugged once per testbed. False with the reason in error().
    bool plug(const HidrawNode &node, const HeaterScript *script = nullptr);
    void unplug(const HidrawNode &node);
    QString error() const { return problem; }

private:
    UMockdevTestbed *bed;
    QTemporaryDir files;
    QString problem;
};
