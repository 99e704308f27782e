#pragma once

#include <QString>

// Diagnostics on the Qt debug output (category "default"). Structured lines carry
// the source line, the operation and the source file's base name, e.g.
//  " Warn ---Line:[  42] Fun:[dataEncode] File:[packet] input data length:0 is ill\n\n".
// The message format is appended to the prefix as it stands: the Info and Warn
// prefixes end in a blank, the Error prefix does not.
class Log
{
public:
    enum Level { Info, Warn, Error };

    static void structured(Level level, int line, const char *function, const char *sourcePath,
                           const char *format, ...) __attribute__((format(printf, 5, 6)));

    // One plain record, without any prefix (hex dumps, traced values).
    static void plain(const QString &text);

    // "/x/y/packet.cpp" -> "packet"
    static QString fileBaseName(const char *sourcePath);
};

#define LOG_INFO(...) Log::structured(Log::Info, __LINE__, __func__, __FILE__, __VA_ARGS__)
#define LOG_WARN(...) Log::structured(Log::Warn, __LINE__, __func__, __FILE__, __VA_ARGS__)
#define LOG_ERROR(...) Log::structured(Log::Error, __LINE__, __func__, __FILE__, __VA_ARGS__)
