#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>

class QColor;
class QFont;
class QPainterPath;
class QString;

// A transparent image with a painter whose unit is the design box: the box is scaled
// uniformly and centred, so each motif is drawn once in its own coordinates whatever
// pixel size the screen needs.
class Canvas
{
public:
    explicit Canvas(const QSize &pixels, const QSizeF &design = QSizeF());
    QPainter &painter() { return m_painter; }
    QImage finish();

private:
    QImage m_image;
    QPainter m_painter;
};

// Point at `degrees` counter-clockwise from three o'clock, as seen on screen.
QPointF polar(const QPointF &centre, qreal radius, qreal degrees);
QLinearGradient ramp(const QPointF &from, const QPointF &to, const QGradientStops &stops);
QRadialGradient radial(const QPointF &centre, qreal radius, const QGradientStops &stops);
QPainterPath circlePath(const QPointF &centre, qreal radius);
// Closed smooth curve through the midpoints of the given corners.
QPainterPath smoothClosed(const QVector<QPointF> &corners);
void softShadow(QPainter &painter, const QPointF &centre, qreal rx, qreal ry);
bool hasHan(const QString &text);
// The CJK face for text with Han characters, the Latin face otherwise.
QFont uiFont(const QString &text, qreal pixels, bool bold = false);
// Draws text centred in box, shrinking the font until the text fits the width.
void drawCentredText(QPainter &painter, const QRectF &box, const QString &text, QFont font, const QColor &colour);
