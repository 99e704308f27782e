#include "app/coiltablepage.h"

#include "app/inputvalidators.h"
#include "app/pagehost.h"
#include "link/heaterlock.h"
#include "params/paramter.h"
#include "params/units.h"
#include "protocol/protocol.h"

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int WriteTcr = Parameter::TcrCommand;
constexpr int WriteTfr = Parameter::TfrCommand;
constexpr int ReadTcr = Parameter::ReadRequest + WriteTcr;
constexpr int ReadTfr = Parameter::ReadRequest + WriteTfr;
constexpr int Accepted = 1;

using Fields = QVector<QLineEdit *>;

// What a tab's label says of a read that failed, and of a save held back by it.
struct ReadTexts
{
    const char *readFailed[2]; // English, Chinese
    const char *readFirst[2];
};

const ReadTexts tcrTexts = {{"Error    Read TCR failed", "错误    读取TCR失败"},
                            {"Error    Save TCR failed: Read TCR again first", "错误    保存TCR失败：请先重新读取TCR"}};
const ReadTexts tfrTexts = {{"Error    Read TFR failed", "错误    读取TFR失败"},
                            {"Error    Save TFR failed: Read TFR again first", "错误    保存TFR失败：请先重新读取TFR"}};

// Reads the table with the code. Only an answer that carried it reaches the
// fields; after any other they keep what they showed, and unread is set.
template <typename Table>
void readTable(PageHost &host, int code, const Table &(Parameter::*table)() const, const Fields &fields, QLabel *label,
               const ReadTexts &texts, bool *unread)
{
    const HeaterLock heater(*host.protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater))
        return;
    const bool failedBefore = *unread;
    *unread = host.protocol()->readParam(code) != 0;
    host.showReadOutcome(label, *unread, failedBefore, texts.readFailed[0], texts.readFailed[1]);
    if (*unread)
        return;
    const Table &counts = (host.protocol()->parameter()->*table)();
    for (std::size_t i = 0; i < counts.size(); ++i)
        fields[int(i)]->setText(Units::coefficientText(counts[i]));
}

// Checks the fields, then sends all their counts at once. Unlike the basic
// tab's, a save counts as failed when the device answers with another status
// than 1. After a failed read the fields may hold values the heater never
// gave: they are not sent until a read has succeeded.
template <typename Table>
void saveTable(PageHost &host, CoilTablePage *page, const Fields &fields, bool (CoilTablePage::*check)(),
               void (Parameter::*store)(const Table &), int code, bool (CoilTablePage::*showResult)(bool),
               QLabel *label, const ReadTexts &texts, bool unread)
{
    const HeaterLock heater(*host.protocol()->port());
    if (!host.checkUsbOpen() || !host.checkHeaterFree(heater))
        return;
    if (unread) {
        label->setText(host.byLanguage(texts.readFirst[0], texts.readFirst[1]));
        return;
    }
    if (!(page->*check)())
        return;
    Table counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = Units::coefficientCount(fields[int(i)]->text());
    (host.protocol()->parameter()->*store)(counts);
    (page->*showResult)(host.protocol()->writeParam(code) == Accepted);
}

} // namespace

void CoilTablePage::readTcr()
{
    readTable(host, ReadTcr, &Parameter::tcr, w.tcr, w.label_TCR_msg, tcrTexts, &tcrUnread);
}

void CoilTablePage::saveTcr()
{
    saveTable(host, this, w.tcr, &CoilTablePage::checkTcr, &Parameter::setTcr, WriteTcr, &CoilTablePage::showTcrResult,
              w.label_TCR_msg, tcrTexts, tcrUnread);
}

void CoilTablePage::readTfr()
{
    readTable(host, ReadTfr, &Parameter::tfr, w.tfr, w.label_TFR_msg, tfrTexts, &tfrUnread);
}

void CoilTablePage::saveTfr()
{
    saveTable(host, this, w.tfr, &CoilTablePage::checkTfr, &Parameter::setTfr, WriteTfr, &CoilTablePage::showTfrResult,
              w.label_TFR_msg, tfrTexts, tfrUnread);
}

bool CoilTablePage::showTcrResult(bool ok)
{
    w.label_TCR_msg->setText(ok ? host.byLanguage("Save TCR success", "保存TCR成功")
                                : host.byLanguage("Error    Save TCR failed", "错误    保存TCR失败"));
    return ok;
}

bool CoilTablePage::showTfrResult(bool ok)
{
    w.label_TFR_msg->setText(ok ? host.byLanguage("Save TFR success", "保存TFR成功")
                                : host.byLanguage("Error    Save TRF failed", "错误    保存TFR失败"));
    return ok;
}

bool CoilTablePage::checkTcr()
{
    return InputValidators::checkTCR(w.tcr, w.label_TCR_msg, host.currentLanguage());
}

bool CoilTablePage::checkTfr()
{
    return InputValidators::checkTFR(w.tfr, w.label_TFR_msg, host.currentLanguage());
}

void CoilTablePage::installValidators(QObject *owner)
{
    InputValidators::installCoefficients(w.tcr, w.tfr, owner);
}
