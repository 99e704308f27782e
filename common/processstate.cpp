#include "common/processstate.h"

std::atomic<int> linkState{0};
std::atomic<int> deviceRemoved{0};
std::atomic<int> deviceEvent{0};
std::atomic<int> returnHomePending{0};
std::atomic<int> fileDialogOpen{0};
std::atomic<int> tcModeFlag{0};
std::atomic<int> upgradeProgress{0};
std::atomic<int> upgradeOk{1};
std::atomic<int> upgradeStarted{0};

Protocol *protocolInstance = nullptr;
