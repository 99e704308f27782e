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

    // Looks for the heater and tries to open it (closing it again at once);
    // why gets one line that says what is wrong and how to fix it.
    static Problem diagnose(QString *why);
};
