#pragma once

class MainWindow;
class Parameter;
class Protocol;

namespace Ui {
class MainWindow;
}

// The basic parameter tab: work mode, screen timeout, power, preheat time and
// power, target temperature with its unit and compensation, atomizer type. The
// values travel through the Protocol object's Parameter record; each action
// runs its exchanges at once and blocks until the device has answered.
class BasicParameterPage
{
public:
    explicit BasicParameterPage(MainWindow *window) : window(window) {}

    void readWorkMode();
    void writeWorkMode();
    void readScreenTimeout();
    void writeScreenTimeout();
    // Checks the fields, then writes work mode, screen timeout and the parameters of the mode.
    void save();
    // Reads work mode, screen timeout and the parameters of the mode into the fields.
    void read();
    bool showSaveResult(bool ok);
    // The unit combo moved: show the temperature and compensation in the new unit, then save.
    void changeUnit(int index);
    // The work-mode combo moved: enable the mode's fields, write the mode, re-read every tab.
    void changeWorkMode(int index);

private:
    // Groups of fields whose last read failed: they may hold values the heater
    // never gave, so a save waits for a read that succeeds.
    enum Reading { WorkModeRead = 1, ScreenTimeoutRead = 2, ModeSettingsRead = 4 };

    Ui::MainWindow *ui() const;
    Protocol *protocol() const;
    Parameter *record() const;
    bool readInto(int code, Reading fields);
    void readTemperatureMode();
    void readPowerMode();
    void showPowerAndPreheatTime(int powerCount, int preheatTimeCount);
    void writeOrWarn(int code, const char *englishTitle, const char *chineseTitle, const char *englishText,
                     const char *chineseText);

    MainWindow *window;
    int unread = 0; // Reading flags
};
