#include "app/languagesettings.h"

#include <QLocale>
#include <fstream>

namespace {
const char fileName[] = "language.txt";
}

int LanguageSettings::read()
{
    // Opening for reading and writing never creates the file.
    std::fstream file(fileName, std::ios::in | std::ios::out);
    if (!file.is_open())
        return -1;
    // An empty file leaves the 2; text that is no number extracts as 0.
    int value = 2;
    file >> value;
    return static_cast<unsigned>(value) <= 1 ? value : -1;
}

void LanguageSettings::write(int value)
{
    std::ofstream file(fileName, std::ios::out | std::ios::trunc);
    file << value;
}

int LanguageSettings::systemLanguage()
{
    return QLocale::system().language() == QLocale::Chinese ? 1 : 0;
}
