#include "app/languagesettings.h"

#include "common/namedfile.h"

#include <QLocale>
#include <QSettings>
#include <sstream>

namespace {

// korvane/korvane.conf in the user's configuration folder.
const char Name[] = "korvane";
const char Key[] = "language";
const char LegacyFile[] = "language.txt";
// Far more than "0" or "1" with blanks around it.
constexpr qint64 LargestFile = 4096;

bool isLanguage(int value)
{
    return value == 0 || value == 1;
}

} // namespace

int LanguageSettings::read()
{
    const QSettings settings(Name, Name);
    if (settings.contains(Key)) {
        bool ok = false;
        const int value = settings.value(Key).toInt(&ok);
        return ok && isLanguage(value) ? value : -1;
    }
    const int legacy = readFile(LegacyFile);
    // From now on the setting answers, whatever becomes of the file.
    if (legacy >= 0)
        write(legacy);
    return legacy;
}

void LanguageSettings::write(int value)
{
    QSettings settings(Name, Name);
    settings.setValue(Key, value);
    settings.sync();
}

int LanguageSettings::systemLanguage()
{
    return QLocale::system().language() == QLocale::Chinese ? 1 : 0;
}

int LanguageSettings::readFile(const QString &path)
{
    QByteArray content;
    if (NamedFile::read(path, LargestFile, &content) != NamedFile::Read)
        return -1;
    std::istringstream text(content.toStdString());
    // Text that is no number extracts as 0; nothing but blanks leaves the 2.
    int value = 2;
    text >> value;
    return isLanguage(value) ? value : -1;
}
