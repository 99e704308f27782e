#pragma once

#include "tests/support/modalwatcher.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QFileDialog;

// Answers the file dialogs the window opens, as a user would: picks the given
// file, or cancels when there is none. Message boxes are dismissed and recorded
// by the watcher underneath.
class DialogAnswers
{
public:
    struct Seen
    {
        QString title;
        QStringList filters;
        QString directory;
    };

    DialogAnswers();

    // The file the next dialogs are answered with; empty cancels them.
    void pick(const QString &path) { answer = path; }
    // Runs when the next dialog shows, instead of answering it; if the dialog is
    // still open at the next look, it is answered as usual.
    void onNextOpen(std::function<void()> action) { whileOpen = std::move(action); }

    const QVector<Seen> &dialogs() const { return seen; }
    int answered() const { return answers; } // accepted or cancelled here

    ModalWatcher boxes;

private:
    void handle(QFileDialog *dialog);

    QString answer;
    std::function<void()> whileOpen;
    QVector<Seen> seen;
    int answers = 0;
};
