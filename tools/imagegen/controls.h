#pragma once

class QColor;
class QImage;
class QSize;
class QString;

// Small pieces of the controls: buttons, plates, strips and glyphs.
QImage pickButton(const QSize &size, const QString &text);
QImage linkIcon(const QSize &size);
QImage captionPlate(const QSize &size);
QImage dropDownArrow(const QSize &size);
QImage patternStrip(const QSize &size, const QColor &light, const QColor &deep);
