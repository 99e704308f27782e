#include "link/heateraccess.h"

#include "link/hidbackend.h"

#include <pwd.h>
#include <sys/stat.h>

namespace {

// A socket's own mode and owner decide who may connect; only a hidraw node
// gets its access from the udev rule.
void explainPermission(HeaterAccess::Finding *found)
{
    QString socketPath;
    struct stat info;
    if (!HidBackend::virtualDevice(&socketPath) || ::stat(found->path.toLocal8Bit().constData(), &info) != 0) {
        found->why = QString("permission denied on %1: install the udev rule 70-korvane.rules, then unplug the "
                             "heater and plug it in again")
                         .arg(found->path);
        return;
    }
    const passwd *owner = ::getpwuid(info.st_uid);
    found->socket = true;
    found->mode = QString::number(info.st_mode & 07777, 8).rightJustified(4, '0');
    found->owner = owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid);
    found->why = QString("permission denied on %1: the socket is mode %2 and belongs to %3; run as that user, or "
                         "have korvane-devsim serve a socket of yours")
                     .arg(found->path, found->mode, found->owner);
}

} // namespace

HeaterAccess::Finding HeaterAccess::find()
{
    Finding found;
    HidBackend *backend = HidBackend::current();
    for (const HidInterface &candidate : backend->enumerate()) {
        if (!candidate.isHeater() || !HidBackend::picked(candidate))
            continue;
        HidOpenFailure failure = HidOpenFailure::None;
        const int id = backend->open(candidate.path, &failure);
        if (id > 0)
            backend->close(id);
        found.path = candidate.path;
        if (failure == HidOpenFailure::PermissionDenied) {
            found.problem = PermissionDenied;
            explainPermission(&found);
            return found;
        }
        found.problem = Unopenable;
        found.why = QString("the heater at %1 could not be opened").arg(candidate.path);
        return found;
    }
    // The same variable chose the backend: a socket path is no cable to check.
    found.socket = HidBackend::virtualDevice(&found.path);
    const QString pick = HidBackend::pick();
    if (found.socket)
        found.why = QString("no virtual heater at %1: is korvane-devsim running?").arg(found.path);
    else if (!pick.isEmpty())
        found.why = QString("no heater %1 found: korvane-cli list shows the heaters there are").arg(pick);
    else
        found.why = "no heater found (USB 0483:5750): check the cable and that the heater is switched on";
    return found;
}
