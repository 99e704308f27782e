#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <functional>

class QWidget;

// A style sheet costs start-up time in every widget it reaches, shown or not:
// each polish works out the sheet's rules and looks at its images. This keeps
// the sheets of a view's widgets aside until the user can first see the view,
// so a view never opened costs nothing, and one opened looks as it always did.
class DeferredStyleSheets : public QObject
{
public:
    // Takes the sheets of the widgets inside view (not the view's own) until
    // the view is first shown. Call it before the view's parents get their
    // sheets: a parent's sheet polishes every widget below it that has a sheet.
    static void deferUntilShown(QWidget *view);
    // For a view that is shown but lies wholly under cover, an opaque sibling
    // drawn above it: the sheets inside view wait until cover is first hidden,
    // then styleInCode gives the view the styling it gets from code.
    static void deferWhileCovered(QWidget *view, QWidget *cover, std::function<void()> styleInCode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DeferredStyleSheets(QWidget *view, QWidget *trigger, QEvent::Type restoreOn, std::function<void()> styleInCode);
    void restore();

    struct Kept
    {
        QPointer<QWidget> widget;
        QString sheet;
    };
    QVector<Kept> kept; // parents before their children
    QEvent::Type restoreOn;
    std::function<void()> styleInCode;
};
