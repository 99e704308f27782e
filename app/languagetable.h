#pragma once

class QWidget;

// Every widget whose image, text or geometry depends on the interface
// language, and what it shows in English and in Chinese. Widgets are found by
// object name under the window (the form's widgets and the home page's).
class LanguageTable
{
public:
    // language: 0 English, 1 Chinese.
    static void apply(QWidget *window, int language);
};
