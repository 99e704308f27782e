#pragma once

#include "tests/app/windowfixture.h"
#include "tests/support/modalwatcher.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVector>

class QLineEdit;

// The window over a simulated heater (or none), with every message box it
// opens dismissed and recorded, and a view of what reached the device.
class PageFixture
{
public:
    explicit PageFixture(const char *languageFile = "0", bool withDevice = true);

    Ui::MainWindow *ui() const { return window.ui(); }
    MainWindow *win() const { return window.window(); }
    SimDevice *device() const { return window.device.get(); }

    // Remembers how many reports the device has had so far.
    void mark();
    // The command bytes of the reports since mark().
    QList<int> codesSinceMark() const;
    // The payload bytes of the n-th report since mark() (0 first), as the length byte gives them.
    QByteArray payloadSinceMark(int n) const;

    // The device goes to temperature mode holding this code 3 payload; the Read button brings it in.
    void readTemperatureMode(const QByteArray &setting3Hex);

    static void setTexts(const QVector<QLineEdit *> &fields, const QStringList &texts);

    WindowFixture window;
    ModalWatcher boxes;

private:
    int marked = 0;
};
