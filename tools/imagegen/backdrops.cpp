#include "backdrops.h"

#include "canvas.h"
#include "palette.h"

#include <QPainterPath>

// Only smooth gradients and a few strokes: the large images must stay small as PNG.

// Beyond the area too: a canvas whose aspect differs a little from the design's
// gets no transparent seam.
static void fillVertical(QPainter &p, const QRectF &area, const QGradientStops &stops)
{
    p.fillRect(area.adjusted(-area.width(), -area.height(), area.width(), area.height()),
               ramp({0, area.top()}, {0, area.bottom()}, stops));
}

static void glow(QPainter &p, const QPointF &centre, qreal radius, int alpha)
{
    p.setPen(Qt::NoPen);
    p.setBrush(radial(centre, radius, {{0, QColor(255, 255, 255, alpha)}, {1, QColor(255, 255, 255, 0)}}));
    p.drawEllipse(centre, radius, radius);
}

// Wide faint bands with a fine bright line in them, sweeping up across the area; the
// tint's alpha sets their strength.
static void drawLightArcs(QPainter &p, const QRectF &area, const QColor &tint)
{
    p.save();
    p.setClipRect(area);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 4; ++k) {
        const QPointF centre(area.left() + area.width() * (0.22 + 0.19 * k),
                             area.bottom() + area.height() * (0.8 - 0.15 * k));
        const qreal rx = area.width() * (0.48 + 0.07 * k);
        const qreal ry = area.height() * (1.1 + 0.12 * k);
        QColor band = tint;
        band.setAlphaF(tint.alphaF() * 0.07);
        p.setPen(QPen(band, area.height() * 0.08));
        p.drawEllipse(centre, rx, ry);
        band.setAlphaF(tint.alphaF() * 0.3);
        p.setPen(QPen(band, qMax(1.2, area.height() * 0.004)));
        p.drawEllipse(centre, rx, ry);
    }
    p.restore();
}

// A light ground below a gently curved edge, where dark captions and links stay legible.
static void drawGround(QPainter &p, const QRectF &area, qreal edge, qreal crest)
{
    QPainterPath rim(QPointF(area.left(), edge));
    rim.quadTo(QPointF(area.center().x(), 2 * crest - edge), QPointF(area.right(), edge));
    QPainterPath ground = rim;
    ground.lineTo(area.bottomRight());
    ground.lineTo(area.bottomLeft());
    ground.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ramp({0, crest}, {0, area.bottom()}, {{0, QColor(0xf2, 0xf8, 0xff)}, {1, Palette::sky}}));
    p.drawPath(ground);
    p.setPen(QPen(QColor(255, 255, 255, 220), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rim);
}

static void drawGlassPanel(QPainter &p, const QRectF &panel)
{
    const qreal radius = 16;
    p.setBrush(Qt::NoBrush);
    for (int k = 1; k <= 8; ++k) {
        p.setPen(QPen(QColor(0, 20, 60, 7), 2));
        p.drawRoundedRect(panel.adjusted(-k, -k + 4, k, k + 4), radius + k, radius + k);
    }
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.5));
    p.setBrush(ramp({0, panel.top()}, {0, panel.bottom()},
                    {{0, QColor(255, 255, 255, 165)}, {1, QColor(255, 255, 255, 110)}}));
    p.drawRoundedRect(panel, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel.adjusted(4, 4, -4, -4), radius - 4, radius - 4);
}

QImage homeBackground(const QSize &size)
{
    const QRectF area(0, 0, 1152, 600);
    Canvas canvas(size, area.size());
    QPainter &p = canvas.painter();
    fillVertical(p, area,
                 {{0, QColor(0x0b, 0x4a, 0x9c)}, {0.6, QColor(0x1a, 0x78, 0xd6)}, {1, QColor(0x12, 0x62, 0xbe)}});
    glow(p, {576, 240}, 560, 55);
    drawLightArcs(p, area.adjusted(0, 0, 0, -80), Qt::white);
    glow(p, {590, 216}, 135, 80);
    drawGround(p, area, 524, 498);
    drawGlassPanel(p, QRectF(296, 312, 588, 172));
    return canvas.finish();
}

QImage topBarBackground(const QSize &size)
{
    const QRectF area(0, 0, 1920, 294);
    Canvas canvas(size, area.size());
    QPainter &p = canvas.painter();
    fillVertical(p, area, {{0, QColor(0x0a, 0x3f, 0x88)}, {0.8, QColor(0x1d, 0x74, 0xd2)}});
    glow(p, {960, 120}, 700, 45);
    drawLightArcs(p, area.adjusted(0, 0, 0, -60), Qt::white);
    drawGround(p, area, 234, 216);
    return canvas.finish();
}

QImage pagePanel(const QSize &size)
{
    const QRectF area(0, 0, 1199, 666);
    Canvas canvas(size, area.size());
    QPainter &p = canvas.painter();
    // The page's picture sits left of the divider, its controls right of it; the panel is
    // shown at 0.58 scale, where x 480 falls in the gap between them.
    const QPointF top(480, 70), bottom(480, 596);
    const QColor ink(0x5f, 0x8f, 0xc4, 200), clear(0x5f, 0x8f, 0xc4, 0);
    p.setPen(QPen(ramp(top, bottom, {{0, clear}, {0.2, ink}, {0.8, ink}, {1, clear}}), 2.5, Qt::DashLine, Qt::FlatCap));
    p.drawLine(top, bottom);
    return canvas.finish();
}

QImage pageBackdrop(const QSize &size)
{
    const QRectF area(0, 0, 3000, 1104);
    Canvas canvas(size, area.size());
    QPainter &p = canvas.painter();
    fillVertical(p, area, {{0, QColor(0xf4, 0xf8, 0xfd)}, {1, QColor(0xcf, 0xe2, 0xf5)}});
    glow(p, {1500, 560}, 1300, 150);
    QColor tint = Palette::blue;
    tint.setAlpha(110);
    drawLightArcs(p, area, tint);
    return canvas.finish();
}
