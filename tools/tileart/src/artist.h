#pragma once

#include "glyphs.h"
#include "style.h"

#include <QPainter>
#include <QPainterPath>

namespace tileart {

// Draws the shapes every tile set shares, in the look of one style. Styles
// that want a hand-made look get a deterministic wobble, so repeated runs
// write identical pictures.
class Artist {
public:
    Artist(QPainter &painter, const Style &style, unsigned seed);

    QPainter &painter() { return painter_; }
    const Style &style() const { return style_; }
    const Ink &ink() const { return style_.ink; }

    // Fills a shape, contoured when the style asks for it.
    void fill(const QPainterPath &shape, const QColor &colour);
    void disc(QPointF centre, qreal radius, const QColor &colour);
    // A brush glyph stretched over `box`; `weight` is the stroke width in glyph units.
    void glyph(const Glyph &glyph, const QRectF &box, qreal weight, const QColor &colour);
    // Free-hand strokes in face coordinates.
    void strokes(const std::vector<Stroke> &strokes, qreal width, const QColor &colour);
    void coin(QPointF centre, qreal radius, const QColor &colour);
    void ornateCoin(QPointF centre, qreal radius);
    void stick(QPointF centre, qreal length, qreal width, qreal angle, const QColor &colour);
    void leaf(QPointF base, QPointF tip, qreal halfWidth, const QColor &colour);
    void blossom(QPointF centre, int petals, qreal length, qreal width, const QColor &petal,
                 const QColor &heart);
    void text(const QRectF &box, const QString &text, qreal pixelSize, const QColor &colour,
              Qt::Alignment alignment);

    // Hand-drawn irregularity; both are zero for exact styles.
    QPointF wobble(QPointF point, qreal amount);
    qreal wobbleAngle(qreal maxDegrees);

private:
    qreal nextRandom();  // uniform in [-1, 1]
    QPainterPath centreLine(const Stroke &stroke, const QRectF &box, qreal jitter);
    void strokePaths(const std::vector<QPainterPath> &lines, qreal width, qreal nib, const QColor &colour);
    // Turns and squashes the painter around `centre` by the style's wobble.
    void tiltAround(QPointF centre, qreal maxDegrees);

    QPainter &painter_;
    const Style &style_;
    quint32 state_;
};

}  // namespace tileart
