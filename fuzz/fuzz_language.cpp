// A language file of the language.txt form, with any content: the result is a
// known language or "none", and reading never changes the file.
#include "app/languagesettings.h"
#include "fuzz/fuzzcheck.h"

#include <QString>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

const char FileName[] = "language.txt";
char folder[] = "/tmp/korvane-fuzz-language-XXXXXX";

void removeFolder()
{
    unlink(FileName);
    rmdir(folder);
}

std::string contents()
{
    std::ifstream file(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A decimal number after optional white space, as the C library reads it:
// 0 or 1 are the languages; text that is no number reads as 0; nothing at all
// or a number out of range is no language.
int expectedLanguage(const std::string &text)
{
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at == text.size())
        return -1;
    errno = 0;
    const long long value = std::strtoll(text.c_str() + at, nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return -1;
    return value == 0 || value == 1 ? int(value) : -1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A folder of its own, so the file never lands where the fuzzer was started.
    if (!mkdtemp(folder) || chdir(folder) != 0)
        std::abort();
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream file(FileName, std::ios::binary | std::ios::trunc);
        file.write(text.data(), std::streamsize(text.size()));
    }
    const int language = LanguageSettings::readFile(FileName);
    FUZZ_CHECK(language == expectedLanguage(text));
    FUZZ_CHECK(contents() == text);
    return 0;
}
