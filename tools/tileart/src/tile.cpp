#include "tile.h"

#include "artist.h"
#include "faces.h"
#include "kinds.h"

#include <QLinearGradient>
#include <QtMath>

namespace tileart {

namespace {

constexpr unsigned kSeedStride = 7919;  // spreads kinds apart in the wobble sequence
constexpr qreal kHalfPlaneReach = 5000;

QPointF bodyOffset()
{
    return {qreal(sideStrip(kTileWidth)), qreal(bottomStrip(kTileHeight))};
}

// The outline a rounded face traces when pushed back along the body diagonal
// from depth `from` to depth `to` (fractions of the full thickness).
QPainterPath sweptFace(const QRectF &face, qreal radius, qreal from, qreal to)
{
    const QPointF full = bodyOffset();
    const QRectF front = face.translated(full * from);
    const QRectF back = face.translated(full * to);
    const QSizeF corner(2 * radius, 2 * radius);
    const auto cornerBox = [&](const QRectF &r, bool right, bool bottom) {
        return QRectF(QPointF(right ? r.right() - corner.width() : r.left(),
                              bottom ? r.bottom() - corner.height() : r.top()),
                      corner);
    };
    QPainterPath path;
    path.arcMoveTo(cornerBox(front, true, false), 45);
    path.arcTo(cornerBox(front, true, false), 45, 45);
    path.arcTo(cornerBox(front, false, false), 90, 90);
    path.arcTo(cornerBox(front, false, true), 180, 45);
    path.arcTo(cornerBox(back, false, true), 225, 45);
    path.arcTo(cornerBox(back, true, true), 270, 90);
    path.arcTo(cornerBox(back, true, false), 0, 45);
    path.closeSubpath();
    return path;
}

// Everything below the diagonal through the face's lower right corner: the
// underside of the tile, which gets darker than its right-hand side.
QPainterPath undersideRegion(const QRectF &face)
{
    const QPointF corner = face.bottomRight();
    const QPointF along(kHalfPlaneReach, kHalfPlaneReach);
    QPainterPath region(corner - along);
    region.lineTo(corner + along);
    region.lineTo(corner + QPointF(-3 * kHalfPlaneReach, kHalfPlaneReach));
    region.closeSubpath();
    return region;
}

// The body's contour is drawn inside the picture so no line gets clipped.
QRectF bodyFront(const Style &s)
{
    const qreal half = s.bodyEdgeWidth / 2;
    return faceRect().adjusted(half, half, -half, -half);
}

// Gradient across one body slab, from its front (next to the face) to its back,
// along x for the right-hand side or along y for the underside.
QLinearGradient slabShading(const QColor &colour, int shade, int backShade, qreal from, qreal to, bool across)
{
    const QRectF face = faceRect();
    const QPointF reach = bodyOffset();
    QLinearGradient gradient = across
        ? QLinearGradient(face.right() + from * reach.x(), 0, face.right() + to * reach.x(), 0)
        : QLinearGradient(0, face.bottom() + from * reach.y(), 0, face.bottom() + to * reach.y());
    const QColor front = colour.darker(shade);
    gradient.setColorAt(0, front);
    // A thin slab darkens less across its depth than the whole body does.
    gradient.setColorAt(1, front.darker(100 + qRound((backShade - 100) * (to - from))));
    return gradient;
}

void paintBodyLayer(QPainter &p, const Style &s, const QPainterPath &layer, const QColor &colour, qreal from,
                    qreal to)
{
    p.setPen(Qt::NoPen);
    p.fillPath(layer, slabShading(colour, s.sideShade, s.backShade, from, to, true));
    p.save();
    p.setClipPath(undersideRegion(faceRect()));
    p.fillPath(layer, slabShading(colour, s.bottomShade, s.backShade, from, to, false));
    p.restore();
    if (s.bodyEdgeWidth > 0) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s.bodyEdge, s.bodyEdgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(layer);
    }
}

void paintBody(QPainter &p, const Style &s)
{
    // Deepest slab first so each nearer one overlaps it.
    for (size_t i = s.body.size(); i-- > 0;) {
        const qreal from = i == 0 ? 0.0 : s.body[i - 1].depth;
        const qreal to = s.body[i].depth;
        paintBodyLayer(p, s, sweptFace(bodyFront(s), s.cornerRadius, from, to), s.body[i].colour, from, to);
    }
}

QPainterPath faceShape(const Style &s)
{
    QPainterPath shape;
    shape.addRoundedRect(faceRect(), s.cornerRadius, s.cornerRadius);
    return shape;
}

// A loose, hand-cut colour patch across the lower right of the face.
QPainterPath facePatch(const QRectF &face)
{
    QPainterPath patch(QPointF(face.right(), face.top() + face.height() * 0.38));
    patch.cubicTo(QPointF(face.width() * 0.62, face.height() * 0.5), QPointF(face.width() * 0.78, face.height() * 0.7),
                  QPointF(face.width() * 0.3, face.bottom()));
    patch.lineTo(face.bottomRight());
    patch.closeSubpath();
    return patch;
}

void paintFace(QPainter &p, const Style &s)
{
    const QRectF face = faceRect();
    const QPainterPath shape = faceShape(s);
    if (s.flat) {
        p.fillPath(shape, s.faceTop);
    } else {
        QLinearGradient gradient(face.topLeft(), face.bottomRight());
        gradient.setColorAt(0, s.faceTop);
        gradient.setColorAt(1, s.faceBottom);
        p.fillPath(shape, gradient);
    }
    if (s.facePatch.alpha() > 0) {
        p.save();
        p.setClipPath(shape);
        p.fillPath(facePatch(face), s.facePatch);
        p.restore();
    }
    if (s.frameColour.alpha() > 0) {
        const qreal r = qMax<qreal>(0, s.cornerRadius - s.frameInset);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s.frameColour, s.frameWidth));
        p.drawRoundedRect(face.adjusted(s.frameInset, s.frameInset, -s.frameInset, -s.frameInset), r, r);
    }
}

// The face's right and lower border, from the middle of the upper right corner
// round to the middle of the lower left one: where the face turns into the sides.
QPainterPath creaseLine(const QRectF &face, qreal radius)
{
    const QSizeF corner(2 * radius, 2 * radius);
    const QRectF upperRight(QPointF(face.right() - corner.width(), face.top()), corner);
    const QRectF lowerRight(face.bottomRight() - QPointF(corner.width(), corner.height()), corner);
    const QRectF lowerLeft(QPointF(face.left(), face.bottom() - corner.height()), corner);
    QPainterPath path;
    path.arcMoveTo(upperRight, 45);
    path.arcTo(upperRight, 45, -45);
    path.arcTo(lowerRight, 0, -90);
    path.arcTo(lowerLeft, 270, -45);
    return path;
}

void paintFaceEdge(QPainter &p, const Style &s)
{
    const qreal half = s.faceEdgeWidth / 2;
    const qreal r = qMax<qreal>(0, s.cornerRadius - half);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(s.faceEdge, s.faceEdgeWidth));
    p.drawRoundedRect(faceRect().adjusted(half, half, -half, -half), r, r);
    // Centred on the border, so that half of it lies on the sides.
    p.setPen(QPen(s.crease, s.creaseWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(creaseLine(faceRect(), s.cornerRadius));
}

void paintHighlight(QPainter &p, const Style &s)
{
    p.fillPath(faceShape(s), s.highlightTint);
    const qreal half = s.highlightFrameWidth / 2;
    const qreal r = qMax<qreal>(0, s.cornerRadius - half);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(s.highlightFrame, s.highlightFrameWidth));
    p.drawRoundedRect(faceRect().adjusted(half, half, -half, -half), r, r);
}

void paintMotif(QPainter &p, const Style &s, int kindId)
{
    const QPointF centre = faceRect().center();
    p.save();
    p.translate(centre);
    p.shear(s.skew, 0);
    p.translate(-centre);
    Artist artist(p, s, unsigned(kindId + 1) * kSeedStride);
    drawFaceContent(artist, kindFromId(kindId), faceRect());
    p.restore();
}

}  // namespace

QPainterPath tileSilhouette(const Style &style)
{
    return sweptFace(faceRect(), style.cornerRadius, 0, 1);
}

int sideStrip(int width)
{
    return qRound(width * kSideShare);
}

int bottomStrip(int height)
{
    return qRound(height * kBottomShare);
}

QRectF faceRect()
{
    return QRectF(0, 0, kTileWidth - sideStrip(kTileWidth), kTileHeight - bottomStrip(kTileHeight));
}

void paintTile(QPainter &painter, const Style &style, int kindId, bool highlighted)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintBody(painter, style);
    paintFace(painter, style);
    paintMotif(painter, style, kindId);
    if (highlighted)
        paintHighlight(painter, style);
    paintFaceEdge(painter, style);
    painter.restore();
}

QImage renderTile(const Style &style, int kindId, bool highlighted, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(qreal(size.width()) / kTileWidth, qreal(size.height()) / kTileHeight);
    paintTile(painter, style, kindId, highlighted);
    return image;
}

}  // namespace tileart
