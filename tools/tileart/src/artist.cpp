#include "artist.h"

#include <QtMath>

namespace tileart {

namespace {

// Proportions of a coin (the circle-suit token), relative to its radius.
constexpr qreal kCoinEye = 0.17;
constexpr qreal kCoinSquash = 0.1;

// Proportions of a bamboo stick, relative to its width.
constexpr qreal kNodeHeight = 0.26;
constexpr qreal kNodeGapHeight = 0.12;  // cut-out nodes must stay thin or the stick falls apart
constexpr qreal kNodeOverhang = 0.08;
constexpr qreal kShineWidth = 0.14;
constexpr qreal kShineOffset = 0.22;

constexpr int kNibPens = 7;  // round pens that together imitate a flat brush
constexpr qreal kGlyphJitter = 2.2;  // glyph units
constexpr qreal kTiltDegrees = 6;

QColor shaded(const QColor &colour, int factor)
{
    return colour.darker(factor);
}

}  // namespace

Artist::Artist(QPainter &painter, const Style &style, unsigned seed)
    : painter_(painter), style_(style), state_(seed * 2654435761u + 12345u)
{
}

qreal Artist::nextRandom()
{
    // xorshift: tiny, deterministic, good enough for hand-drawn jitter
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ % 20001u) / 10000.0 - 1.0;
}

QPointF Artist::wobble(QPointF point, qreal amount)
{
    const qreal scale = amount * style_.wobble;
    const qreal dx = nextRandom() * scale;
    const qreal dy = nextRandom() * scale;
    return point + QPointF(dx, dy);
}

qreal Artist::wobbleAngle(qreal maxDegrees)
{
    return nextRandom() * maxDegrees * style_.wobble;
}

void Artist::tiltAround(QPointF centre, qreal maxDegrees)
{
    painter_.translate(centre);
    painter_.rotate(wobbleAngle(maxDegrees));
    const qreal sx = 1.0 + nextRandom() * kCoinSquash * style_.wobble;
    const qreal sy = 1.0 + nextRandom() * kCoinSquash * style_.wobble;
    painter_.scale(sx, sy);
    painter_.translate(-centre);
}

void Artist::fill(const QPainterPath &shape, const QColor &colour)
{
    const bool contour = style_.outline.alpha() > 0 && style_.outlineWidth > 0;
    painter_.setPen(contour ? QPen(style_.outline, style_.outlineWidth, Qt::SolidLine, Qt::RoundCap,
                                   Qt::RoundJoin)
                            : QPen(Qt::NoPen));
    painter_.setBrush(colour);
    painter_.drawPath(shape);
}

void Artist::disc(QPointF centre, qreal radius, const QColor &colour)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    fill(path, colour);
}

QPainterPath Artist::centreLine(const Stroke &stroke, const QRectF &box, qreal jitter)
{
    std::vector<QPointF> pts;
    for (const QPointF &unit : stroke.points) {
        const QPointF wobbled = wobble(unit, jitter);
        pts.emplace_back(box.left() + wobbled.x() / 100.0 * box.width(),
                         box.top() + wobbled.y() / 100.0 * box.height());
    }
    QPainterPath path(pts.front());
    if (!stroke.smooth || pts.size() < 3) {
        for (size_t i = 1; i < pts.size(); ++i)
            path.lineTo(pts[i]);
        return path;
    }
    // Quadratic pieces through the midpoints give a brush-like curve.
    for (size_t i = 1; i + 2 < pts.size(); ++i)
        path.quadTo(pts[i], (pts[i] + pts[i + 1]) / 2);
    path.quadTo(pts[pts.size() - 2], pts.back());
    return path;
}

void Artist::strokePaths(const std::vector<QPainterPath> &lines, qreal width, qreal nib, const QColor &colour)
{
    // A flat brush is swept as a row of round pens side by side.
    const qreal reach = nib * width;
    const int pens = reach > 0 ? kNibPens : 1;
    // Contour first, ink second: crossing strokes then merge like real ink.
    const bool contour = style_.outline.alpha() > 0 && style_.outlineWidth > 0;
    const int passes = contour ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const bool inkPass = pass == passes - 1;
        const qreal w = inkPass ? width : width + 2 * style_.outlineWidth;
        painter_.setPen(QPen(inkPass ? colour : style_.outline, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter_.setBrush(Qt::NoBrush);
        for (int pen = 0; pen < pens; ++pen) {
            const qreal dx = pens == 1 ? 0 : reach * (qreal(pen) / (pens - 1) - 0.5);
            for (const QPainterPath &line : lines)
                painter_.drawPath(line.translated(dx, 0));
        }
    }
}

void Artist::glyph(const Glyph &glyph, const QRectF &box, qreal weight, const QColor &colour)
{
    std::vector<QPainterPath> lines;
    for (const Stroke &stroke : glyph)
        lines.push_back(centreLine(stroke, box, kGlyphJitter));
    const qreal width = weight / 100.0 * qMin(box.width(), box.height()) * style_.strokeScale;
    strokePaths(lines, width, style_.nib, colour);
}

void Artist::strokes(const std::vector<Stroke> &strokes, qreal width, const QColor &colour)
{
    const QRectF identity(0, 0, 100, 100);  // points are already in face coordinates
    std::vector<QPainterPath> lines;
    for (const Stroke &stroke : strokes)
        lines.push_back(centreLine(stroke, identity, width * 0.3));
    strokePaths(lines, width, 0, colour);  // drawings keep an even line
}

void Artist::coin(QPointF centre, qreal radius, const QColor &colour)
{
    painter_.save();
    tiltAround(centre, kTiltDegrees * 2);
    QPainterPath ring;
    ring.addEllipse(centre, radius, radius);
    ring.addEllipse(centre, radius * style_.coinHole, radius * style_.coinHole);
    fill(ring, colour);
    disc(centre, radius * style_.coinCore, style_.flat ? colour : shaded(colour, 115));
    if (!style_.flat) {
        // a little gloss so printed coins read as round
        const qreal r = radius * style_.coinCore * 0.45;
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(QColor(255, 255, 255, 70));
        painter_.drawEllipse(centre + QPointF(-r * 0.7, -r * 0.7), r, r);
    }
    disc(centre, radius * kCoinEye, style_.faceTop);
    painter_.restore();
}

void Artist::ornateCoin(QPointF centre, qreal radius)
{
    constexpr int kBeads = 16;
    constexpr int kPetals = 8;
    painter_.save();
    tiltAround(centre, kTiltDegrees);
    QPainterPath ring;
    ring.addEllipse(centre, radius, radius);
    ring.addEllipse(centre, radius * 0.84, radius * 0.84);
    fill(ring, ink().green);
    for (int i = 0; i < kBeads; ++i) {
        const qreal a = 2 * M_PI * i / kBeads;
        disc(centre + QPointF(qCos(a), qSin(a)) * radius * 0.72, radius * 0.075, ink().blue);
    }
    disc(centre, radius * 0.58, ink().red);
    disc(centre, radius * 0.5, style_.faceTop);
    blossom(centre, kPetals, radius * 0.46, radius * 0.17, ink().blue, ink().red);
    disc(centre, radius * 0.1, style_.faceTop);
    painter_.restore();
}

void Artist::stick(QPointF centre, qreal length, qreal width, qreal angle, const QColor &colour)
{
    painter_.save();
    painter_.translate(centre);
    painter_.rotate(angle + wobbleAngle(kTiltDegrees));
    const QRectF body(-width / 2, -length / 2, width, length);
    QPainterPath shape;
    shape.addRoundedRect(body, width / 2, width / 2);
    fill(shape, colour);
    if (!style_.flat) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(colour.lighter(150));
        painter_.drawRoundedRect(QRectF(-width * kShineOffset - width * kShineWidth / 2,
                                        -length / 2 + width * 0.4, width * kShineWidth,
                                        length - width * 0.8),
                                 width * kShineWidth / 2, width * kShineWidth / 2);
    }
    // Two nodes split the stick in three joints.
    const QColor node = style_.nodeGaps ? style_.faceTop : shaded(colour, 160);
    const qreal nodeH = width * (style_.nodeGaps ? kNodeGapHeight : kNodeHeight);
    const qreal over = style_.nodeGaps ? width * kNodeOverhang : -width * kNodeOverhang;
    for (int i = -1; i <= 1; i += 2) {
        const qreal y = i * length / 6;
        QPainterPath band;
        band.addRoundedRect(QRectF(-width / 2 - over, y - nodeH / 2, width + 2 * over, nodeH), nodeH / 2,
                            nodeH / 2);
        if (style_.nodeGaps) {
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(node);
            painter_.drawPath(band);
        } else {
            fill(band, node);
        }
    }
    painter_.restore();
}

void Artist::leaf(QPointF base, QPointF tip, qreal halfWidth, const QColor &colour)
{
    const QPointF b = wobble(base, 6);
    const QPointF t = wobble(tip, 6);
    const QPointF along = t - b;
    const qreal len = qSqrt(QPointF::dotProduct(along, along));
    if (len <= 0)
        return;
    const QPointF normal(-along.y() / len, along.x() / len);
    const QPointF mid = (b + t) / 2;
    QPainterPath path(b);
    path.quadTo(mid + normal * halfWidth * 2, t);
    path.quadTo(mid - normal * halfWidth * 2, b);
    fill(path, colour);
    if (!style_.flat) {
        painter_.setPen(QPen(colour.darker(150), halfWidth * 0.18, Qt::SolidLine, Qt::RoundCap));
        painter_.drawLine(b + along * 0.08, b + along * 0.85);
    }
}

void Artist::blossom(QPointF centre, int petals, qreal length, qreal width, const QColor &petal,
                     const QColor &heart)
{
    const qreal turn = wobbleAngle(20);
    for (int i = 0; i < petals; ++i) {
        QPainterPath ellipse;
        ellipse.addEllipse(QPointF(length / 2, 0), length / 2, width / 2);
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(turn + 360.0 * i / petals - 90);
        fill(t.map(ellipse), petal);
    }
    disc(centre, qMax(width * 0.45, length * 0.22), heart);
}

void Artist::text(const QRectF &box, const QString &text, qreal pixelSize, const QColor &colour,
                  Qt::Alignment alignment)
{
    QFont font(style_.fontFamily);
    font.setPixelSize(qRound(pixelSize));
    font.setBold(true);
    font.setItalic(style_.italic);
    painter_.setFont(font);
    painter_.setPen(colour);
    painter_.drawText(box, alignment, text);
}

}  // namespace tileart
