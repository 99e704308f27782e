#pragma once

#include <QByteArray>
#include <QThread>

class Protocol;

// The firmware writer: sends one image through the Protocol object off the GUI
// thread, so the window stays responsive while the device paces the transfer.
class writefile : public QThread
{
    Q_OBJECT

public:
    explicit writefile(Protocol *protocol);

    // Takes the image and starts sending it. Only while no transfer runs: the
    // image of a running one must stay as it is.
    void transfer(const QByteArray &image);

protected:
    void run() override;

private:
    Protocol *protocol;
    QByteArray image; // held from hand-over until it has been sent
};
