#include "tests/support/modalwatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>

ModalWatcher::ModalWatcher(QObject *parent) : QObject(parent), timer(new QTimer(this))
{
    connect(timer, &QTimer::timeout, this, &ModalWatcher::look);
    timer->start(5);
}

QStringList ModalWatcher::texts() const
{
    QStringList result;
    for (const Box &box : seen)
        result << box.text;
    return result;
}

void ModalWatcher::look()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!box) {
        if (other)
            other(modal);
        else if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        return;
    }
    const QList<QAbstractButton *> buttons = box->buttons();
    seen.append({box->windowTitle(), box->text(), box->icon(), buttons.size(), box->parentWidget() != nullptr});
    QAbstractButton *chosen = box->button(answer);
    if (!chosen && !buttons.isEmpty())
        chosen = buttons.first();
    if (chosen)
        chosen->click();
    else
        box->reject();
}
