#include "devsim/transferlog.h"

#include "sim/simdevice.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace {

// A transfer is reported once, when it turns complete; the next start report
// makes it incomplete again.
void report(FILE *out, const QByteArray &prefix, const char *kind, bool complete, const QByteArray &data, bool *done)
{
    if (complete && !*done) {
        const QByteArray digest = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
        std::fprintf(out, "%s%s %d %s\n", prefix.constData(), kind, int(data.size()), digest.constData());
        std::fflush(out);
    }
    *done = complete;
}

} // namespace

TransferLog::TransferLog(FILE *stream, const QByteArray &linePrefix) : out(stream), prefix(linePrefix) {}

void TransferLog::check(const SimDevice &device)
{
    report(out, prefix, "firmware", device.firmwareComplete(), device.firmware(), &firmwareDone);
    report(out, prefix, "logo", device.logoComplete(), device.logo(), &logoDone);
}
