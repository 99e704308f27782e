#pragma once

// The remembered interface language: the file language.txt in the current
// directory, holding "0" (English) or "1" (Chinese) and nothing else.
class LanguageSettings
{
public:
    // The stored language, or -1 when the file is missing, unreadable, empty or
    // holds another number.
    static int read();
    static void write(int value);
    // 1 when the system locale's language is Chinese, otherwise 0.
    static int systemLanguage();
};
