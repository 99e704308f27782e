#pragma once

#include "link/heateraccess.h"

#include <QString>

class HeaterLock;

// What the window says about a heater that is there but not in use. The
// English is korvane-cli's; the Chinese says the same.
class HeaterProblemText
{
public:
    // language: 1 Chinese, otherwise English.
    static QString of(const HeaterAccess::Finding &found, int language);
    // Who holds the heater, or why it could not be held.
    static QString of(const HeaterLock &heater, int language);
};
