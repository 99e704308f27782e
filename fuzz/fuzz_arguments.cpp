// korvane-cli's command line with any words (NUL separates them in the input)
// and every word also taken as a KEY=VALUE setting. A command line that is
// taken names a known command with the operand count it needs and words that
// follow it unchanged; a setting that is taken is a known key with a value of
// its kind, kept in a form that is taken again as itself.
#include "cli/arguments.h"
#include "cli/assignments.h"
#include "fuzz/fuzzcheck.h"

#include <QString>
#include <QStringList>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// The operand count each command needs, written out here rather than taken
// from the parser's own table.
int leastOperands(const QString &command)
{
    if (command == "status" || command == "read")
        return 0;
    if (command == "write" || command == "export" || command == "import" || command == "firmware" || command == "logo")
        return 1;
    return -1; // no command
}

void checkCommandLine(const QStringList &words)
{
    Arguments arguments;
    const QString error = Arguments::parse(words, &arguments);
    if (!error.isEmpty() || arguments.help || arguments.version)
        return;
    const int least = leastOperands(arguments.command);
    FUZZ_CHECK(least >= 0);
    const int count = arguments.operands.size();
    FUZZ_CHECK(count >= least && (arguments.command == "write" || count == least));
    // The command and its operands are the last words, as given.
    FUZZ_CHECK(words.size() > count && words[words.size() - count - 1] == arguments.command);
    FUZZ_CHECK(words.mid(words.size() - count) == arguments.operands);
    FUZZ_CHECK(!arguments.command.startsWith('-'));
    FUZZ_CHECK(arguments.device.isEmpty() || (arguments.device.startsWith("unix:") && arguments.device.size() > 5));
    FUZZ_CHECK(arguments.timeoutMs >= 0);
}

// Whether a value is one its key may keep, by the rules of the keys written
// out here: whole numbers, finite numbers, or one of a key's names.
bool keepable(const QString &key, const QString &value)
{
    bool ok = false;
    if (key == "screen-timeout" || key == "temperature" || key == "compensation") {
        value.toInt(&ok, 10);
        return ok;
    }
    if (key == "mode")
        return value == "power" || value == "temp";
    if (key == "unit")
        return value == "C" || value == "F";
    if (key == "atomizer") {
        // Past the named types, an index in the seven bits below the unit, written plainly.
        const int index = value.toInt(&ok, 10);
        return Assignments::atomizerNames().contains(value) ||
               (ok && index >= Assignments::atomizerNames().size() && index <= 127 && QString::number(index) == value);
    }
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number);
}

void checkAssignment(const QString &word)
{
    Assignments assignments;
    const QString error = assignments.take(word);
    if (!error.isEmpty()) {
        FUZZ_CHECK(assignments.values().isEmpty());
        return;
    }
    const int equals = word.indexOf('=');
    FUZZ_CHECK(equals > 0);
    const QString key = word.left(equals);
    FUZZ_CHECK(Assignments::keys().contains(key));
    FUZZ_CHECK(assignments.values().size() == 1 && assignments.values().contains(key));
    const QString kept = assignments.values().value(key);
    FUZZ_CHECK(keepable(key, kept));
    // What is kept is taken again as itself: an export of it imports unchanged.
    Assignments again;
    FUZZ_CHECK(again.take(key, kept).isEmpty());
    FUZZ_CHECK(again.values().value(key) == kept);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QStringList words = text.split(QChar(0));
    checkCommandLine(words);
    for (const QString &word : words)
        checkAssignment(word);
    return 0;
}
