#include "link/heaterlock.h"

#include "link/usb.h"
#include "link/usboption.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int DefaultWaitMs = 3000;
constexpr int LongestWaitMs = 60000;
constexpr int RetryMs = 20;

struct Hold
{
    int fd = -1;
    int count = 0;
};

// Holds of this process by lock file: flock() is per open file, so a second
// open in the same process would wait for itself.
std::mutex holdsMutex;
std::map<QString, Hold> holds;

// $XDG_RUNTIME_DIR/korvane, else a directory of this user's own under /tmp;
// empty with the reason when it is missing or others could write into it.
QString lockDirectory(QString *why)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString directory =
        runtime.isEmpty() ? QString("/tmp/korvane-%1").arg(::geteuid()) : runtime + QStringLiteral("/korvane");
    const QByteArray native = directory.toLocal8Bit();
    ::mkdir(native.constData(), 0700);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0) {
        *why = QString("cannot make the lock directory %1: %2").arg(directory, std::strerror(errno));
        return QString();
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
        *why = QString("the lock directory %1 is not a directory of this user's alone").arg(directory);
        return QString();
    }
    return directory;
}

// Every spelling of the folder meets on one lock. The name itself is kept:
// a device node is no link, and where umockdev emulates one it is a link to
// a pty that its preload library garbles when asked to resolve it.
QString canonical(const QString &devicePath)
{
    const QFileInfo given(devicePath);
    const QString folder = QFileInfo(given.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? devicePath : folder + '/' + given.fileName();
}

// Readable, and unique per device: the node's name and a digest of its path.
QString lockFileName(const QString &devicePath)
{
    QString name = QFileInfo(devicePath).fileName();
    for (QChar &c : name)
        if (!c.isLetterOrNumber() && c != '.' && c != '-')
            c = '_';
    const QByteArray digest = QCryptographicHash::hash(devicePath.toUtf8(), QCryptographicHash::Sha256).toHex();
    return name.left(64) + '-' + QString::fromLatin1(digest.left(16)) + QStringLiteral(".lock");
}

QString holderOf(int fd)
{
    char text[256] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    const QStringList fields = QString::fromLocal8Bit(text, int(std::max<ssize_t>(n, 0))).split('\n');
    if (fields.size() < 2 || fields[0].isEmpty())
        return QStringLiteral("another program");
    return QString("%1, pid %2").arg(fields[0], fields[1]);
}

void recordHolder(int fd)
{
    const QByteArray text = QByteArray(program_invocation_short_name) + '\n' + QByteArray::number(::getpid()) + '\n';
    if (::ftruncate(fd, 0) == 0) [[maybe_unused]]
        const ssize_t written = ::pwrite(fd, text.constData(), size_t(text.size()), 0);
}

// flock() until the deadline; true once held.
bool lockWithin(int fd, int waitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(RetryMs));
    }
}

} // namespace

HeaterLock::HeaterLock(const QString &devicePath, int waitMs)
{
    if (devicePath.isEmpty()) {
        holding = true;
        return;
    }
    path = canonical(devicePath);
    std::lock_guard<std::mutex> lock(holdsMutex);
    Hold &hold = holds[path];
    if (hold.count == 0) {
        const QByteArray file = lockFile(path, &why).toLocal8Bit();
        hold.fd = file.isEmpty() ? -1 : ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (hold.fd < 0 && why.isEmpty())
            why = QString("cannot open the lock file %1: %2").arg(QString::fromLocal8Bit(file), std::strerror(errno));
        if (hold.fd >= 0 && !lockWithin(hold.fd, std::clamp(waitMs, 0, LongestWaitMs))) {
            owner = holderOf(hold.fd);
            why = "the heater is busy: " + owner;
            ::close(hold.fd);
            hold.fd = -1;
        }
        if (hold.fd < 0) {
            holds.erase(path);
            return;
        }
        recordHolder(hold.fd);
    }
    ++hold.count;
    holding = true;
}

HeaterLock::HeaterLock(const Usb &port, int waitMs)
    : HeaterLock(port.ops() ? usb_shared_path(port.ops()->handle) : QString(), waitMs)
{}

HeaterLock::~HeaterLock()
{
    if (!holding || path.isEmpty())
        return;
    std::lock_guard<std::mutex> lock(holdsMutex);
    const auto hold = holds.find(path);
    if (hold == holds.end() || --hold->second.count > 0)
        return;
    ::close(hold->second.fd);
    holds.erase(hold);
}

QString HeaterLock::lockFile(const QString &devicePath, QString *why)
{
    QString reason;
    const QString directory = lockDirectory(&reason);
    if (why)
        *why = reason;
    return directory.isEmpty() ? QString() : directory + '/' + lockFileName(canonical(devicePath));
}

int HeaterLock::defaultWaitMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("KORVANE_LOCK_WAIT_MS", &ok);
    return ok && ms >= 0 ? std::min(ms, LongestWaitMs) : DefaultWaitMs;
}
