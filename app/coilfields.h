#pragma once

#include <QStringList>
#include <QVector>

class QLineEdit;
class QWidget;

// The entry fields of the five custom coil slots, found by their names under
// the widget that holds them (their tab, or the window).
class CoilFields
{
public:
    static QVector<QLineEdit *> tcr(const QWidget *holder); // lineEdit_TCR_m1 .. m5
    // lineEdit_TFR_m11 .. m55 row by row: the first digit is the slot, the second the point.
    static QVector<QLineEdit *> tfr(const QWidget *holder);
    static QStringList texts(const QVector<QLineEdit *> &fields);
};
