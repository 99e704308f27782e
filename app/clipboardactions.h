#pragma once

#include <QList>

class QAction;
class QObject;
class QWidget;

// The window's own context menu: cut, copy and paste of the whole text of the
// line edit that has the keyboard focus, through the system clipboard.
class ClipboardActions
{
public:
    // The three actions, cut, copy and paste, owned by owner; the window adds
    // them to its action list. Their texts follow the language at creation and stay so.
    static QList<QAction *> create(QWidget *owner, int language);

    // sender: the action that was triggered, for the trace.
    static void cut(const QObject *sender);
    static void copy(const QObject *sender);
    static void paste();
};
