#pragma once

#include <QByteArray>
#include <QThread>
#include <memory>

class HeaterLock;
class Protocol;

// The firmware writer: sends one image through the Protocol object off the GUI
// thread, so the window stays responsive while the device paces the transfer.
class writefile : public QThread
{
    Q_OBJECT

public:
    explicit writefile(Protocol *protocol);
    ~writefile() override;

    // Takes the image and starts sending it, holding the heater until the
    // transfer has ended. Only while no transfer runs: the image of a running
    // one must stay as it is.
    void transfer(const QByteArray &image, std::unique_ptr<HeaterLock> heater);

protected:
    void run() override;

private:
    Protocol *protocol;
    QByteArray image; // held from hand-over until it has been sent
    std::unique_ptr<HeaterLock> hold;
};
