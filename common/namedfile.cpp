#include "common/namedfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a symbolic link";
}

NamedFile::Status refuse(NamedFile::Status status, QString *problem, const QString &text)
{
    if (problem)
        *problem = text;
    return status;
}

NamedFile::Status unreadable(const QString &path, QString *problem)
{
    return refuse(NamedFile::Unreadable, problem, QString("cannot read %1: %2").arg(path, qt_error_string(errno)));
}

NamedFile::Status notRegular(const QString &path, mode_t mode, QString *problem)
{
    return refuse(NamedFile::NotRegular, problem,
                  QString("cannot read %1: it is %2, not a regular file").arg(path, kindOf(mode)));
}

struct Descriptor
{
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

} // namespace

NamedFile::Status NamedFile::read(const QString &path, qint64 largest, QByteArray *content, QString *problem)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    // Looked at before it is opened: opening a device node or a FIFO can block or act.
    if (::stat(name.constData(), &info) != 0)
        return unreadable(path, problem);
    if (!S_ISREG(info.st_mode))
        return notRegular(path, info.st_mode, problem);
    // Without blocking, should a FIFO have taken the file's place since.
    const Descriptor file{::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0)
        return unreadable(path, problem);
    if (!S_ISREG(info.st_mode))
        return notRegular(path, info.st_mode, problem);
    const qint64 size = info.st_size;
    const qint64 limit = qMin(largest, LargestLimit);
    if (size <= 0)
        return refuse(Empty, problem, QString("The size for file %1 is zero").arg(path));
    if (size > limit)
        return refuse(TooLarge, problem,
                      QString("cannot read %1: %2 bytes, over the limit of %3 bytes").arg(path).arg(size).arg(limit));
    QByteArray data(int(size), Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const ssize_t count = ::read(file.fd, data.data() + got, size_t(size - got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return unreadable(path, problem);
        if (count == 0)
            break;
        got += count;
    }
    // Files whose size is only nominal (kernel attribute files, say) come up short.
    if (got < size)
        return refuse(Unreadable, problem,
                      QString("cannot read %1: it ended after %2 of its %3 bytes").arg(path).arg(got).arg(size));
    *content = data;
    return Read;
}

QString NamedFile::replaceProblem(const QString &path)
{
    struct stat info = {};
    // The link itself: following it would replace whatever it points at.
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT ? QString() : QString("cannot write %1: %2").arg(path, qt_error_string(errno));
    if (S_ISLNK(info.st_mode))
        return QString("cannot write %1: it is a symbolic link; name the file itself").arg(path);
    if (!S_ISREG(info.st_mode))
        return QString("cannot write %1: it is %2, not a regular file").arg(path, kindOf(info.st_mode));
    return QString();
}
