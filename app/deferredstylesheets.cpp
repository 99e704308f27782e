#include "app/deferredstylesheets.h"

#include <QEvent>
#include <QWidget>

void DeferredStyleSheets::deferUntilShown(QWidget *view)
{
    view->installEventFilter(new DeferredStyleSheets(view));
}

DeferredStyleSheets::DeferredStyleSheets(QWidget *view) : QObject(view)
{
    for (QWidget *widget : view->findChildren<QWidget *>())
        if (!widget->styleSheet().isEmpty())
            kept.append({widget, widget->styleSheet()});
    // Children first: a parent losing its sheet would polish the children that still have theirs.
    for (auto it = kept.crbegin(); it != kept.crend(); ++it)
        it->widget->setStyleSheet(QString());
}

bool DeferredStyleSheets::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        restore();
        watched->removeEventFilter(this);
        deleteLater();
    }
    return false;
}

// A sheet given to a widget in the meantime (a language's caption) stays.
void DeferredStyleSheets::restore()
{
    for (const Kept &entry : qAsConst(kept))
        if (entry.widget && entry.widget->styleSheet().isEmpty())
            entry.widget->setStyleSheet(entry.sheet);
    kept.clear();
}
