#include "cli/arguments.h"

#include "link/hidbackend.h"

#include <map>

namespace {

struct Operands
{
    int least;
    int most;
    const char *form;
};

const std::map<QString, Operands> &commands()
{
    static const std::map<QString, Operands> table = {
        {"list", {0, 0, "list"}},
        {"status", {0, 0, "status"}},
        {"read", {0, 0, "read"}},
        {"write", {1, 1 << 16, "write KEY=VALUE..."}},
        {"export", {1, 1, "export [--force] FILE"}},
        {"import", {1, 1, "import FILE"}},
        {"firmware", {1, 1, "firmware [--all] FILE.bin"}},
        {"logo", {1, 1, "logo FILE"}},
    };
    return table;
}

// The value of an option given as "--name value" or "--name=value"; at is
// moved past what was used. False when the word is not that option.
bool optionValue(const QStringList &words, int *at, const QString &name, QString *value, bool *missing)
{
    const QString &word = words[*at];
    if (word.startsWith(name + '=')) {
        *value = word.mid(name.size() + 1);
        return true;
    }
    if (word != name)
        return false;
    *missing = *at + 1 >= words.size();
    if (!*missing)
        *value = words[++*at];
    return true;
}

QString takeOption(const QStringList &words, int *at, Arguments *arguments)
{
    const QString &word = words[*at];
    QString value;
    bool missing = false;
    if (word == "--json")
        arguments->json = true;
    else if (word == "--trace")
        arguments->trace = true;
    else if (word == "--force")
        arguments->force = true;
    else if (word == "--all")
        arguments->all = true;
    else if (word == "--help" || word == "-h")
        arguments->help = true;
    else if (word == "--version" || word == "-v")
        arguments->version = true;
    else if (optionValue(words, at, "--device", &value, &missing)) {
        if (missing || !HidBackend::wellFormedPick(value))
            return "--device takes hidraw:PATH or serial:TEXT (a USB heater, as korvane-cli list shows them) or "
                   "unix:PATH (the socket of a virtual device, korvane-devsim)";
        arguments->device = value;
    } else if (optionValue(words, at, "--timeout", &value, &missing)) {
        bool ok = false;
        arguments->timeoutMs = value.toInt(&ok);
        if (missing || !ok || arguments->timeoutMs <= 0)
            return "--timeout takes a number of milliseconds above 0";
    } else {
        return QString("unknown option %1").arg(word);
    }
    return QString();
}

} // namespace

QString Arguments::parse(const QStringList &words, Arguments *arguments)
{
    int at = 0;
    for (; at < words.size() && words[at].startsWith('-'); ++at) {
        const QString error = takeOption(words, &at, arguments);
        if (!error.isEmpty())
            return error;
    }
    if (arguments->help || arguments->version)
        return QString();
    if (at == words.size())
        return "no command given";
    arguments->command = words[at];
    arguments->operands = words.mid(at + 1);
    // "export --force FILE" reads as well as "--force export FILE".
    if (arguments->command == "export")
        arguments->force |= arguments->operands.removeAll("--force") > 0;
    if (arguments->command == "firmware")
        arguments->all |= arguments->operands.removeAll("--all") > 0;
    const auto command = commands().find(arguments->command);
    if (command == commands().end())
        return QString("unknown command %1").arg(arguments->command);
    const Operands &wanted = command->second;
    const int count = arguments->operands.size();
    if (count < wanted.least || count > wanted.most)
        return QString("usage: korvane-cli [options] %1").arg(wanted.form);
    return QString();
}

QString Arguments::usage()
{
    return "usage: korvane-cli [--device DEVICE] [--json] [--trace] [--timeout MS] [--force] [--all] COMMAND\n"
           "\n"
           "commands:\n"
           "  list                 every heater there is, with its state (normal or upgrade)\n"
           "  status               not found, connected or upgrade state\n"
           "  read                 every setting, as a table or with --json as JSON\n"
           "  write KEY=VALUE...   change settings; the others keep what the device holds\n"
           "  export FILE          save every setting to a JSON profile (--force replaces one)\n"
           "  import FILE          write the settings of a JSON profile\n"
           "  firmware FILE.bin    send a firmware image (device in its upgrade state); with --all\n"
           "                       to every heater in its upgrade state at once\n"
           "  logo FILE            send a start-up logo\n"
           "\n"
           "keys: mode (power|temp), screen-timeout (s), power (W), preheat-time (s), preheat-power (W),\n"
           "      temperature, unit (C|F), compensation, atomizer (NI200, TI1, SS304, SS316, SS317,\n"
           "      TCR-M1..TCR-M5, TFR-M1..TFR-M5, or an unnamed index 15..127), tcr.M1..tcr.M5,\n"
           "      tfr.M1.100..tfr.M5.300\n"
           "\n"
           "options:\n"
           "  --device DEVICE      the heater to use, where there are several: hidraw:PATH or\n"
           "                       serial:TEXT for a USB heater, unix:PATH for a virtual one\n"
           "                       (korvane-devsim)\n"
           "  --json               results as JSON\n"
           "  --trace              hex dump of every report out (>) and in (<) on stderr\n"
           "  --timeout MS         how long to wait for each answer (at most 60000)\n"
           "  --force              let export replace a file that exists\n"
           "  --all                firmware: every heater in its upgrade state, in parallel\n"
           "  -h, --help           this text\n"
           "  -v, --version        the version\n"
           "\n"
           "exit status: 0 done, 2 bad input, 3 device not found, 4 permission denied,\n"
           "             5 refused by the device, 6 transfer failed, 7 heater busy (another program)\n";
}
