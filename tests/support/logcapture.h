#pragma once

#include <QStringList>

// Collects every debug message while it lives, so tests can check the exact
// lines the program prints. Only one may exist at a time.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList messages() const;
    bool containsPart(const QString &fragment) const; // a message containing the fragment
};
