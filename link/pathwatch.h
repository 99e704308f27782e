#pragma once

#include <QByteArray>
#include <atomic>

// Sleeps until a file may have come, gone or been replaced at a path: watches
// the deepest existing folder on the way to it (inotify), so that the folder
// may itself come and go. Where no watch can be had it wakes every
// fallbackMs instead. One thread waits; any thread may stop it.
class PathWatch
{
public:
    enum class Wake {
        Stopped,
        Changed, // look again
        Removed, // the file was deleted or moved away, whatever is there now
    };

    PathWatch(const QByteArray &path, int fallbackMs);
    ~PathWatch();
    PathWatch(const PathWatch &) = delete;
    PathWatch &operator=(const PathWatch &) = delete;

    Wake wait();
    void stop();

private:
    // Watches the deepest existing folder on the way to the file.
    void arm();
    // False when none of the queued events concerned the file.
    bool readEvents(Wake *wake);

    const int fallbackMs;
    const int events;  // inotify
    const int stopper; // eventfd
    std::atomic<bool> stopping{false};
    QByteArray fileFolder;
    QByteArray fileName;
    int watched = -1; // watch descriptor, -1 for none
    QByteArray watchedFolder;
    QByteArray next; // the name in watchedFolder that leads to the file
};
