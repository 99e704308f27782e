#include "common/log.h"

#include <QByteArray>
#include <QtDebug>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

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

// The folder that holds the source: "/x/link/usb.cpp" -> "link".
std::string_view folderOf(const char *sourcePath)
{
    const std::string_view path(sourcePath);
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return {};
    const size_t before = path.rfind('/', slash - 1);
    const size_t start = before == std::string_view::npos ? 0 : before + 1;
    return path.substr(start, slash - start);
}

} // namespace

void Log::structured(Level level, int line, const char *function, const char *sourcePath, const char *format, ...)
{
    if (!category(sourcePath).isDebugEnabled())
        return;
    QByteArray text =
        QString::asprintf(prefixFormat(level), line, function, qPrintable(fileBaseName(sourcePath))).toUtf8();
    va_list args;
    va_start(args, format);
    text += vformat(format, args);
    va_end(args);
    QMessageLogger(nullptr, 0, nullptr).debug("%s", text.constData());
}

void Log::plain(const QString &text, const char *sourcePath)
{
    if (category(sourcePath).isDebugEnabled())
        QMessageLogger(nullptr, 0, nullptr).debug("%s", text.toUtf8().constData());
}

const QLoggingCategory &Log::category(const char *sourcePath)
{
    static const QLoggingCategory app("korvane.app"), cli("korvane.cli"), common("korvane.common"),
        devsim("korvane.devsim"), link("korvane.link"), params("korvane.params"), protocol("korvane.protocol"),
        sim("korvane.sim"), other("korvane.other");
    static const std::pair<const char *, const QLoggingCategory *> byFolder[] = {
        {"app", &app},   {"cli", &cli},       {"common", &common},     {"devsim", &devsim},
        {"link", &link}, {"params", &params}, {"protocol", &protocol}, {"sim", &sim}};
    const std::string_view folder = folderOf(sourcePath);
    for (const auto &[name, named] : byFolder)
        if (folder == name)
            return *named;
    return other;
}

QString Log::fileBaseName(const char *sourcePath)
{
    const char *slash = std::strrchr(sourcePath, '/');
    QString name = QString::fromUtf8(slash ? slash + 1 : sourcePath);
    const int dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}
