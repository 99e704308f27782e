#pragma once

class SimDevice;
class Stream;

// Plays every 64-byte report of a built transfer to the simulated device the
// way the transport sends it (report ID 0 in front) and reads each answer.
// True when the transfer is whole reports and the device accepted every one.
bool replayToDevice(SimDevice &device, const Stream &reports);
