#pragma once

#include <QVector>

class PageHost;
class QLabel;
class QLineEdit;
class QObject;

// The form's widgets the TCR and TFR tabs drive.
struct CoilTableWidgets
{
    QVector<QLineEdit *> tcr; // lineEdit_TCR_m1 .. m5
    QVector<QLineEdit *> tfr; // lineEdit_TFR_m11 .. m55, slot by slot
    QLabel *label_TCR_msg = nullptr;
    QLabel *label_TFR_msg = nullptr;
};

// The TCR and TFR tabs: the coefficients of the five custom coil slots, one
// TCR per slot and five TFR points per slot, each kept in the Parameter record
// as a count of ten-thousandths.
class CoilTablePage
{
public:
    CoilTablePage(PageHost &host, const CoilTableWidgets &widgets) : host(host), w(widgets) {}

    void readTcr();
    void saveTcr();
    void readTfr();
    void saveTfr();
    bool showTcrResult(bool ok);
    bool showTfrResult(bool ok);
    // The range checks; a failure's message goes into the tab's label.
    bool checkTcr();
    bool checkTfr();
    // One validator shared by the five TCR fields, another by the 25 TFR fields, owned by owner.
    void installValidators(QObject *owner);

private:
    PageHost &host;
    CoilTableWidgets w;
    // The last read of the table failed: its fields are not the heater's.
    bool tcrUnread = false;
    bool tfrUnread = false;
};
