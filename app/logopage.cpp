#include "app/logopage.h"

#include "app/pagehost.h"
#include "app/pickedfile.h"
#include "link/heaterlock.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <memory>

void LogoPage::sendLogo()
{
    if (!host.checkUsbOpen())
        return;
    QString path;
    if (!pickLogo(&path)) {
        tell("Path", "路径", host.byLanguage("You dont select any files", "您没有选择任何文件"));
        return;
    }
    w.lineEdit_2->setText(path);
    send(path);
}

// Every pick gets a dialog of its own, gone once the pick is made.
bool LogoPage::pickLogo(QString *path) const
{
    const std::unique_ptr<QFileDialog> dialog = std::make_unique<QFileDialog>(w.window);
    dialog->setWindowTitle("Open Image");
    dialog->setDirectory(".");
    if (dialog->exec() != QDialog::Accepted)
        return false;
    *path = dialog->selectedFiles().value(0);
    return true;
}

void LogoPage::send(const QString &path) const
{
    QByteArray text;
    const NamedFile::Status status = PickedFile::read(host, path, Packet::LargestLogoText, &text);
    if (status == NamedFile::Empty)
        PickedFile::warn(host, host.byLanguage("You select ", "您选择了 ") + path +
                                   host.byLanguage(". Its size should be in [1,512]", "，它的大小应该在[1, 512]范围"));
    if (status != NamedFile::Read)
        return;
    // Sent anyway, a logo of nothing would erase the one the heater shows.
    if (Packet::logoValues(text.constData(), text.size()) == 0) {
        PickedFile::warn(host, host.byLanguage("The file ", "文件") + path +
                                   host.byLanguage(" holds no logo", "中没有开机画面数据"));
        return;
    }
    const HeaterLock heater(*host.protocol()->port());
    if (!host.checkHeaterFree(heater))
        return;
    const QString sendText = host.byLanguage("Send  file ", "发送文件 ") + path;
    if (host.protocol()->sendLogo(text.constData(), text.size()) < 0) {
        tell("failed", "失败", sendText + host.byLanguage(" failed", " 失败"));
        return;
    }
    tell("Path", "路径", sendText + host.byLanguage(" success ", " 成功"));
    w.label_16->show();
}

void LogoPage::tell(const char *title, const char *chineseTitle, const QString &text) const
{
    PageHost::showInformation(host.byLanguage(title, chineseTitle), text);
}
