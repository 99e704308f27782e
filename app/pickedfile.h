#pragma once

#include <QtGlobal>

class MainWindow;
class QByteArray;
class QString;

// A file the user picked for sending, read whole into memory first.
class PickedFile
{
public:
    enum Status { Read, Empty, TooLarge, Unreadable };

    // Reads the file unless it is empty or holds more than largest bytes.
    static Status read(const QString &path, qint64 largest, QByteArray *content);
    // The "Warn" box of the pages that send files.
    static void warn(const MainWindow *window, const QString &text);
    // Tells the user that the file could not be opened or read in full.
    static void showUnreadable(const MainWindow *window, const QString &path);
};
