#include "cli/heaterlist.h"

#include "cli/exitcode.h"
#include "cli/output.h"
#include "cli/session.h"
#include "link/hidbackend.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString stateOf(const QString &device, Output &output)
{
    HidBackend::pickForThisThread(device);
    Session session(output);
    const int result = session.open(false);
    HidBackend::pickForThisThread(QString());
    return result == ExitOk                 ? (session.linkState() == Session::Connected ? "normal" : "upgrade")
           : result == ExitNotFound         ? "gone"
           : result == ExitPermissionDenied ? "permission denied"
           : result == ExitBusy             ? "busy"
                                            : "no answer";
}

} // namespace

QList<HeaterList::Heater> HeaterList::find()
{
    QString socketPath;
    const QString kind = HidBackend::virtualDevice(&socketPath) ? "unix:" : "hidraw:";
    QList<Heater> heaters;
    for (const HidInterface &interface : HidBackend::current()->enumerate())
        if (interface.isHeater())
            heaters.append({kind + interface.path, interface.serial});
    return heaters;
}

int HeaterList::list(Output &output)
{
    QStringList lines;
    QJsonArray items;
    for (const Heater &heater : find()) {
        const QString state = stateOf(heater.device, output);
        lines << heater.device + (heater.serial.isEmpty() ? "" : "  serial:" + heater.serial) + "  " + state;
        QJsonObject item{{"device", heater.device}, {"state", state}};
        if (!heater.serial.isEmpty())
            item["serial"] = heater.serial;
        items.append(item);
    }
    output.list(lines, items);
    return ExitOk;
}

void HeaterList::noteChoice(Output &output)
{
    if (!HidBackend::pick().isEmpty())
        return;
    const QList<Heater> heaters = find();
    if (heaters.size() > 1)
        output.note(QString("%1 heaters found; taking %2 (pick another with --device; korvane-cli list shows them)")
                        .arg(heaters.size())
                        .arg(heaters.first().device));
}
