#include "app/firmwarepage.h"

#include "app/pagehost.h"
#include "app/pickedfile.h"
#include "app/writefile.h"
#include "common/log.h"
#include "common/processstate.h"
#include "link/heaterlock.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>

void FirmwarePage::sendFile()
{
    if (refuseWhileSending())
        return;
    upgradeProgress = 0;
    QString path;
    if (!pickImage(&path) || !host.checkUsbOpen())
        return;
    showUpgradeState(0);
    w.lineEdit->setText(path);
    Log::plain(path);
    Log::structured(Log::Info, __LINE__, "sendFile", "app/mainwindow", "file:%s\n\n", path.toLocal8Bit().constData());
    w.progressBar->setRange(0, 100);
    w.progressBar->setValue(0);
    handOver(path);
}

// A second transfer would replace the image under the running one.
bool FirmwarePage::refuseWhileSending() const
{
    if (!writer->isRunning())
        return false;
    PickedFile::warn(host, host.byLanguage("A firmware upgrade is running. Wait until it has ended.",
                                           "固件正在升级，请等待升级结束"));
    return true;
}

bool FirmwarePage::pickImage(QString *path) const
{
    QFileDialog *dialog = w.dialog;
    dialog->setWindowTitle("Open Image");
    dialog->setDirectory(".");
    returnHomePending = 1;
    dialog->setNameFilter("Files(*.bin)");
    fileDialogOpen = 1;
    if (dialog->exec() != QDialog::Accepted)
        return false;
    *path = dialog->selectedFiles().value(0);
    return true;
}

void FirmwarePage::handOver(const QString &path) const
{
    QByteArray image;
    const NamedFile::Status status = PickedFile::read(host, path, Packet::LargestImage, &image);
    if (status == NamedFile::Empty)
        PickedFile::warn(host, host.byLanguage("The size for file ", "您选择了空文件") + path +
                                   host.byLanguage(" is zero", ""));
    if (status != NamedFile::Read)
        return;
    auto heater = std::make_unique<HeaterLock>(*host.protocol()->port());
    if (!host.checkHeaterFree(*heater))
        return;
    writer->transfer(image, std::move(heater));
    upgradeStarted = 1;
}
