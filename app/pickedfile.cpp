#include "app/pickedfile.h"

#include "app/mainwindow.h"

#include <QByteArray>
#include <QFile>
#include <QString>

PickedFile::Status PickedFile::read(const QString &path, qint64 largest, QByteArray *content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Unreadable;
    const qint64 size = file.size();
    if (size <= 0)
        return Empty;
    if (size > largest)
        return TooLarge;
    *content = file.read(size);
    // Files whose size is only nominal (kernel attribute files, say) come up short.
    return content->size() == size ? Read : Unreadable;
}

void PickedFile::warn(const MainWindow *window, const QString &text)
{
    MainWindow::showInformation(window->byLanguage("Warn", "警告"), text);
}

void PickedFile::showUnreadable(const MainWindow *window, const QString &path)
{
    warn(window, window->byLanguage("The file ", "无法读取文件") + path + window->byLanguage(" cannot be read", ""));
}
