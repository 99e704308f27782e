#include "emblems.h"

#include "canvas.h"
#include "palette.h"

#include <QPainterPath>
#include <QtMath>

// --- home: glossy green button with a white house -------------------------------------

static QPainterPath housePath()
{
    QPainterPath body;
    body.addRect(QRectF(33, 47, 34, 28));
    QPainterPath door;
    door.addRoundedRect(QRectF(45, 58, 10, 17), 2, 2);
    QPainterPath chimney;
    chimney.addRect(QRectF(60, 29, 7, 14));
    QPainterPath roof;
    roof.addPolygon(QPolygonF({{50, 22}, {79, 48}, {73, 52}, {50, 31}, {27, 52}, {21, 48}}));
    return body.united(roof).united(chimney).subtracted(door).simplified();
}

QImage homeEmblem(const QSize &size)
{
    Canvas canvas(size, {100, 108.5});
    QPainter &p = canvas.painter();
    const QPointF centre(50, 49);
    softShadow(p, {50, 101}, 36, 5.5);

    p.setPen(Qt::NoPen);
    p.setBrush(ramp({0, 2}, {0, 96}, {{0, Palette::greenLight.lighter(115)}, {1, Palette::greenDeep.darker(130)}}));
    p.drawEllipse(centre, 47, 47);

    p.setBrush(radial({50, 82}, 62, {{0, Palette::greenLight}, {0.55, Palette::green}, {1, Palette::greenDeep}}));
    p.drawEllipse(centre, 43, 43);

    const QPainterPath house = housePath();
    p.setBrush(QColor(0, 60, 20, 110));
    p.drawPath(house.translated(1.2, 2));
    p.setBrush(Qt::white);
    p.drawPath(house);

    p.setClipPath(circlePath(centre, 43));
    p.setBrush(ramp({0, 7}, {0, 48}, {{0, QColor(255, 255, 255, 190)}, {1, QColor(255, 255, 255, 12)}}));
    p.drawEllipse(QRectF(15, 7, 70, 44));
    p.setClipping(false);
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 43, 43);
    return canvas.finish();
}

// --- globe circled by an arrow ------------------------------------------------------------

// A tilted ellipse around the globe; its upper half runs behind the sphere.
struct Orbit
{
    QPointF centre;
    qreal rx;
    qreal ry;
    qreal tilt;

    QPointF at(qreal degrees) const
    {
        const qreal a = qDegreesToRadians(degrees);
        return QTransform().translate(centre.x(), centre.y()).rotate(tilt).map(QPointF(rx * qCos(a), -ry * qSin(a)));
    }
    QPainterPath arc(qreal from, qreal to) const
    {
        QPainterPath path(at(from));
        for (qreal a = from + 2; a < to; a += 2)
            path.lineTo(at(a));
        path.lineTo(at(to));
        return path;
    }
};

constexpr qreal orbitTail = 28;
constexpr qreal orbitHeadBase = 318;

static void drawOrbitBack(QPainter &p, const Orbit &orbit)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Palette::orangeDeep, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(orbit.arc(orbitTail, 180));
}

static void drawOrbitFront(QPainter &p, const Orbit &orbit)
{
    const QPainterPath front = orbit.arc(180, orbitHeadBase);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Palette::orange, 5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(front);
    p.setPen(QPen(Palette::yellowLight, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(front.translated(0, -1.2));

    const QPointF base = orbit.at(orbitHeadBase);
    QPointF along = orbit.at(orbitHeadBase + 2) - orbit.at(orbitHeadBase - 2);
    along /= std::hypot(along.x(), along.y());
    const QPointF across(-along.y(), along.x());
    p.setPen(QPen(Palette::orangeDeep, 0.6));
    p.setBrush(ramp(base - across * 6, base + across * 6, {{0, Palette::yellow}, {1, Palette::orangeDeep}}));
    p.drawPolygon(QPolygonF({base + across * 6.5, base + along * 12, base - across * 6.5}));
}

static void drawGlobe(QPainter &p, const QPointF &c, qreal r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(radial(c + QPointF(-0.35 * r, -0.4 * r), 1.5 * r,
                      {{0, QColor(0xa8, 0xdb, 0xff)}, {0.45, QColor(0x2b, 0x84, 0xe6)}, {1, Palette::blueDeep}}));
    p.drawEllipse(c, r, r);

    p.save();
    p.setClipPath(circlePath(c, r));
    const QTransform unit = QTransform().translate(c.x(), c.y()).scale(r, r);
    const QVector<QVector<QPointF>> lands = {
        {{-0.75, -0.55},
         {-0.35, -0.75},
         {-0.12, -0.45},
         {-0.35, -0.15},
         {-0.22, 0.15},
         {-0.08, 0.45},
         {-0.3, 0.85},
         {-0.52, 0.45},
         {-0.72, 0.05},
         {-0.9, -0.2}},
        {{0.15, -0.8},
         {0.58, -0.68},
         {0.75, -0.35},
         {0.45, -0.2},
         {0.62, 0.1},
         {0.5, 0.5},
         {0.3, 0.72},
         {0.2, 0.35},
         {0.08, 0.0},
         {0.25, -0.3}},
        {{0.66, 0.42}, {0.88, 0.38}, {0.82, 0.62}, {0.6, 0.64}},
    };
    p.setBrush(
        ramp(c - QPointF(0, r), c + QPointF(0, r), {{0, QColor(0x9c, 0xe6, 0x6a)}, {1, QColor(0x2c, 0x8c, 0x34)}}));
    for (const auto &outline : lands)
        p.drawPath(unit.map(smoothClosed(outline)));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 70), r * 0.025));
    for (qreal k : {0.0, 0.4, 0.75})
        p.drawEllipse(c, r * k, r);
    for (qreal y : {-0.5, 0.0, 0.5}) {
        const qreal half = r * std::sqrt(1 - y * y);
        p.drawLine(QPointF(c.x() - half, c.y() + y * r), QPointF(c.x() + half, c.y() + y * r));
    }

    p.setPen(Qt::NoPen);
    p.setBrush(radial(c, r, {{0.65, QColor(0, 20, 70, 0)}, {1, QColor(0, 20, 70, 130)}}));
    p.drawEllipse(c, r, r);
    p.restore();

    const QPointF shine = c + QPointF(-0.4 * r, -0.55 * r);
    p.setBrush(radial(shine, 0.45 * r, {{0, QColor(255, 255, 255, 200)}, {1, QColor(255, 255, 255, 0)}}));
    p.drawEllipse(shine, 0.45 * r, 0.3 * r);
    p.setPen(QPen(Palette::blueDeep, r * 0.03));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
}

static void drawGlobeWithOrbit(QPainter &p, const QPointF &c)
{
    const Orbit orbit{c, 45, 14, -16};
    drawOrbitBack(p, orbit);
    drawGlobe(p, c, 32);
    drawOrbitFront(p, orbit);
}

QImage globeIcon(const QSize &size)
{
    Canvas canvas(size, {100, 105.6});
    softShadow(canvas.painter(), {50, 98}, 30, 4);
    drawGlobeWithOrbit(canvas.painter(), {50, 54});
    return canvas.finish();
}

QImage greyGlobeIcon(const QSize &size)
{
    QImage image = globeIcon(size).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int v = 70 + qGray(line[x]) * 6 / 10;
            line[x] = qRgba(v, v, v, qAlpha(line[x]));
        }
    }
    return image;
}

static void drawSparkle(QPainter &p, const QPointF &c, qreal r)
{
    QPainterPath star(polar(c, r, 0));
    for (int i = 1; i <= 4; ++i)
        star.quadTo(c, polar(c, r, 90 * i));
    p.setPen(Qt::NoPen);
    p.setBrush(radial(c, r, {{0, Qt::white}, {0.35, Palette::yellowLight}, {1, Palette::yellow}}));
    p.drawPath(star);
}

QImage sparklingGlobeIcon(const QSize &size)
{
    Canvas canvas(size, {100, 115.2});
    QPainter &p = canvas.painter();
    softShadow(p, {50, 108}, 30, 4);
    drawGlobeWithOrbit(p, {50, 64});
    drawSparkle(p, {84, 20}, 12);
    drawSparkle(p, {16, 22}, 8);
    drawSparkle(p, {93, 45}, 6);
    drawSparkle(p, {62, 9}, 5);
    return canvas.finish();
}

// --- two meshing gear wheels ----------------------------------------------------------------

struct Gear
{
    QPointF centre;
    qreal tip;
    qreal root;
    int teeth;
    qreal hole;
    int windows;
};

static QPainterPath toothedOutline(const Gear &g)
{
    const qreal pitch = 360.0 / g.teeth;
    QPolygonF outline;
    for (int i = 0; i < g.teeth; ++i) {
        const qreal a = i * pitch;
        outline << polar(g.centre, g.root, a - 0.5 * pitch) << polar(g.centre, g.root, a - 0.27 * pitch)
                << polar(g.centre, g.tip, a - 0.13 * pitch) << polar(g.centre, g.tip, a + 0.13 * pitch)
                << polar(g.centre, g.root, a + 0.27 * pitch);
    }
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

static QLinearGradient metalShade(const Gear &g, bool sunken)
{
    const QPointF reach(g.tip, g.tip);
    const QColor &lit = sunken ? Palette::metalDeep : Palette::metalLight;
    const QColor &dim = sunken ? Palette::metalLight : Palette::metalDeep;
    return ramp(g.centre - reach, g.centre + reach, {{0, lit}, {0.5, Palette::metal}, {1, dim}});
}

static void drawGear(QPainter &p, const Gear &g)
{
    const qreal hubRadius = g.hole * 1.9;
    const qreal recessRadius = g.root * 0.72;
    QPainterPath holes = circlePath(g.centre, g.hole);
    const qreal windowRadius = (recessRadius - hubRadius) * 0.36;
    for (int k = 0; k < g.windows; ++k)
        holes.addPath(
            circlePath(polar(g.centre, (recessRadius + hubRadius) / 2, 90 + k * 360.0 / g.windows), windowRadius));

    const QPen edge(Palette::metalDeep.darker(115), 0.7);
    p.setPen(edge);
    p.setBrush(metalShade(g, false));
    p.drawPath(toothedOutline(g).subtracted(holes));
    p.setBrush(metalShade(g, true));
    p.drawPath(circlePath(g.centre, recessRadius).subtracted(circlePath(g.centre, hubRadius)).subtracted(holes));
    p.setBrush(metalShade(g, false));
    p.drawPath(circlePath(g.centre, hubRadius).subtracted(holes));
}

QImage gearsIcon(const QSize &size)
{
    Canvas canvas(size, {100, 107.4});
    QPainter &p = canvas.painter();
    softShadow(p, {50, 102}, 40, 4.5);
    // Pitch radii 31 and 20.7 with equal tooth size; a gap of the large wheel faces a
    // tooth of the small one along the 45 degree line between the centres.
    const QPointF big(38, 64);
    drawGear(p, {big, 34, 28, 12, 6, 6});
    drawGear(p, {polar(big, 51.7, 45), 23.5, 18, 8, 4, 5});
    return canvas.finish();
}

// --- three arrows chasing each other round a circle ----------------------------------------

static QPainterPath circularArrow(const QPointF &c, qreal start)
{
    constexpr qreal inner = 26, outer = 40, wing = 6, body = 80, head = 22, notch = 7;
    const qreal mid = (inner + outer) / 2;
    const QRectF outerBox(c - QPointF(outer, outer), QSizeF(2 * outer, 2 * outer));
    const QRectF innerBox(c - QPointF(inner, inner), QSizeF(2 * inner, 2 * inner));
    QPainterPath path(polar(c, outer, start));
    path.arcTo(outerBox, start, -body);
    path.lineTo(polar(c, outer + wing, start - body));
    path.lineTo(polar(c, mid, start - body - head));
    path.lineTo(polar(c, inner - wing, start - body));
    path.lineTo(polar(c, inner, start - body));
    path.arcTo(innerBox, start - body, body);
    path.lineTo(polar(c, mid, start - notch));
    path.closeSubpath();
    return path;
}

QImage upgradeArrowsIcon(const QSize &size)
{
    Canvas canvas(size, {100, 100});
    QPainter &p = canvas.painter();
    const QPointF c(50, 50);
    const QColor colours[3][3] = {{Palette::redLight, Palette::red, Palette::redDeep},
                                  {Palette::greenLight, Palette::green, Palette::greenDeep},
                                  {Palette::yellowLight, Palette::yellow, Palette::yellowDeep}};
    QPainterPath all;
    for (int i = 0; i < 3; ++i) {
        const QPainterPath arrow = circularArrow(c, 90 + i * 120);
        all.addPath(arrow);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 55));
        p.drawPath(arrow.translated(1.2, 2.2));
        p.setPen(QPen(colours[i][2], 0.8));
        p.setBrush(radial(c, 47, {{0.5, colours[i][0]}, {0.7, colours[i][1]}, {1, colours[i][2]}}));
        p.drawPath(arrow);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(radial(c + QPointF(-12, -16), 40, {{0, QColor(255, 255, 255, 120)}, {1, QColor(255, 255, 255, 0)}}));
    p.drawPath(all);
    return canvas.finish();
}
