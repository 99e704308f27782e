#include "app/coiltablepage.h"

#include "app/coilfields.h"
#include "app/mainwindow.h"
#include "link/heaterlock.h"
#include "params/paramter.h"
#include "params/units.h"
#include "protocol/protocol.h"
#include "ui_mainwindow.h"

namespace {

constexpr int WriteTcr = Parameter::TcrCommand;
constexpr int WriteTfr = Parameter::TfrCommand;
constexpr int ReadTcr = Parameter::ReadRequest + WriteTcr;
constexpr int ReadTfr = Parameter::ReadRequest + WriteTfr;
constexpr int Accepted = 1;

using Fields = QVector<QLineEdit *>;

// Reads the table with the code and shows the counts the answer left in the record.
template <typename Table>
void readTable(MainWindow *window, int code, const Table &(Parameter::*table)() const, const Fields &fields)
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater))
        return;
    window->protocol()->readParam(code);
    const Table &counts = (window->protocol()->parameter()->*table)();
    for (std::size_t i = 0; i < counts.size(); ++i)
        fields[int(i)]->setText(Units::coefficientText(counts[i]));
}

// Checks the fields, then sends all their counts at once. Unlike the basic
// tab's, a save counts as failed when the device answers with another status than 1.
template <typename Table>
void saveTable(MainWindow *window, const Fields &fields, bool (MainWindow::*check)(),
               void (Parameter::*store)(const Table &), int code, bool (MainWindow::*showResult)(bool))
{
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkUsbOpen() || !window->checkHeaterFree(heater) || !(window->*check)())
        return;
    Table counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = Units::coefficientCount(fields[int(i)]->text());
    (window->protocol()->parameter()->*store)(counts);
    (window->*showResult)(window->protocol()->writeParam(code) == Accepted);
}

} // namespace

void CoilTablePage::readTcr()
{
    readTable(window, ReadTcr, &Parameter::tcr, CoilFields::tcr(window->form()));
}

void CoilTablePage::saveTcr()
{
    saveTable(window, CoilFields::tcr(window->form()), &MainWindow::checkTCR, &Parameter::setTcr, WriteTcr,
              &MainWindow::showTcrResult);
}

void CoilTablePage::readTfr()
{
    readTable(window, ReadTfr, &Parameter::tfr, CoilFields::tfr(window->form()));
}

void CoilTablePage::saveTfr()
{
    saveTable(window, CoilFields::tfr(window->form()), &MainWindow::checkTFR, &Parameter::setTfr, WriteTfr,
              &MainWindow::showTfrResult);
}

bool CoilTablePage::showTcrResult(bool ok)
{
    window->form()->label_TCR_msg->setText(ok ? window->byLanguage("Save TCR success", "保存TCR成功")
                                              : window->byLanguage("Error    Save TCR failed", "错误    保存TCR失败"));
    return ok;
}

bool CoilTablePage::showTfrResult(bool ok)
{
    window->form()->label_TFR_msg->setText(ok ? window->byLanguage("Save TFR success", "保存TFR成功")
                                              : window->byLanguage("Error    Save TRF failed", "错误    保存TFR失败"));
    return ok;
}
