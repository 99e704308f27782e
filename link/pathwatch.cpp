#include "link/pathwatch.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t FolderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t FolderGone = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_Q_OVERFLOW;

bool isFolder(const QByteArray &name)
{
    struct stat info;
    return ::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// "/a/b" into "/a" and "b"; a bare name lies in ".".
void split(const QByteArray &path, QByteArray *folder, QByteArray *name)
{
    const int slash = path.lastIndexOf('/');
    *name = path.mid(slash + 1);
    *folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

} // namespace

PathWatch::PathWatch(const QByteArray &path, int fallbackMs)
    : fallbackMs(fallbackMs), events(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      stopper(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    split(path, &fileFolder, &fileName);
    arm();
}

PathWatch::~PathWatch()
{
    for (int fd : {events, stopper})
        if (fd >= 0)
            ::close(fd);
}

void PathWatch::stop()
{
    stopping = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopper, &one, sizeof one);
}

PathWatch::Wake PathWatch::wait()
{
    for (;;) {
        pollfd ready[2] = {{stopper, POLLIN, 0}, {watched >= 0 ? events : -1, POLLIN, 0}};
        const bool sleepsUntilWoken = watched >= 0 && stopper >= 0;
        const int count = stopping ? 0 : ::poll(ready, 2, sleepsUntilWoken ? -1 : fallbackMs);
        if (stopping)
            return Wake::Stopped;
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count < 0)
                ::poll(nullptr, 0, fallbackMs);
            arm();
            return Wake::Changed;
        }
        Wake wake = Wake::Changed;
        if (readEvents(&wake))
            return wake;
    }
}

void PathWatch::arm()
{
    if (events < 0)
        return;
    for (;;) {
        QByteArray folder = fileFolder;
        QByteArray name = fileName;
        while (!isFolder(folder) && folder != "/" && folder != ".")
            split(folder, &folder, &name);
        if (watched < 0 || folder != watchedFolder) {
            const int descriptor = ::inotify_add_watch(events, folder.constData(), FolderEvents);
            if (watched >= 0 && descriptor != watched)
                ::inotify_rm_watch(events, watched);
            watched = descriptor;
            watchedFolder = folder;
            next = name;
        }
        // The folder below may have come between the look and the watch.
        if (watched < 0 || watchedFolder == fileFolder || !isFolder(watchedFolder + '/' + next))
            return;
    }
}

bool PathWatch::readEvents(Wake *wake)
{
    alignas(inotify_event) char buffer[4096];
    bool concerned = false;
    bool rearm = false;
    ssize_t length;
    while ((length = ::read(events, buffer, sizeof buffer)) > 0) {
        for (const char *at = buffer; at < buffer + length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->wd != watched && !(event->mask & IN_Q_OVERFLOW))
                continue;
            if (event->mask & FolderGone) {
                concerned = rearm = true;
            } else if (event->len > 0 && next == event->name) {
                concerned = true;
                if (watchedFolder != fileFolder)
                    rearm = true; // a folder on the way came or went
                else if (event->mask & (IN_DELETE | IN_MOVED_FROM))
                    *wake = Wake::Removed;
            }
        }
    }
    if (rearm)
        arm();
    return concerned;
}
