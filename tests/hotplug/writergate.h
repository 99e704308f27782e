#pragma once

#include <QObject>
#include <condition_variable>
#include <mutex>

class Usb;

// Holds the firmware writer thread just before its n-th report goes out, until
// released, so a test can look at the window in the middle of a transfer. The
// hold is bounded: the writer goes on by itself after ten seconds.
class WriterGate : public QObject
{
    Q_OBJECT

public:
    WriterGate(Usb *port, int nth);
    ~WriterGate() override;

    bool holding() const;
    void release();

private:
    void beforeWrite();

    mutable std::mutex mutex;
    std::condition_variable opened;
    const int holdAt;
    int writes = 0;
    bool held = false;
    bool released = false;
};
