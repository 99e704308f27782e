#include "canvas.h"

#include "palette.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>

Canvas::Canvas(const QSize &pixels, const QSizeF &design) : m_image(pixels, QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QSizeF box = design.isEmpty() ? QSizeF(pixels) : design;
    const qreal scale = std::min(pixels.width() / box.width(), pixels.height() / box.height());
    m_painter.translate((pixels.width() - box.width() * scale) / 2, (pixels.height() - box.height() * scale) / 2);
    m_painter.scale(scale, scale);
}

QImage Canvas::finish()
{
    m_painter.end();
    return m_image;
}

QPointF polar(const QPointF &centre, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return centre + QPointF(radius * qCos(a), -radius * qSin(a));
}

QLinearGradient ramp(const QPointF &from, const QPointF &to, const QGradientStops &stops)
{
    QLinearGradient gradient(from, to);
    gradient.setStops(stops);
    return gradient;
}

QRadialGradient radial(const QPointF &centre, qreal radius, const QGradientStops &stops)
{
    QRadialGradient gradient(centre, radius);
    gradient.setStops(stops);
    return gradient;
}

QPainterPath circlePath(const QPointF &centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath smoothClosed(const QVector<QPointF> &corners)
{
    const int n = corners.size();
    const auto mid = [&](int i) { return (corners[i % n] + corners[(i + 1) % n]) / 2; };
    QPainterPath path;
    path.moveTo(mid(n - 1));
    for (int i = 0; i < n; ++i)
        path.quadTo(corners[i], mid(i));
    path.closeSubpath();
    return path;
}

void softShadow(QPainter &painter, const QPointF &centre, qreal rx, qreal ry)
{
    const QRadialGradient shade = radial(centre, rx, {{0, QColor(0, 0, 0, 80)}, {1, QColor(0, 0, 0, 0)}});
    painter.save();
    painter.translate(centre);
    painter.scale(1, ry / rx);
    painter.translate(-centre);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(centre, rx, rx);
    painter.restore();
}

bool hasHan(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Han; });
}

QFont uiFont(const QString &text, qreal pixels, bool bold)
{
    QFont font(QString::fromLatin1(hasHan(text) ? Palette::cjkFamily : Palette::latinFamily));
    font.setPixelSize(qMax(1, qRound(pixels)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawCentredText(QPainter &painter, const QRectF &box, const QString &text, QFont font, const QColor &colour)
{
    while (font.pixelSize() > 6 && QFontMetricsF(font).horizontalAdvance(text) > box.width())
        font.setPixelSize(font.pixelSize() - 1);
    const QFontMetricsF metrics(font);
    // Centre the ink, not the line box: Han glyphs fill the em square, Latin text is
    // centred on capitals and descenders so every caption shares one baseline rule.
    const QRectF ink = metrics.tightBoundingRect(hasHan(text) ? text : QStringLiteral("Hg"));
    const QPointF origin(box.center().x() - metrics.horizontalAdvance(text) / 2, box.center().y() - ink.center().y());
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(origin, text);
    painter.restore();
}
