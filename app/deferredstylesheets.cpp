#include "app/deferredstylesheets.h"

#include <QWidget>

void DeferredStyleSheets::deferUntilShown(QWidget *view)
{
    new DeferredStyleSheets(view, view, QEvent::Show, {});
}

void DeferredStyleSheets::deferWhileCovered(QWidget *view, QWidget *cover, std::function<void()> styleInCode)
{
    // Sent when the cover itself is hidden, also before the window is first shown,
    // but not when it goes with the whole window (closing, minimising).
    new DeferredStyleSheets(view, cover, QEvent::HideToParent, std::move(styleInCode));
}

DeferredStyleSheets::DeferredStyleSheets(QWidget *view, QWidget *trigger, QEvent::Type restoreOn,
                                         std::function<void()> styleInCode)
    : QObject(trigger), restoreOn(restoreOn), styleInCode(std::move(styleInCode))
{
    for (QWidget *widget : view->findChildren<QWidget *>())
        if (!widget->styleSheet().isEmpty())
            kept.append({widget, widget->styleSheet()});
    // Children first: a parent losing its sheet would polish the children that still have theirs.
    for (auto it = kept.crbegin(); it != kept.crend(); ++it)
        it->widget->setStyleSheet(QString());
    trigger->installEventFilter(this);
}

bool DeferredStyleSheets::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == restoreOn) {
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
    if (styleInCode)
        styleInCode();
}
