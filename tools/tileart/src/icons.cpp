#include "icons.h"

#include "style.h"
#include "tile.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

namespace tileart {

namespace {

// Icons are composed in this square and scaled to the requested size.
constexpr qreal kCanvas = 512;
// Up to this size a pair of tiles turns to mush; one tile stays legible.
constexpr int kLargestSingleTileIcon = 24;
constexpr qreal kMargin = 0.03;  // share of the canvas left free on each side

constexpr int kDragonRed = 32;
constexpr int kBamboo1 = 18;

// The second tile of the pair lies behind, moved right and up by these shares of a tile.
constexpr qreal kPairShiftRight = 0.40;
constexpr qreal kPairShiftUp = 0.12;

const QColor kPaper(0xfb, 0xf6, 0xe8);
const QColor kPaperEdge(0x8a, 0x76, 0x52);
const QColor kGridLine(0x9c, 0xc4, 0xb6);
const QColor kGhostLine(0x2d, 0x7a, 0x56);
const QColor kPencilBody(0xf2, 0xb7, 0x05);
const QColor kPencilFacet(0xfa, 0xd6, 0x5c);
const QColor kPencilWood(0xe8, 0xc4, 0x8a);
const QColor kPencilLead(0x2b, 0x2b, 0x2b);
const QColor kPencilFerrule(0xb8, 0xb8, 0xb8);
const QColor kPencilEraser(0xe8, 0x82, 0x8f);
const QColor kOutline(0x4a, 0x3c, 0x24);

// One pixel of a `side` icon, in canvas units.
qreal onePixel(int side)
{
    return kCanvas / side;
}

// A line of `width` canvas units, but never thinner than one pixel.
qreal visibleWidth(qreal width, int side)
{
    return qMax(width, onePixel(side));
}

// Paints one whole tile of `kind` whose picture is `width` canvas units wide, top left at `at`.
// Small icons get a contour, since the tile's own edges are thinner than a pixel there.
void placeTile(QPainter &p, QPointF at, qreal width, int kind, int side)
{
    const qreal scale = width / kTileWidth;
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    paintTile(p, classicStyle(), kind, false);
    if (side <= kLargestSingleTileIcon) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kOutline, onePixel(side) / scale));
        p.drawPath(tileSilhouette(classicStyle()));
    }
    p.restore();
}

void paintGameIcon(QPainter &p, int side)
{
    const qreal room = kCanvas * (1 - 2 * kMargin);
    const qreal tileAspect = qreal(kTileHeight) / kTileWidth;
    if (side <= kLargestSingleTileIcon) {
        const qreal width = room / tileAspect;
        placeTile(p, QPointF((kCanvas - width) / 2, kCanvas * kMargin), width, kDragonRed, side);
        return;
    }
    // A matching pair, fanned out: what the player looks for on the board.
    const qreal width = qMin(room / (1 + kPairShiftRight), room / (tileAspect * (1 + kPairShiftUp)));
    const QSizeF tile(width, width * tileAspect);
    const QSizeF group(tile.width() * (1 + kPairShiftRight), tile.height() * (1 + kPairShiftUp));
    const QPointF origin((kCanvas - group.width()) / 2, (kCanvas - group.height()) / 2);
    placeTile(p, origin + QPointF(tile.width() * kPairShiftRight, 0), width, kDragonRed, side);
    placeTile(p, origin + QPointF(0, tile.height() * kPairShiftUp), width, kDragonRed, side);
}

// The pencil lies along the x axis, point at the origin, in canvas units.
void paintPencil(QPainter &p)
{
    constexpr qreal kLength = 230, kWidth = 58;
    constexpr qreal kCone = 70, kLead = 26, kFerrule = 180, kEraser = 204;
    constexpr qreal kHalf = kWidth / 2;
    constexpr qreal kLine = 6;
    const QPen contour(kOutline, kLine, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(contour);
    p.setBrush(kPencilWood);
    p.drawPolygon(QPolygonF({{0, 0}, {kCone, -kHalf}, {kCone, kHalf}}));
    p.setBrush(kPencilLead);
    p.drawPolygon(QPolygonF({{0, 0}, {kLead, -kHalf * kLead / kCone}, {kLead, kHalf * kLead / kCone}}));
    p.setBrush(kPencilBody);
    p.drawRect(QRectF(kCone, -kHalf, kFerrule - kCone, kWidth));
    p.setPen(Qt::NoPen);
    p.setBrush(kPencilFacet);
    p.drawRect(QRectF(kCone + kLine / 2, -kHalf + kLine / 2, kFerrule - kCone - kLine, kWidth / 3));
    p.setPen(contour);
    p.setBrush(kPencilFerrule);
    p.drawRect(QRectF(kFerrule, -kHalf, kEraser - kFerrule, kWidth));
    // Rounded at its far end only.
    QPainterPath eraser;
    eraser.addRoundedRect(QRectF(kEraser - kHalf, -kHalf, kLength - kEraser + kHalf, kWidth), kHalf, kHalf);
    QPainterPath hidden;
    hidden.addRect(QRectF(0, -kWidth, kEraser, 2 * kWidth));
    p.setBrush(kPencilEraser);
    p.drawPath(eraser.subtracted(hidden));
}

// The designer's half-tile grid, as filled strips cut to the paper: vector output
// cannot be trusted to clip.
QPainterPath gridLines(const QPainterPath &paper, QPointF origin, QSizeF cell)
{
    constexpr qreal kGridWidth = 4;
    const QRectF area = paper.boundingRect();
    QPainterPath lines;
    for (qreal x = origin.x(); x < area.right(); x += cell.width())
        lines.addRect(QRectF(x - kGridWidth / 2, area.top(), kGridWidth, area.height()));
    for (qreal y = origin.y(); y < area.bottom(); y += cell.height())
        lines.addRect(QRectF(area.left(), y - kGridWidth / 2, area.width(), kGridWidth));
    return lines.intersected(paper);
}

// Grid paper with a tile placed on it, the outline of the next one and a pencil
// drawing it. Small icons keep the paper, the tile and the pencil.
void paintDesignerIcon(QPainter &p, int side)
{
    constexpr qreal kPaperRadius = 44, kPaperEdgeWidth = 8;
    const qreal edge = visibleWidth(kPaperEdgeWidth, side);
    const qreal inset = kCanvas * kMargin + edge / 2;
    QPainterPath paper;
    paper.addRoundedRect(QRectF(inset, inset, kCanvas - 2 * inset, kCanvas - 2 * inset), kPaperRadius,
                         kPaperRadius);
    p.setPen(QPen(kPaperEdge, edge));
    p.setBrush(kPaper);
    p.drawPath(paper);

    const QRectF sheet = paper.boundingRect();
    const qreal tileWidth = sheet.width() * 0.46;
    const qreal scale = tileWidth / kTileWidth;
    const QSizeF cell(faceRect().width() * scale / 2, faceRect().height() * scale / 2);
    const QPointF tileAt(sheet.left() + cell.width() * 0.5, sheet.top() + cell.height() * 0.6);
    const QRectF ghost(tileAt + QPointF(2 * cell.width(), 0), QSizeF(2 * cell.width(), 2 * cell.height()));
    constexpr qreal kGhostWidth = 10, kGhostRadius = 22;
    if (side > kLargestSingleTileIcon) {
        p.fillPath(gridLines(paper, tileAt, cell), kGridLine);
        p.setPen(QPen(kGhostLine, kGhostWidth, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(ghost.adjusted(kGhostWidth, kGhostWidth, -kGhostWidth, -kGhostWidth), kGhostRadius,
                          kGhostRadius);
    }
    placeTile(p, tileAt, tileWidth, kBamboo1, side);

    // Pointing up-left at the outline's lower left corner.
    constexpr qreal kPencilAngle = 45;
    p.save();
    p.translate(ghost.left() + 2 * kGhostWidth, ghost.bottom() - kGhostWidth);
    p.rotate(kPencilAngle);
    paintPencil(p);
    p.restore();
}

// Sets the painter up so that `paint` draws into a `side` square.
void paintScaled(QPainter &p, const AppIcon &icon, int side)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / kCanvas, side / kCanvas);
    icon.paint(p, side);
}

}  // namespace

const std::vector<AppIcon> &appIcons()
{
    static const std::vector<AppIcon> icons{
        {QStringLiteral("org.tilvane.Tilvane"), paintGameIcon},
        {QStringLiteral("org.tilvane.Tilvane.Designer"), paintDesignerIcon},
    };
    return icons;
}

const std::vector<int> &iconSizes()
{
    static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256, 512};
    return sizes;
}

QImage renderIcon(const AppIcon &icon, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintScaled(painter, icon, side);
    return image;
}

bool writeSvgIcon(const AppIcon &icon, const QString &path, QStringList &problems)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int side = int(kCanvas);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(side, side));
    svg.setViewBox(QRect(0, 0, side, side));
    svg.setTitle(icon.id);
    {
        QPainter painter(&svg);
        if (!painter.isActive()) {
            problems << path + QStringLiteral(": cannot write");
            return false;
        }
        paintScaled(painter, icon, side);
    }
    return true;
}

QStringList checkIconPicture(const QImage &image, QSize expected)
{
    if (image.size() != expected)
        return {QStringLiteral("size %1x%2, expected %3x%4")
                    .arg(image.width()).arg(image.height()).arg(expected.width()).arg(expected.height())};
    QStringList problems;
    const int w = image.width(), h = image.height();
    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
        if (qAlpha(image.pixel(corner)) != 0)
            problems << QStringLiteral("corner (%1,%2) is not see-through").arg(corner.x()).arg(corner.y());
    }
    if (qAlpha(image.pixel(w / 2, h / 2)) != 255)
        problems << QStringLiteral("the middle is not solid");
    return problems;
}

}  // namespace tileart
