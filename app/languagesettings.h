#pragma once

class QString;

// The remembered interface language, 0 (English) or 1 (Chinese), kept with
// QSettings in the user's configuration folder (korvane/korvane.conf). Where
// nothing is kept yet, a language.txt in the current directory, as earlier
// versions wrote it, is taken over once; that file is never written.
class LanguageSettings
{
public:
    // The remembered language, or -1 when there is none or it is no language.
    static int read();
    // Kept at once: the window ends the process without running destructors.
    static void write(int value);
    // 1 when the system locale's language is Chinese, otherwise 0.
    static int systemLanguage();
    // The language a file of the language.txt form holds: a decimal number
    // after optional blanks, "0" or "1". -1 when the file is missing, no
    // regular file, empty or larger than such a file can be, or holds another number.
    static int readFile(const QString &path);
};
