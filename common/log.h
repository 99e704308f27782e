#pragma once

#include <QDebug>
#include <QLoggingCategory>
#include <QString>

// Diagnostics on the Qt debug output (category "default"). Structured lines carry
// the source line, the operation and the source file's base name, e.g.
//  " Warn ---Line:[  42] Fun:[dataEncode] File:[packet] input data length:0 is ill\n\n".
// The message format is appended to the prefix as it stands: the Info and Warn
// prefixes end in a blank, the Error prefix does not.
//
// Every line also answers to a category named after the folder of the source
// that writes it: korvane.app, korvane.cli, korvane.common, korvane.devsim,
// korvane.link, korvane.params, korvane.protocol, korvane.sim (korvane.other for
// any other folder). The lines keep "default" as their own category, which
// message handlers rely on; the folder's category only decides whether they are
// written, so QT_LOGGING_RULES="korvane.link.debug=false" silences the
// transport's lines alone.
class Log
{
public:
    enum Level { Info, Warn, Error };

    static void structured(Level level, int line, const char *function, const char *sourcePath, const char *format, ...)
        __attribute__((format(printf, 5, 6)));

    // One plain record, without any prefix (hex dumps, traced values). The
    // caller's file, filled in by the compiler, chooses the category.
    static void plain(const QString &text, const char *sourcePath = __builtin_FILE());

    // The category whose debug level decides whether lines from sourcePath are written.
    static const QLoggingCategory &category(const char *sourcePath);

    // "/x/y/packet.cpp" -> "packet"
    static QString fileBaseName(const char *sourcePath);
};

#define LOG_INFO(...) Log::structured(Log::Info, __LINE__, __func__, __FILE__, __VA_ARGS__)
#define LOG_WARN(...) Log::structured(Log::Warn, __LINE__, __func__, __FILE__, __VA_ARGS__)
#define LOG_ERROR(...) Log::structured(Log::Error, __LINE__, __func__, __FILE__, __VA_ARGS__)
// qDebug() under the source folder's category: LOG_TRACE() << "usb open" << open;
// as with qCDebug, the values are not even formatted while the category is off.
#define LOG_TRACE()                                                                                                    \
    for (bool korvaneTraceOn = Log::category(__FILE__).isDebugEnabled(); korvaneTraceOn; korvaneTraceOn = false)       \
    QMessageLogger(QT_MESSAGELOG_FILE, QT_MESSAGELOG_LINE, QT_MESSAGELOG_FUNC).debug()
