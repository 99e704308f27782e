#pragma once

#include <QtGlobal>

class Output;
class QByteArray;
class Session;
class QString;
struct Arguments;

// firmware and logo: the two file transfers.
class TransferCommands
{
public:
    TransferCommands(const Arguments &arguments, Output &output);

    int run();

private:
    int firmware(const QString &path);
    int logo(const QString &path);
    int load(const QString &path, qint64 largest, QByteArray *data);
    int open(Session &session, int wanted);

    const Arguments &arguments;
    Output &output;
};
