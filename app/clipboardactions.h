#pragma once

class MainWindow;
class QObject;
class QWidget;

// The window's own context menu: cut, copy and paste of the whole text of the
// line edit that has the keyboard focus, through the system clipboard.
class ClipboardActions
{
public:
    // The three actions, owned by owner and added to the window's action list.
    // Their texts follow the language at creation and stay so.
    static void create(MainWindow *window, QWidget *owner, int language);

    // sender: the action that was triggered, for the trace.
    static void cut(const QObject *sender);
    static void copy(const QObject *sender);
    static void paste();
};
