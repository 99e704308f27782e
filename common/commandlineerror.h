#pragma once

#include <QString>

// How the three programs answer a command line they cannot use: on stderr, the
// program's name with what is wrong and a pointer to --help, and exit status 2.
class CommandLineError
{
public:
    static constexpr int ExitStatus = 2;
    static QString text(const QString &program, const QString &problem);
};
