#include "controls.h"

#include "canvas.h"
#include "palette.h"

#include <QFont>
#include <QPainterPath>
#include <QString>

QImage pickButton(const QSize &size, const QString &text)
{
    Canvas canvas(size);
    QPainter &p = canvas.painter();
    const QRectF face = QRectF(QPointF(0, 0), size).adjusted(2, 2, -2, -4);
    const qreal radius = face.height() * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(face.translated(0, 2.5), radius, radius);

    p.setPen(QPen(Palette::blueDeep, 1.2));
    p.setBrush(ramp({0, face.top()}, {0, face.bottom()},
                    {{0, Palette::blueLight}, {0.5, Palette::blue}, {1, Palette::blueDeep}}));
    p.drawRoundedRect(face, radius, radius);

    const QRectF shine = face.adjusted(3, 2, -3, -face.height() / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(
        ramp({0, shine.top()}, {0, shine.bottom()}, {{0, QColor(255, 255, 255, 120)}, {1, QColor(255, 255, 255, 15)}}));
    p.drawRoundedRect(shine, radius * 0.8, radius * 0.8);

    const QFont font = uiFont(text, face.height() * 0.45, true);
    const QRectF label = face.adjusted(14, 0, -14, 0);
    drawCentredText(p, label.translated(0, 1.2), text, font, Palette::blueDeep);
    drawCentredText(p, label, text, font, Qt::white);
    return canvas.finish();
}

QImage linkIcon(const QSize &size)
{
    Canvas canvas(size, {100, 100});
    QPainter &p = canvas.painter();
    p.setPen(QPen(QColor(0, 0, 0, 90), 2));
    p.setBrush(ramp({0, 2}, {0, 98}, {{0, Palette::slateLight}, {1, Palette::slate}}));
    p.drawEllipse(QPointF(50, 50), 47, 47);
    p.setPen(QPen(QColor(255, 255, 255, 60), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 42, 42);

    p.translate(50, 50);
    p.rotate(-45);
    p.setPen(QPen(Qt::white, 7.5));
    p.drawRoundedRect(QRectF(-31, -9.5, 36, 19), 9.5, 9.5);
    p.drawRoundedRect(QRectF(-5, -9.5, 36, 19), 9.5, 9.5);
    return canvas.finish();
}

QImage captionPlate(const QSize &size)
{
    Canvas canvas(size);
    QPainter &p = canvas.painter();
    const QRectF plate = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1);
    const qreal radius = plate.height() * 0.25;
    p.setPen(QPen(QColor(0x22, 0x25, 0x2a), 1));
    p.setBrush(ramp({0, plate.top()}, {0, plate.bottom()}, {{0, Palette::slateLight}, {1, Palette::slate}}));
    p.drawRoundedRect(plate, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(QPointF(plate.left() + radius, plate.top() + 1.5), QPointF(plate.right() - radius, plate.top() + 1.5));

    QFont font = uiFont(QStringLiteral("KORVANE"), plate.height() * 0.5, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    drawCentredText(p, plate, QStringLiteral("KORVANE"), font, QColor(0xe8, 0xec, 0xf0));
    return canvas.finish();
}

QImage dropDownArrow(const QSize &size)
{
    Canvas canvas(size, {16, 16});
    QPainter &p = canvas.painter();
    const QPolygonF chevron({{3.5, 6}, {12.5, 6}, {8, 11}});
    p.setPen(QPen(QColor(255, 255, 255, 170), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(chevron);
    p.setPen(QPen(Palette::captionText, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Palette::captionText);
    p.drawPolygon(chevron);
    return canvas.finish();
}

QImage patternStrip(const QSize &size, const QColor &light, const QColor &deep)
{
    Canvas canvas(size);
    QPainter &p = canvas.painter();
    const QRectF strip = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1);
    const qreal radius = strip.height() * 0.25;
    QPainterPath shape;
    shape.addRoundedRect(strip, radius, radius);

    p.setPen(Qt::NoPen);
    p.setBrush(ramp({0, strip.top()}, {0, strip.bottom()}, {{0, light}, {1, deep}}));
    p.drawPath(shape);

    p.setClipPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 45), strip.height() * 0.18));
    for (qreal x = -strip.height(); x < strip.right() + strip.height(); x += strip.height() * 0.45)
        p.drawLine(QPointF(x, strip.bottom()), QPointF(x + strip.height(), strip.top()));
    p.setPen(Qt::NoPen);
    p.setBrush(ramp({0, strip.top()}, {0, strip.center().y()},
                    {{0, QColor(255, 255, 255, 110)}, {1, QColor(255, 255, 255, 0)}}));
    p.drawRect(strip.adjusted(0, 0, 0, -strip.height() / 2));
    p.setClipping(false);
    p.setPen(QPen(deep.darker(120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    return canvas.finish();
}
