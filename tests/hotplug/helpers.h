#pragma once

#include <QList>

class QByteArray;
class QString;
class SimDevice;

// A file in the test's working folder, written whole; its absolute path.
QString writeFile(const QString &name, const QByteArray &content);

// The command bytes of the reports the device received, from the n-th on (0 first).
QList<int> reportCodes(const SimDevice &device, int first);
