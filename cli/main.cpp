#include "cli/cli.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// The core's diagnostics are for developers; a terminal user sees the
// results, and --trace shows the reports themselves.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    return Cli::run(app.arguments().mid(1), out, err);
}
