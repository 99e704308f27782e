#include "devsim/transferlog.h"

#include "sim/simdevice.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace {

// A transfer is reported once, when it turns complete; the next start report
// makes it incomplete again.
void report(FILE *out, const char *kind, bool complete, const QByteArray &data, bool *done)
{
    if (complete && !*done) {
        const QByteArray digest = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
        std::fprintf(out, "%s %d %s\n", kind, int(data.size()), digest.constData());
        std::fflush(out);
    }
    *done = complete;
}

} // namespace

TransferLog::TransferLog(FILE *stream) : out(stream) {}

void TransferLog::check(const SimDevice &device)
{
    report(out, "firmware", device.firmwareComplete(), device.firmware(), &firmwareDone);
    report(out, "logo", device.logoComplete(), device.logo(), &logoDone);
}
