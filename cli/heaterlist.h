#pragma once

#include <QList>
#include <QString>

class Output;

// Every heater the transport finds: the USB heaters, or with a virtual heater
// picked (unix:PATH) the ones korvane-devsim serves in that socket's folder.
class HeaterList
{
public:
    struct Heater
    {
        QString device; // what --device takes to pick it: hidraw:PATH or unix:PATH
        QString serial; // the USB serial string, where the heater has one
    };

    static QList<Heater> find();
    // The list command: each heater with its state, which takes a handshake.
    static int list(Output &output);
    // Where several heaters are there and none was picked, says on stderr
    // which one the command takes and how to pick another.
    static void noteChoice(Output &output);
};
