#pragma once

#include <QByteArray>

class Output;

// firmware --all: every heater in its upgrade state takes the image at once,
// each in a worker thread of its own that holds that heater alone; a failure
// in one leaves the others going.
class FirmwareAll
{
public:
    // ExitOk only when every heater in its upgrade state took the image.
    static int run(const QByteArray &image, Output &output);
};
