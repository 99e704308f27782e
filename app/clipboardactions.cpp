#include "app/clipboardactions.h"

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
};

const Entry entries[] = {
    {"cut", 22, "剪切", "Ctrl+X"},
    {"copy", 19, "复制", "Ctrl+C"},
    {"paste", 18, "粘贴", "Ctrl+V"},
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

QList<QAction *> ClipboardActions::create(QWidget *owner, int language)
{
    QList<QAction *> actions;
    for (const Entry &entry : entries) {
        const QString word = QString::fromUtf8(language == 1 ? entry.chinese : entry.english);
        const int blanks = language == 1 ? 22 : entry.englishBlanks;
        actions << new QAction(word + QString(blanks, QLatin1Char(' ')) + QLatin1String(entry.keys), owner);
    }
    return actions;
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
