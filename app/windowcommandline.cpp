#include "app/windowcommandline.h"

#include "common/commandlineerror.h"
#include "link/hidbackend.h"

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
    const QCommandLineOption device("device",
                                    "The heater to use, where there are several: hidraw:PATH or serial:TEXT for a "
                                    "USB heater (korvane-cli list shows them), unix:PATH for a virtual one.",
                                    "DEVICE");
    parser.addOption(device);
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
    QString problem = usable ? QString() : parser.errorText();
    if (usable && !parser.positionalArguments().isEmpty())
        problem = "unexpected argument " + parser.positionalArguments().first();
    else if (usable && parser.isSet(device) && !HidBackend::wellFormedPick(parser.value(device)))
        problem = "--device takes hidraw:PATH, serial:TEXT or unix:PATH";
    if (!problem.isEmpty()) {
        std::fputs(qPrintable(CommandLineError::text(app.applicationName(), problem)), stderr);
        return CommandLineError::ExitStatus;
    }
    // The link reads it when it first needs a heater.
    if (parser.isSet(device))
        qputenv("KORVANE_DEVICE", parser.value(device).toLocal8Bit());
    return -1;
}
