#pragma once

#include <QByteArray>
#include <QString>

class SimDevice;

// The device's settings kept in a file between runs: the payload each read
// command answers with, as hex, in a JSON object keyed by command code.
class StateFile
{
public:
    explicit StateFile(const QString &path);

    // A missing file leaves the device as it is. Empty when loaded, else why not.
    QString load(SimDevice &device);
    // Writes the file when the device's settings differ from what it holds.
    void saveIfChanged(const SimDevice &device);

private:
    QString path;
    QByteArray saved;
};
