#include "app/clipboardactions.h"

#include "app/mainwindow.h"
#include "common/log.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

namespace {

struct Entry
{
    const char *english;
    int englishBlanks;
    const char *chinese;
    const char *keys; // only shown: the line edits keep their own shortcuts
    void (MainWindow::*slot)();
};

const Entry entries[] = {
    {"cut", 22, "剪切", "Ctrl+X", &MainWindow::cut},
    {"copy", 19, "复制", "Ctrl+C", &MainWindow::copy},
    {"paste", 18, "粘贴", "Ctrl+V", &MainWindow::paste},
};

QLineEdit *focusedLineEdit()
{
    return qobject_cast<QLineEdit *>(QApplication::focusWidget());
}

void traceSender(const QObject *sender)
{
    LOG_TRACE().noquote() << "name" << (sender ? sender->objectName() : QString());
}

} // namespace

void ClipboardActions::create(MainWindow *window, QWidget *owner, int language)
{
    for (const Entry &entry : entries) {
        const QString word = QString::fromUtf8(language == 1 ? entry.chinese : entry.english);
        const int blanks = language == 1 ? 22 : entry.englishBlanks;
        auto *action = new QAction(word + QString(blanks, QLatin1Char(' ')) + QLatin1String(entry.keys), owner);
        window->addAction(action);
        QObject::connect(action, &QAction::triggered, window, entry.slot);
    }
}

void ClipboardActions::cut(const QObject *sender)
{
    QLineEdit *edit = focusedLineEdit();
    if (!edit)
        return;
    LOG_TRACE() << "get the focus";
    QApplication::clipboard()->setText(edit->text(), QClipboard::Clipboard);
    edit->setText(QString());
    traceSender(sender);
}

void ClipboardActions::copy(const QObject *sender)
{
    QLineEdit *edit = focusedLineEdit();
    if (!edit)
        return;
    QApplication::clipboard()->setText(edit->text(), QClipboard::Clipboard);
    traceSender(sender);
}

void ClipboardActions::paste()
{
    if (QLineEdit *edit = focusedLineEdit())
        edit->setText(QApplication::clipboard()->text(QClipboard::Clipboard));
}
