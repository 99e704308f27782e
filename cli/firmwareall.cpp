#include "cli/firmwareall.h"

#include "cli/exitcode.h"
#include "cli/heaterlist.h"
#include "cli/output.h"
#include "cli/session.h"
#include "link/hidbackend.h"
#include "link/usb.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"
#include "protocol/stream.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Worker
{
    QString device;
    int result = ExitOk;
    bool skipped = false; // not in its upgrade state: left alone
    QString why;
};

// Progress lines from every worker, one whole line at a time.
class ProgressLines
{
public:
    explicit ProgressLines(Output &out) : output(out) {}

    void tell(const QString &device, int percent)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (output.json())
            output.progress()
                << QJsonDocument(QJsonObject{{"device", device}, {"progress", percent}}).toJson(QJsonDocument::Compact);
        else
            output.progress() << device << ' ' << percent << '%';
        output.progress() << '\n';
        output.progress().flush();
    }

private:
    Output &output;
    std::mutex mutex;
};

void upgrade(Worker *worker, const QByteArray &image, int reports, ProgressLines *lines, Output *output)
{
    HidBackend::pickForThisThread(worker->device);
    Session session(*output);
    worker->result = session.open(false);
    if (worker->result == ExitOk && session.linkState() != Session::UpgradeState) {
        worker->skipped = true;
        return;
    }
    if (worker->result != ExitOk) {
        worker->why = session.problem();
        return;
    }
    Usb *port = session.protocol().port();
    int answers = 0;
    const auto percentDone = [&] { return std::min(100, answers * 100 / reports); };
    int told = -1;
    QObject::connect(port, &Usb::readData, port, [&] {
        ++answers;
        const int percent = percentDone();
        if (percent / 10 != told / 10 || told < 0)
            lines->tell(worker->device, told = percent);
    });
    session.countAnswers();
    if (session.protocol().sendFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size()) == 0)
        return;
    const bool refused = session.refusals() > 0;
    worker->result = refused ? ExitRefused : ExitTransferFailed;
    worker->why = QString(refused ? "the heater refused the image at %1%" : "the heater stopped answering at %1%")
                      .arg(percentDone());
}

} // namespace

int FirmwareAll::run(const QByteArray &image, Output &output)
{
    Packet framing;
    framing.packetFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    const int reports = std::max(1, int(framing.output()->size() / Packet::ReportSize));

    std::vector<Worker> workers;
    for (const HeaterList::Heater &heater : HeaterList::find())
        workers.push_back({heater.device, ExitOk, false, QString()});
    ProgressLines lines(output);
    std::vector<std::thread> threads;
    for (Worker &worker : workers)
        threads.emplace_back(upgrade, &worker, std::cref(image), reports, &lines, &output);
    for (std::thread &thread : threads)
        thread.join();

    const QString sha256 = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    QStringList summary;
    QJsonArray sent;
    QJsonArray failed;
    int result = ExitOk;
    for (const Worker &worker : workers) {
        if (worker.skipped)
            continue;
        if (worker.result == ExitOk) {
            summary << worker.device + " sent";
            sent.append(worker.device);
            continue;
        }
        summary << worker.device + " failed: " + worker.why;
        failed.append(QJsonObject{{"device", worker.device}, {"error", worker.why}});
        if (result == ExitOk)
            result = worker.result;
    }
    if (sent.isEmpty() && failed.isEmpty()) {
        output.error("no heater is in its upgrade state");
        return ExitNotFound;
    }
    summary << QString("Firmware sent to %1 of %2 heaters: %3 bytes, sha256 %4")
                   .arg(sent.size())
                   .arg(sent.size() + failed.size())
                   .arg(image.size())
                   .arg(sha256);
    output.result(summary.join('\n'),
                  {{"sent", sent}, {"failed", failed}, {"bytes", image.size()}, {"sha256", sha256}});
    return result;
}
