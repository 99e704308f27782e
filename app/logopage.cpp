#include "app/logopage.h"

#include "app/form.h"
#include "app/mainwindow.h"
#include "app/pickedfile.h"
#include "link/heaterlock.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"

#include <QFileDialog>
#include <memory>

void LogoPage::sendLogo()
{
    if (!window->checkUsbOpen())
        return;
    QString path;
    if (!pickLogo(&path)) {
        tell("Path", "路径", window->byLanguage("You dont select any files", "您没有选择任何文件"));
        return;
    }
    window->form()->lineEdit_2->setText(path);
    send(path);
}

// Every pick gets a dialog of its own, gone once the pick is made.
bool LogoPage::pickLogo(QString *path) const
{
    const std::unique_ptr<QFileDialog> dialog = std::make_unique<QFileDialog>(window);
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
    const NamedFile::Status status = PickedFile::read(window, path, Packet::LargestLogoText, &text);
    if (status == NamedFile::Empty)
        PickedFile::warn(window,
                         window->byLanguage("You select ", "您选择了 ") + path +
                             window->byLanguage(". Its size should be in [1,512]", "，它的大小应该在[1, 512]范围"));
    if (status != NamedFile::Read)
        return;
    // Sent anyway, a logo of nothing would erase the one the heater shows.
    if (Packet::logoValues(text.constData(), text.size()) == 0) {
        PickedFile::warn(window, window->byLanguage("The file ", "文件") + path +
                                     window->byLanguage(" holds no logo", "中没有开机画面数据"));
        return;
    }
    const HeaterLock heater(*window->protocol()->port());
    if (!window->checkHeaterFree(heater))
        return;
    const QString sendText = window->byLanguage("Send  file ", "发送文件 ") + path;
    if (window->protocol()->sendLogo(text.constData(), text.size()) < 0) {
        tell("failed", "失败", sendText + window->byLanguage(" failed", " 失败"));
        return;
    }
    tell("Path", "路径", sendText + window->byLanguage(" success ", " 成功"));
    window->form()->label_16->show();
}

void LogoPage::tell(const char *title, const char *chineseTitle, const QString &text) const
{
    MainWindow::showInformation(window->byLanguage(title, chineseTitle), text);
}
