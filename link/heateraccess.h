#pragma once

#include <QString>

// Why the heater cannot be opened, in words that say what to do about it. The
// window shows them on its home page and korvane-cli prints them, so both tell
// the user the same.
class HeaterAccess
{
public:
    enum Problem {
        Missing,          // no heater on the bus (or no virtual one at the socket)
        PermissionDenied, // a heater, but this user may not open it
        Unopenable,       // a heater that would not open for another reason
    };

    // What a look for the heater found, with the facts its sentence is made
    // of, so that the window can say it in Chinese as well.
    struct Finding
    {
        Problem problem = Missing;
        QString path;        // the heater's node, or the virtual heater's socket
        bool socket = false; // a virtual heater: the socket's mode and owner decide who may open it
        QString mode;        // the socket's permission bits, such as "0600"
        QString owner;       // the socket's owner
        QString why;         // in English, as korvane-cli prints it
    };

    // Looks for the heater and tries to open it (closing it again at once).
    static Finding find();
};
