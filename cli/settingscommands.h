#pragma once

class Assignments;
class Output;
class Session;
class QString;
struct Arguments;

// read, write, export and import: the parameter pages from a terminal.
class SettingsCommands
{
public:
    SettingsCommands(const Arguments &arguments, Output &output);

    int run();

private:
    int read();
    int write();
    int exportTo(const QString &path);
    int importFrom(const QString &path);
    int readDevice(Session &session);
    int apply(const Assignments &assignments);

    const Arguments &arguments;
    Output &output;
};
