#pragma once

class MainWindow;

// The TCR and TFR tabs: the coefficients of the five custom coil slots, one
// TCR per slot and five TFR points per slot, each kept in the Parameter record
// as a count of ten-thousandths.
class CoilTablePage
{
public:
    explicit CoilTablePage(MainWindow *window) : window(window) {}

    void readTcr();
    void saveTcr();
    void readTfr();
    void saveTfr();
    bool showTcrResult(bool ok);
    bool showTfrResult(bool ok);

private:
    MainWindow *window;
    // The last read of the table failed: its fields are not the heater's.
    bool tcrUnread = false;
    bool tfrUnread = false;
};
