#include "devsim/devsimoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <map>

namespace {

// N:KIND or N:KIND:VALUE, e.g. 3:status:3 or 5:stall, and @HEATER after
// either for another heater than the first.
QString parseInjection(const QString &text, int count, DevsimOptions::Injection *injection)
{
    static const std::map<QString, SimDevice::Fault> kinds = {
        {"status", SimDevice::Status}, {"drop", SimDevice::Drop}, {"stall", SimDevice::Stall},
        {"short", SimDevice::Short},   {"late", SimDevice::Late}, {"code", SimDevice::Foreign}};
    const QStringList target = text.split('@');
    bool heaterOk = target.size() == 1;
    if (target.size() == 2)
        injection->heater = target[1].toInt(&heaterOk);
    if (!heaterOk || injection->heater < 1 || injection->heater > count)
        return QString("--fault %1: the heater after @ must be from 1 to %2").arg(text).arg(count);
    const QStringList parts = target[0].split(':');
    bool nthOk = false;
    bool valueOk = parts.size() == 2;
    if (parts.size() == 2 || parts.size() == 3) {
        injection->nth = parts[0].toInt(&nthOk);
        if (parts.size() == 3)
            injection->value = parts[2].toInt(&valueOk);
    }
    const auto kind = kinds.find(parts.value(1));
    if (!nthOk || injection->nth < 1 || !valueOk || kind == kinds.end())
        return QString(
                   "--fault %1: expected N:KIND[:VALUE][@HEATER] with N from 1 and KIND one of status, drop, stall, "
                   "short, late, code")
            .arg(text);
    injection->fault = kind->second;
    return QString();
}

} // namespace

QString DevsimOptions::numbered(const QString &path, int n)
{
    if (n == 1)
        return path;
    const QString name = QFileInfo(path).fileName();
    const int dot = name.lastIndexOf('.');
    const int at = dot > 0 ? path.size() - name.size() + dot : path.size();
    return QString(path).insert(at, QString("-%1").arg(n));
}

QString DevsimOptions::parse(const QStringList &arguments, DevsimOptions *options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Serves a simulated Korvane heater on a Unix socket. Point the window or "
                                     "korvane-cli at it with KORVANE_DEVICE=unix:PATH.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"socket", "The socket to serve (default: $XDG_RUNTIME_DIR/korvane/devsim.sock).", "PATH"},
        {"upgrade", "Start in the upgrade state (the handshake answers 2 bytes)."},
        {"state", "Keep the settings in FILE between runs.", "FILE"},
        {"fault",
         "Misbehave at the Nth report: status (answer with status VALUE), drop (the answer is lost), stall "
         "(no answer), short (answer VALUE bytes), late (answer after the host gave up), code (answer as if to "
         "command VALUE). @HEATER picks the heater (default 1). Repeatable.",
         "N:KIND[:VALUE][@HEATER]"},
        {"count",
         "Play N heaters (1 to 16), each with its own state and socket: the second at PATH with -2 before the "
         "suffix, and so on. --state files are numbered alike.",
         "N"},
        {"vanish-after", "The first heater goes away after answering N reports.", "N"},
    });
    if (!parser.parse(arguments))
        return parser.errorText();
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (parser.isSet("version"))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return QString("unexpected argument %1").arg(parser.positionalArguments().first());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    options->socketPath =
        parser.isSet("socket") || runtime.isEmpty() ? parser.value("socket") : runtime + "/korvane/devsim.sock";
    if (options->socketPath.isEmpty())
        return "--socket PATH is required where XDG_RUNTIME_DIR is not set";
    if (parser.isSet("count")) {
        bool ok = false;
        options->count = parser.value("count").toInt(&ok);
        if (!ok || options->count < 1 || options->count > MaxCount)
            return QString("--count N: N must be from 1 to %1").arg(MaxCount);
    }
    options->upgrade = parser.isSet("upgrade");
    options->stateFile = parser.value("state");
    for (const QString &text : parser.values("fault")) {
        Injection injection;
        const QString error = parseInjection(text, options->count, &injection);
        if (!error.isEmpty())
            return error;
        options->injections << injection;
    }
    if (parser.isSet("vanish-after")) {
        bool ok = false;
        options->vanishAfter = parser.value("vanish-after").toInt(&ok);
        if (!ok || options->vanishAfter < 0)
            return "--vanish-after N: N must be a whole number from 0";
    }
    return QString();
}
