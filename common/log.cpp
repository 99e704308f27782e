#include "common/log.h"

#include <QByteArray>
#include <QtDebug>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const char *prefixFormat(Log::Level level)
{
    switch (level) {
    case Log::Info:
        return " Info ---Line:[%4d] Fun:[%s] File:[%s] ";
    case Log::Warn:
        return " Warn ---Line:[%4d] Fun:[%s] File:[%s] ";
    case Log::Error:
        break;
    }
    return " Error ---Line:[%4d] Fun:[%s] File:[%s]";
}

QByteArray vformat(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0)
        return QByteArray();
    QByteArray text(length, '\0');
    std::vsnprintf(text.data(), size_t(length) + 1, format, args);
    return text;
}

} // namespace

void Log::structured(Level level, int line, const char *function, const char *sourcePath, const char *format, ...)
{
    QByteArray text = QString::asprintf(prefixFormat(level), line, function, qPrintable(fileBaseName(sourcePath)))
                          .toUtf8();
    va_list args;
    va_start(args, format);
    text += vformat(format, args);
    va_end(args);
    QMessageLogger(nullptr, 0, nullptr).debug("%s", text.constData());
}

void Log::plain(const QString &text)
{
    QMessageLogger(nullptr, 0, nullptr).debug("%s", text.toUtf8().constData());
}

QString Log::fileBaseName(const char *sourcePath)
{
    const char *slash = std::strrchr(sourcePath, '/');
    QString name = QString::fromUtf8(slash ? slash + 1 : sourcePath);
    const int dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}
