#include "app/pagehost.h"

#include "app/heaterproblemtext.h"
#include "link/heaterlock.h"
#include "protocol/protocol.h"

#include <QLabel>
#include <QMessageBox>

QString PageHost::byLanguage(const char *english, const char *chinese) const
{
    return QString::fromUtf8(currentLanguage() == 1 ? chinese : english);
}

void PageHost::showInformation(const QString &title, const QString &text)
{
    QMessageBox::information(nullptr, title, text);
}

bool PageHost::checkUsbOpen()
{
    if (protocol()->isOpen())
        return true;
    showInformation("Warn",
                    byLanguage("Open usb failed. Please check the usb device", "USB打开失败，请确保USB线正确连接"));
    return false;
}

bool PageHost::checkHeaterFree(const HeaterLock &heater)
{
    if (heater.held())
        return true;
    const QString holder = heater.holder();
    showInformation("Warn", holder.isEmpty() || currentLanguage() == 1
                                ? HeaterProblemText::of(heater, currentLanguage())
                                : "The heater is busy: " + holder);
    return false;
}

void PageHost::showReadOutcome(QLabel *label, bool failed, bool failedBefore, const char *failedEnglish,
                               const char *failedChinese) const
{
    if (failed)
        label->setText(byLanguage(failedEnglish, failedChinese));
    else if (failedBefore)
        label->clear();
}
