#include "app/windowcommandline.h"

#include "common/commandlineerror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

const char *const TextOptions[] = {"-h", "--help", "--help-all", "-v", "--version"};

} // namespace

bool WindowCommandLine::asksForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char *option : TextOptions)
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

int WindowCommandLine::answer(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Configures the Korvane handheld heater over USB: its settings, the TCR and TFR "
                                     "tables of its coil slots, its firmware and its start-up logo.\n"
                                     "KORVANE_DEVICE=unix:PATH talks to a virtual heater (korvane-devsim) instead.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Asked for text, the rest of the line does not matter: it may hold Qt's own options.
    const bool usable = parser.parse(app.arguments());
    // --help-all, which Qt adds to --help from 5.14 on, lists the same here.
    if (parser.isSet(help) || parser.optionNames().contains("help-all")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(app.applicationName()), qPrintable(app.applicationVersion()));
        return 0;
    }
    if (!usable || !parser.positionalArguments().isEmpty()) {
        const QString problem =
            usable ? "unexpected argument " + parser.positionalArguments().first() : parser.errorText();
        std::fputs(qPrintable(CommandLineError::text(app.applicationName(), problem)), stderr);
        return CommandLineError::ExitStatus;
    }
    return -1;
}
