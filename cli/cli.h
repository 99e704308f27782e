#pragma once

#include <QStringList>

class QTextStream;

// korvane-cli: one command against the heater, or against a virtual device.
class Cli
{
public:
    // words: the command line without the program name. The result is the exit status.
    static int run(const QStringList &words, QTextStream &out, QTextStream &err);
};
