#include "tests/hotplug/writergate.h"

#include "link/usb.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

WriterGate::WriterGate(Usb *port, int nth) : holdAt(nth)
{
    connect(port, &Usb::writeData, this, &WriterGate::beforeWrite, Qt::DirectConnection);
}

WriterGate::~WriterGate()
{
    release();
}

bool WriterGate::holding() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return held && !released;
}

void WriterGate::release()
{
    std::lock_guard<std::mutex> lock(mutex);
    released = true;
    opened.notify_all();
}

// Runs on the thread that writes; reports of the GUI thread pass untouched.
void WriterGate::beforeWrite()
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        return;
    std::unique_lock<std::mutex> lock(mutex);
    if (++writes != holdAt)
        return;
    held = true;
    opened.wait_for(lock, std::chrono::seconds(10), [this] { return released; });
}
