#pragma once

// Exit status of korvane-cli; scripts tell the failures apart by these.
enum ExitCode {
    ExitOk = 0,
    ExitBadInput = 2,         // the command line, a value or a file
    ExitNotFound = 3,         // no heater to talk to
    ExitPermissionDenied = 4, // a heater, but this user may not open it
    ExitRefused = 5,          // the heater said no, or is in the wrong state for the command
    ExitTransferFailed = 6,   // the heater stopped answering
    ExitBusy = 7,             // another program holds the heater
};
