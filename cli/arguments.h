#pragma once

#include <QString>
#include <QStringList>

// The command line of korvane-cli: options first, then the command and its operands.
struct Arguments
{
    QString device; // unix:PATH, hidraw:PATH or serial:TEXT; empty takes the first heater
    bool json = false;
    bool trace = false;
    bool force = false; // export may replace a file that exists
    bool all = false;   // firmware goes to every heater in its upgrade state
    int timeoutMs = 0;  // 0 keeps the link's own bound on waiting for an answer
    bool help = false;
    bool version = false;
    QString command;
    QStringList operands;

    // Empty when the words (the program name left out) form a usable command
    // line, else what is wrong with them.
    static QString parse(const QStringList &words, Arguments *arguments);
    static QString usage();
};
