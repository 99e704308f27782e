#pragma once

class PageHost;
class Parameter;
class Protocol;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// The form's widgets the basic parameter tab drives, by their object names.
struct BasicParameterWidgets
{
    QWidget *window = nullptr; // owns the validators
    QComboBox *comboBox_workmode = nullptr;
    QComboBox *comboBox_temp = nullptr; // the unit
    QComboBox *comboBox_type = nullptr; // the atomizer type
    QLineEdit *lineEdit_dark = nullptr; // screen timeout
    QLineEdit *lineEdit_power = nullptr;
    QLineEdit *lineEdit_overshootPower = nullptr;
    QLineEdit *lineEdit_overshootTime = nullptr;
    QLineEdit *lineEdit_temp = nullptr;
    QLineEdit *lineEdit_compensation_C = nullptr;
    QLabel *label_29 = nullptr;  // outcome of the last read or save
    QLabel *label_27 = nullptr;  // unit beside the temperature
    QLabel *label_106 = nullptr; // unit beside the compensation
    QLabel *label_21 = nullptr;  // hidden in temperature mode
};

// The basic parameter tab: work mode, screen timeout, power, preheat time and
// power, target temperature with its unit and compensation, atomizer type. The
// values travel through the Protocol object's Parameter record; each action
// runs its exchanges at once and blocks until the device has answered.
class BasicParameterPage
{
public:
    BasicParameterPage(PageHost &host, const BasicParameterWidgets &widgets) : host(host), w(widgets) {}

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
    // The validators for the current work mode and unit, made afresh.
    void installValidators();
    // The range checks; the first failure's message goes into the tab's label.
    bool check();
    // The unit beside the temperature and compensation fields: 1 ℉, otherwise ℃.
    void updateUnitLabels(int unitIndex);

private:
    // Groups of fields whose last read failed: they may hold values the heater
    // never gave, so a save waits for a read that succeeds.
    enum Reading { WorkModeRead = 1, ScreenTimeoutRead = 2, ModeSettingsRead = 4 };

    Protocol *protocol() const;
    Parameter *record() const;
    bool readInto(int code, Reading fields);
    void readTemperatureMode();
    void readPowerMode();
    void showPowerAndPreheatTime(int powerCount, int preheatTimeCount);
    void writeOrWarn(int code, const char *englishTitle, const char *chineseTitle, const char *englishText,
                     const char *chineseText);

    PageHost &host;
    BasicParameterWidgets w;
    int unread = 0; // Reading flags
};
