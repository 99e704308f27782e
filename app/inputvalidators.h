#pragma once

#include <QVector>

class QLabel;
class QLineEdit;
class QObject;
struct BasicParameterWidgets;

// The widget side of the input rules: validators on the entry fields while the
// user types, and the range checks whose first failure goes into the page's
// message label. language: 0 English, otherwise Chinese.
class InputValidators
{
public:
    // The basic page's validators for the current work mode and unit; each run
    // makes new validators owned by owner.
    static void installBasic(const BasicParameterWidgets &basic, QObject *owner);
    // One validator shared by the five TCR fields, another by the 25 TFR fields.
    static void installCoefficients(const QVector<QLineEdit *> &tcr, const QVector<QLineEdit *> &tfr, QObject *owner);

    // workMode: the record's, which sets the preheat time's range.
    static bool checkBasic(const BasicParameterWidgets &basic, int workMode, int language);
    static bool checkTCR(const QVector<QLineEdit *> &tcr, QLabel *message, int language);
    static bool checkTFR(const QVector<QLineEdit *> &tfr, QLabel *message, int language);
};
