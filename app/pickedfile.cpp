#include "app/pickedfile.h"

#include "app/mainwindow.h"

#include <QByteArray>
#include <QString>

NamedFile::Status PickedFile::read(const MainWindow *window, const QString &path, qint64 largest, QByteArray *content)
{
    const NamedFile::Status status = NamedFile::read(path, largest, content);
    const auto warnOf = [window, &path](const char *before, const char *chineseBefore, const char *after,
                                        const char *chineseAfter) {
        warn(window, window->byLanguage(before, chineseBefore) + path + window->byLanguage(after, chineseAfter));
    };
    switch (status) {
    case NamedFile::Read:
    case NamedFile::Empty:
        break;
    case NamedFile::NotRegular:
        warnOf("The file ", "文件", " is not a regular file", "不是普通文件");
        break;
    case NamedFile::TooLarge:
        warnOf("The file ", "文件", " is too large to send", "太大，无法发送");
        break;
    case NamedFile::Unreadable:
        warnOf("The file ", "无法读取文件", " cannot be read", "");
        break;
    }
    return status;
}

void PickedFile::warn(const MainWindow *window, const QString &text)
{
    MainWindow::showInformation(window->byLanguage("Warn", "警告"), text);
}
