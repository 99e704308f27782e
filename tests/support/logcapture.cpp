#include "tests/support/logcapture.h"

#include <QMutex>
#include <QMutexLocker>
#include <QtGlobal>

namespace {
QMutex mutex;
QStringList captured;
QtMessageHandler previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && qstrcmp(context.category, "default") == 0) {
        QMutexLocker lock(&mutex);
        captured << message;
    }
    // Warnings from Qt itself still reach the console.
    if (type != QtDebugMsg && previous)
        previous(type, context, message);
}
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&mutex);
    captured.clear();
    previous = qInstallMessageHandler(collect);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous);
}

QStringList LogCapture::messages() const
{
    QMutexLocker lock(&mutex);
    return captured;
}

bool LogCapture::containsPart(const QString &fragment) const
{
    QMutexLocker lock(&mutex);
    for (const QString &message : captured)
        if (message.contains(fragment))
            return true;
    return false;
}
