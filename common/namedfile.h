#pragma once

#include <QtGlobal>

class QByteArray;
class QString;

// A file the user named (on the command line or in a file dialog): a firmware
// image, a logo text or a profile to read, or a profile to write. What is read
// must be a regular file of a size its format allows, so that a FIFO cannot
// block, a device cannot stream forever and nothing is taken half-read; what is
// written must not replace anything but a regular file.
class NamedFile
{
public:
    enum Status { Read, Empty, TooLarge, NotRegular, Unreadable };

    // Largest limit read takes: a buffer far below what a byte array can hold.
    static constexpr qint64 LargestLimit = qint64(1) << 30;

    // Reads the whole file when it is a regular file of 1..largest bytes. problem,
    // when given, gets one line that says why not.
    static Status read(const QString &path, qint64 largest, QByteArray *content, QString *problem = nullptr);
    // Empty when path names nothing yet, or a regular file itself and not through
    // a symbolic link; else one line that says why it must not be replaced.
    static QString replaceProblem(const QString &path);
};
