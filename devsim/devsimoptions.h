#pragma once

#include "sim/simdevice.h"

#include <QList>
#include <QString>
#include <QStringList>

// What korvane-devsim is told on its command line.
struct DevsimOptions
{
    struct Injection
    {
        int nth = 0; // 1 is the first report the device receives
        SimDevice::Fault fault = SimDevice::None;
        int value = 0;
        int heater = 1; // which of the heaters misbehaves
    };

    static constexpr int MaxCount = 16;

    QString socketPath; // the first heater's; the others' are numbered after it
    int count = 1;
    bool upgrade = false;
    QString stateFile;
    QList<Injection> injections;
    int vanishAfter = -1; // reports answered before the device goes away; -1 never

    // The file of heater n (from 1): the first heater's path itself, the
    // others' with -n before the suffix (devsim.sock, devsim-2.sock, ...).
    static QString numbered(const QString &path, int n);

    // Empty when the arguments (program name first) are usable, else why not.
    // --help and --version print their text and end the process.
    static QString parse(const QStringList &arguments, DevsimOptions *options);
};
