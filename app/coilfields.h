#pragma once

#include <QStringList>
#include <QVector>

class QLineEdit;

namespace Ui {
class MainWindow;
}

// The entry fields of the five custom coil slots, found by their names.
class CoilFields
{
public:
    static QVector<QLineEdit *> tcr(const Ui::MainWindow *ui); // lineEdit_TCR_m1 .. m5
    // lineEdit_TFR_m11 .. m55 row by row: the first digit is the slot, the second the point.
    static QVector<QLineEdit *> tfr(const Ui::MainWindow *ui);
    static QStringList texts(const QVector<QLineEdit *> &fields);
};
