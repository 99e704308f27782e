#pragma once

#include <atomic>

class Protocol;

// Process-wide state shared by the device link, the framing and the window.
// Every integer that the firmware writer thread touches is atomic; the rest are
// atomic too so that no reader has to know which thread wrote them.

// Byte count of the last handshake answer: 64 normal operation, 2 upgrade state,
// -1 exchange failed, 0 after a removal.
extern std::atomic<int> linkState;
extern std::atomic<int> deviceRemoved;     // 1 once a removal left no device; never cleared
extern std::atomic<int> deviceEvent;       // last device notice: 1 arrival, 2 removal
extern std::atomic<int> returnHomePending; // next refresh after a removal returns home once
extern std::atomic<int> fileDialogOpen;    // a removal closes the firmware file dialog
extern std::atomic<int> tcModeFlag;        // 1 while the work-mode selector is on temperature mode
extern std::atomic<int> upgradeProgress;   // percent of the firmware transfer acknowledged
extern std::atomic<int> upgradeOk;         // starts at 1; 0 once a firmware transfer failed
extern std::atomic<int> upgradeStarted;    // 1 once the user started a firmware upgrade; never cleared

extern Protocol *protocolInstance; // the window's Protocol object
