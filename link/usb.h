#pragma once

#include <QByteArray>
#include <QObject>

// The registered transport of a Usb port.
struct UsbOps
{
    int handle = -1; // negative while the port is not open
    int (*open)(const char *name) = nullptr;
    int (*close)(int handle) = nullptr;
    int (*read)(int handle, void *buffer, int length) = nullptr;
    int (*write)(int handle, const void *data, int length) = nullptr;
};

// The port every exchange with the device passes through. It forwards each
// transfer to the registered functions, closes itself when one fails and
// announces every block going out and coming in.
class Usb : public QObject
{
    Q_OBJECT

public:
    explicit Usb(QObject *parent = nullptr);
    ~Usb() override;

    int open(const char *name);
    int close();
    int write(const char *data, int length);
    int read(char *buffer, int length);

    UsbOps *ops() const { return registration; }

signals:
    void writeData(QByteArray data);
    void readData(QByteArray data);

private:
    bool usable(const char *operation) const;
    void dropHandle(); // after a failed transfer

    UsbOps *registration = nullptr;
};

// The program-wide port: never opened itself; the device monitor calls its
// registered open and close to test whether the device is present.
Usb &programUsb();
