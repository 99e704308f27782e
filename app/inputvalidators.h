#pragma once

class QObject;

namespace Ui {
class MainWindow;
}

// The widget side of the input rules: validators on the entry fields while the
// user types, and the range checks whose first failure goes into the page's
// message label. language: 0 English, otherwise Chinese.
class InputValidators
{
public:
    // The basic page's validators for the current work mode and unit; each run
    // makes new validators owned by owner.
    static void installBasic(Ui::MainWindow *ui, QObject *owner);
    // One validator shared by the five TCR fields, another by the 25 TFR fields.
    static void installCoefficients(Ui::MainWindow *ui, QObject *owner);

    // workMode: the record's, which sets the preheat time's range.
    static bool checkBasic(Ui::MainWindow *ui, int workMode, int language);
    static bool checkTCR(Ui::MainWindow *ui, int language);
    static bool checkTFR(Ui::MainWindow *ui, int language);
};
