#include "pictures.h"

#include "canvas.h"
#include "palette.h"

#include <QPainterPath>
#include <QtMath>

// --- parchment scroll with a blue quill -------------------------------------------------------

static void drawRoll(QPainter &p, const QRectF &roll)
{
    p.setPen(QPen(Palette::parchmentDeep.darker(120), 0.7));
    p.setBrush(ramp({0, roll.top()}, {0, roll.bottom()},
                    {{0, Palette::parchment}, {0.35, Palette::parchmentLight}, {1, Palette::parchmentDeep}}));
    const qreal radius = roll.height() / 2;
    p.drawRoundedRect(roll, radius, radius);
    for (qreal x : {roll.left() + radius * 0.55, roll.right() - radius * 0.55}) {
        const QPointF end(x, roll.center().y());
        p.setBrush(Palette::parchmentDeep);
        p.drawEllipse(end, radius * 0.45, radius * 0.95);
        p.setBrush(Palette::parchment);
        p.drawEllipse(end, radius * 0.2, radius * 0.45);
    }
}

static void drawQuill(QPainter &p, const QPointF &nib, qreal degrees, qreal length)
{
    p.save();
    p.translate(nib);
    p.rotate(-degrees);
    QPainterPath vane(QPointF(14, 0));
    vane.cubicTo(30, -13, 68, -15, length, 0);
    vane.cubicTo(70, 9, 32, 8, 14, 0);
    p.setPen(QPen(Palette::blueDeep, 0.6));
    p.setBrush(ramp({0, -12}, {0, 8}, {{0, Palette::blueLight}, {0.55, Palette::blue}, {1, Palette::blueDeep}}));
    p.drawPath(vane);

    p.setClipPath(vane);
    p.setPen(QPen(QColor(255, 255, 255, 80), 0.7));
    for (qreal x = 20; x < length; x += 5) {
        p.drawLine(QPointF(x, 0), QPointF(x + 9, -14));
        p.drawLine(QPointF(x, 0), QPointF(x + 7, 10));
    }
    p.setClipping(false);
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 0), QPointF(length - 2, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x44, 0x44, 0x48));
    p.drawPolygon(QPolygonF({{-5, 0}, {14, -2.6}, {14, 2.6}}));
    p.restore();
}

QImage scrollWithQuill(const QSize &size)
{
    Canvas canvas(size, {100, 115});
    QPainter &p = canvas.painter();
    softShadow(p, {50, 109}, 38, 4.5);

    const QRectF sheet(19, 20, 58, 76);
    p.setPen(QPen(Palette::parchmentDeep, 0.7));
    p.setBrush(ramp({sheet.left(), 0}, {sheet.right(), 0},
                    {{0, Palette::parchment},
                     {0.3, Palette::parchmentLight},
                     {0.7, Palette::parchmentLight},
                     {1, Palette::parchment}}));
    p.drawRect(sheet);

    p.setPen(QPen(QColor(0x8a, 0x6a, 0x38, 150), 1.8, Qt::SolidLine, Qt::RoundCap));
    const qreal ends[] = {69, 66, 70, 62, 68, 65, 50};
    for (int k = 0; k < 7; ++k)
        p.drawLine(QPointF(27, 36 + k * 8), QPointF(ends[k], 36 + k * 8));

    drawRoll(p, QRectF(13, 11, 70, 16));
    drawRoll(p, QRectF(13, 89, 70, 16));
    drawQuill(p, {46, 84}, 56, 92);
    return canvas.finish();
}

// --- paper plane over a folded map ----------------------------------------------------------

// The logo page shows this unscaled in a label lower than the image, which cuts off the
// top and bottom seventh: the drawing keeps within the band between.
QImage planeOverMap(const QSize &size)
{
    Canvas canvas(size, {100, 100});
    QPainter &p = canvas.painter();
    const QPolygonF map({{6, 38}, {34, 32}, {64, 38}, {94, 32}, {94, 78}, {64, 84}, {34, 78}, {6, 84}});
    QPainterPath mapShape;
    mapShape.addPolygon(map);
    mapShape.closeSubpath();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        const QPolygonF panel({map[i], map[i + 1], map[6 - i], map[7 - i]});
        p.setBrush(i % 2 ? QColor(0xd3, 0xe6, 0xc4) : QColor(0xea, 0xf4, 0xdf));
        p.drawPolygon(panel);
    }
    p.save();
    p.setClipPath(mapShape);
    p.setBrush(QColor(0xa8, 0xd4, 0xf5));
    p.drawPath(smoothClosed({{60, 50}, {84, 44}, {102, 56}, {96, 80}, {74, 78}, {64, 66}}));
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
    p.drawLine(QPointF(6, 60), QPointF(60, 72));
    p.drawLine(QPointF(24, 30), QPointF(40, 92));
    p.restore();
    p.setPen(QPen(QColor(0x90, 0xa8, 0x80), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(map);

    QPainterPath route(QPointF(20, 72));
    route.cubicTo(32, 54, 46, 66, 58, 48);
    p.setPen(QPen(Palette::red, 1.6, Qt::DashLine, Qt::RoundCap));
    p.drawPath(route);
    p.setPen(QPen(Palette::redDeep, 0.8));
    p.setBrush(Palette::red);
    p.drawEllipse(QPointF(20, 72), 3.2, 3.2);

    const QPointF nose(26, 0), upperTail(-22, -15), fold(-7, 3), lowerTail(-14, 17), keel(-11, 7);
    const QTransform flight = QTransform().translate(68, 30).rotate(-28);
    const QPolygonF outline = flight.map(QPolygonF({nose, upperTail, fold, lowerTail}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 30, 80, 40));
    p.drawPolygon(QTransform().translate(50, 50).scale(0.8, 0.45).translate(-50, -30).map(outline));

    p.setTransform(flight, true);
    p.setPen(QPen(Palette::blueDeep, 0.7, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Palette::blueLight);
    p.drawPolygon(QPolygonF({nose, upperTail, fold}));
    p.setBrush(Palette::blueDeep);
    p.drawPolygon(QPolygonF({nose, fold, keel}));
    p.setBrush(Palette::blue);
    p.drawPolygon(QPolygonF({nose, keel, lowerTail}));
    return canvas.finish();
}
