#include "link/heateraccess.h"

#include "link/hidbackend.h"

#include <pwd.h>
#include <sys/stat.h>

namespace {

// A socket's own mode and owner decide who may connect; only a hidraw node
// gets its access from the udev rule.
QString permissionProblem(const QString &path)
{
    QString socketPath;
    struct stat info;
    if (!HidBackend::virtualDevice(&socketPath) || ::stat(path.toLocal8Bit().constData(), &info) != 0)
        return QString("permission denied on %1: install the udev rule 70-korvane.rules, then unplug the heater "
                       "and plug it in again")
            .arg(path);
    const passwd *owner = ::getpwuid(info.st_uid);
    return QString("permission denied on %1: the socket is mode %2 and belongs to %3; run as that user, or have "
                   "korvane-devsim serve a socket of yours")
        .arg(path, QString::number(info.st_mode & 07777, 8).rightJustified(4, '0'),
             owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid));
}

} // namespace

HeaterAccess::Problem HeaterAccess::diagnose(QString *why)
{
    HidBackend *backend = HidBackend::current();
    for (const HidInterface &candidate : backend->enumerate()) {
        if (!candidate.isHeater())
            continue;
        HidOpenFailure failure = HidOpenFailure::None;
        const int id = backend->open(candidate.path, &failure);
        if (id > 0)
            backend->close(id);
        if (failure == HidOpenFailure::PermissionDenied) {
            *why = permissionProblem(candidate.path);
            return PermissionDenied;
        }
        *why = QString("the heater at %1 could not be opened").arg(candidate.path);
        return Unopenable;
    }
    // The same variable chose the backend: a socket path is no cable to check.
    QString socketPath;
    *why = HidBackend::virtualDevice(&socketPath)
               ? QString("no virtual heater at %1: is korvane-devsim running?").arg(socketPath)
               : "no heater found (USB 0483:5750): check the cable and that the heater is switched on";
    return Missing;
}
