#pragma once

#include <QWidget>

// The refresh runs on every idle pass of the event loop. These touch a widget
// only when its state differs, so a pass in which nothing changed posts no
// events and allocates nothing.

inline void setShown(QWidget *widget, bool shown)
{
    if (widget->isHidden() == shown)
        widget->setVisible(shown);
}

inline void setActive(QWidget *widget, bool enabled)
{
    if (widget->testAttribute(Qt::WA_ForceDisabled) == enabled)
        widget->setEnabled(enabled);
}
