#include "app/coilfields.h"

#include "params/paramter.h"

#include <QLineEdit>

QVector<QLineEdit *> CoilFields::tcr(const QWidget *holder)
{
    QVector<QLineEdit *> fields;
    for (int slot = 1; slot <= Parameter::SlotCount; ++slot)
        fields << holder->findChild<QLineEdit *>(QString("lineEdit_TCR_m%1").arg(slot));
    return fields;
}

QVector<QLineEdit *> CoilFields::tfr(const QWidget *holder)
{
    QVector<QLineEdit *> fields;
    for (int slot = 1; slot <= Parameter::SlotCount; ++slot) {
        for (int point = 1; point <= Parameter::PointCount; ++point)
            fields << holder->findChild<QLineEdit *>(QString("lineEdit_TFR_m%1%2").arg(slot).arg(point));
    }
    return fields;
}

QStringList CoilFields::texts(const QVector<QLineEdit *> &fields)
{
    QStringList result;
    for (const QLineEdit *field : fields)
        result << field->text();
    return result;
}
