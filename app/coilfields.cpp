#include "app/coilfields.h"

#include "params/paramter.h"
#include "ui_mainwindow.h"

QVector<QLineEdit *> CoilFields::tcr(const Ui::MainWindow *ui)
{
    QVector<QLineEdit *> fields;
    for (int slot = 1; slot <= Parameter::SlotCount; ++slot)
        fields << ui->tab_9->findChild<QLineEdit *>(QString("lineEdit_TCR_m%1").arg(slot));
    return fields;
}

QVector<QLineEdit *> CoilFields::tfr(const Ui::MainWindow *ui)
{
    QVector<QLineEdit *> fields;
    for (int slot = 1; slot <= Parameter::SlotCount; ++slot) {
        for (int point = 1; point <= Parameter::PointCount; ++point)
            fields << ui->tab->findChild<QLineEdit *>(QString("lineEdit_TFR_m%1%2").arg(slot).arg(point));
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
