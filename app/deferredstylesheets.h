#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class QWidget;

// A style sheet costs start-up time in every widget it reaches, shown or not:
// each polish works out the sheet's rules and looks at its images. This keeps
// the sheets of a view's widgets aside until the view is first shown, so a
// view the user never opens costs nothing, and one opened looks as it always did.
class DeferredStyleSheets : public QObject
{
public:
    // Takes the sheets of the widgets inside view (not the view's own). Call it
    // before the view's parents get their sheets: a parent's sheet polishes every
    // widget below it that has a sheet of its own.
    static void deferUntilShown(QWidget *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DeferredStyleSheets(QWidget *view);
    void restore();

    struct Kept
    {
        QPointer<QWidget> widget;
        QString sheet;
    };
    QVector<Kept> kept; // parents before their children
};
