#include "app/pickedfile.h"

#include "app/pagehost.h"

#include <QByteArray>
#include <QString>

NamedFile::Status PickedFile::read(const PageHost &host, const QString &path, qint64 largest, QByteArray *content)
{
    const NamedFile::Status status = NamedFile::read(path, largest, content);
    const auto warnOf = [&host, &path](const char *before, const char *chineseBefore, const char *after,
                                       const char *chineseAfter) {
        warn(host, host.byLanguage(before, chineseBefore) + path + host.byLanguage(after, chineseAfter));
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

void PickedFile::warn(const PageHost &host, const QString &text)
{
    PageHost::showInformation(host.byLanguage("Warn", "警告"), text);
}
