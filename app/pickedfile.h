#pragma once

#include "common/namedfile.h"

class PageHost;
class QByteArray;
class QString;

// A file the user picked for sending, read whole into memory first.
class PickedFile
{
public:
    // Reads the file as NamedFile does. A file that is not a regular one, too
    // large for its page or unreadable gets its box here; an empty one is left
    // to the page, whose box names the size it wants.
    static NamedFile::Status read(const PageHost &host, const QString &path, qint64 largest, QByteArray *content);
    // The "Warn" box of the pages that send files.
    static void warn(const PageHost &host, const QString &text);
};
