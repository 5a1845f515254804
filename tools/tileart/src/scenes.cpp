#include "scenes.h"

#include "kinds.h"
#include "style.h"
#include "tile.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace tileart {

namespace {

// Title pictures are composed in this space and scaled to the requested size.
constexpr qreal kTitleWidth = 3329;
constexpr qreal kTitleHeight = 2229;

const QColor kPaperTop(0xfb, 0xf6, 0xe8);
const QColor kPaperBottom(0xf3, 0xe8, 0xcf);
const QColor kJadeLight(0x23, 0x86, 0x6c);
const QColor kJadeDark(0x0b, 0x3f, 0x35);
const QColor kGold(0xd6, 0xa8, 0x3a);
const QColor kTitleRed(0x8c, 0x18, 0x12);
const QColor kSubtitle(0x2a, 0x5c, 0x4e);

// Kind ids used in the pictures.
constexpr int kChar1 = 0, kChar8 = 7, kWheel1 = 9, kWheel5 = 13, kBamboo1 = 18, kBamboo7 = 24;
constexpr int kWindEast = 29, kWindNorth = 27, kDragonGreen = 31, kDragonRed = 32, kDragonWhite = 33;
constexpr int kFlower1 = 38, kSeason2 = 35;

// All pictures made here are opaque; without an alpha channel they compress better.
QImage blankImage(QSize size, const QColor &fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// A placed tile: canonical tile coordinates in a group, plus the layer.
struct Placement {
    qreal column, row;
    int layer;
    int kind;
};

// Lays tiles out the way the game does: neighbours cover each other's
// thickness strips and every layer sits up-left by one strip.
QPointF groupPosition(const Placement &t)
{
    const QRectF face = faceRect();
    return {t.column * face.width() - t.layer * sideStrip(kTileWidth),
            t.row * face.height() - t.layer * bottomStrip(kTileHeight)};
}

void paintSoftShadow(QPainter &p, const QPainterPath &shape, QPointF offset, qreal spread)
{
    constexpr int kSteps = 10;
    constexpr int kAlpha = 9;
    p.save();
    p.setBrush(QColor(0, 0, 0, kAlpha));
    for (int i = kSteps; i > 0; --i) {
        p.setPen(QPen(QColor(0, 0, 0, kAlpha), spread * i / kSteps, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shape.translated(offset));
    }
    p.restore();
}

void paintGroup(QPainter &p, const Style &style, const std::vector<Placement> &tiles, bool shadow)
{
    if (shadow) {
        for (const Placement &t : tiles) {
            if (t.layer == 0)
                paintSoftShadow(p, tileSilhouette(style).translated(groupPosition(t)), QPointF(50, 60), 90);
        }
    }
    for (const Placement &t : tiles) {
        p.save();
        p.translate(groupPosition(t));
        paintTile(p, style, t.kind, false);
        p.restore();
    }
}

void paintPaper(QPainter &p, const QRectF &area)
{
    QLinearGradient paper(area.topLeft(), area.bottomLeft());
    paper.setColorAt(0, kPaperTop);
    paper.setColorAt(1, kPaperBottom);
    p.fillRect(area, paper);
}

void paintJadeDisc(QPainter &p, QPointF centre, qreal radius)
{
    constexpr qreal kGoldRing = 22;
    constexpr int kCoinRings = 5;
    paintSoftShadow(p, [&] { QPainterPath c; c.addEllipse(centre, radius, radius); return c; }(),
                    QPointF(20, 30), 120);
    QRadialGradient jade(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.4);
    jade.setColorAt(0, kJadeLight);
    jade.setColorAt(1, kJadeDark);
    p.setPen(QPen(kGold, kGoldRing));
    p.setBrush(jade);
    p.drawEllipse(centre, radius, radius);
    // faint concentric rings, like the circle suit, to give the disc some depth
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= kCoinRings; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 14), 14));
        p.drawEllipse(centre, radius * (1 - 0.16 * i), radius * (1 - 0.16 * i));
    }
    p.setPen(QPen(kGold, 6));
    p.drawEllipse(centre, radius - 60, radius - 60);
}

// The name, as large as fits in `width`, with a thin ornament and subtitle.
void paintTitle(QPainter &p, QPointF origin, qreal width)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(100);
    const QString name = QStringLiteral("Tilvane");
    const qreal scale = width / QFontMetricsF(font).horizontalAdvance(name);
    font.setPixelSize(qRound(100 * scale));
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 45));
    p.drawText(origin + QPointF(10, 12), name);
    p.setPen(kTitleRed);
    p.drawText(origin, name);

    const qreal ruleY = origin.y() + 90;
    p.setPen(QPen(kGold, 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(origin.x() + 20, ruleY), QPointF(origin.x() + width - 20, ruleY));
    p.setPen(Qt::NoPen);
    p.setBrush(kTitleRed);
    const QPointF mid(origin.x() + width / 2, ruleY);
    p.drawPolygon(QPolygonF({mid + QPointF(0, -26), mid + QPointF(26, 0), mid + QPointF(0, 26), mid + QPointF(-26, 0)}));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(118);
    sub.setLetterSpacing(QFont::PercentageSpacing, 112);
    p.setFont(sub);
    p.setPen(kSubtitle);
    p.drawText(QRectF(origin.x(), ruleY + 40, width, 200), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Mahjong Solitaire"));
}

std::vector<Placement> pyramid()
{
    return {
        {0, 0, 0, kChar1}, {1, 0, 0, kWheel5}, {2, 0, 0, kBamboo7},
        {0, 1, 0, kWindEast}, {1, 1, 0, kDragonRed}, {2, 1, 0, kFlower1},
        {0.5, 0.5, 1, kDragonGreen}, {1.5, 0.5, 1, kWheel1},
        {1, 0.5, 2, kBamboo1},
    };
}

void paintPyramid(QPainter &p, QPointF centre, qreal tileHeight)
{
    const qreal scale = tileHeight / kTileHeight;
    const QRectF face = faceRect();
    p.save();
    p.translate(centre);
    p.rotate(-9);
    p.scale(scale, scale);
    p.translate(-1.5 * face.width(), -face.height());
    paintGroup(p, classicStyle(), pyramid(), true);
    p.restore();
}

void paintFan(QPainter &p, QPointF pivot, qreal tileHeight)
{
    struct FanTile { int kind; qreal angle; const Style *style; };
    constexpr qreal kGapToPivot = 700;  // canonical units between the pivot and the tiles' lower edge
    const std::vector<FanTile> fan{
        {kWindEast, -32, &classicStyle()}, {kBamboo1, -16, &classicStyle()}, {kDragonRed, 0, &classicStyle()},
        {kWheel1, 16, &classicStyle()}, {kSeason2, 32, &classicStyle()},
    };
    const qreal scale = tileHeight / kTileHeight;
    for (const FanTile &t : fan) {
        p.save();
        p.translate(pivot);
        p.rotate(t.angle);
        p.scale(scale, scale);
        p.translate(-kTileWidth / 2.0, -kTileHeight - kGapToPivot);
        paintSoftShadow(p, tileSilhouette(*t.style), QPointF(40, 50), 80);
        paintTile(p, *t.style, t.kind, false);
        p.restore();
    }
}

constexpr qreal kPreviewWidth = 1052;
constexpr qreal kPreviewHeight = 719;
const QColor kTable(0x2f, 0x5e, 0x4c);

void paintGridPaper(QPainter &p, QSizeF size)
{
    constexpr qreal kCell = 36;
    constexpr int kMajorEvery = 5;
    const QPen minor(QColor(0xdc, 0xe4, 0xee), 1.5);
    const QPen major(QColor(0xc0, 0xcf, 0xe0), 3);
    p.fillRect(QRectF(QPointF(0, 0), size), QColor(0xf3, 0xf6, 0xfa));
    for (int i = 0; i * kCell <= qMax(size.width(), size.height()); ++i) {
        p.setPen(i % kMajorEvery ? minor : major);
        p.drawLine(QPointF(i * kCell, 0), QPointF(i * kCell, size.height()));
        p.drawLine(QPointF(0, i * kCell), QPointF(size.width(), i * kCell));
    }
}

// A free position in the layout: dashed face outline with a plus sign.
void paintEmptySlot(QPainter &p, QPointF at)
{
    constexpr qreal kInset = 24;
    const QRectF face = faceRect().translated(at).adjusted(kInset, kInset, -kInset, -kInset);
    QPen dashed(QColor(0x5b, 0x7d, 0xa8), 14, Qt::DashLine, Qt::RoundCap);
    p.setPen(dashed);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(face, 40, 40);
    p.setPen(QPen(QColor(0x5b, 0x7d, 0xa8), 30, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = face.center();
    const qreal arm = face.width() * 0.2;
    p.drawLine(c - QPointF(arm, 0), c + QPointF(arm, 0));
    p.drawLine(c - QPointF(0, arm), c + QPointF(0, arm));
}

void paintQuestionBadge(QPainter &p, QPointF centre, qreal radius)
{
    paintSoftShadow(p, [&] { QPainterPath c; c.addEllipse(centre, radius, radius); return c; }(),
                    QPointF(8, 12), 30);
    p.setPen(QPen(kGold, 12));
    p.setBrush(QColor(0x1f, 0x5f, 0xa8));
    p.drawEllipse(centre, radius, radius);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qRound(radius * 1.45));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter,
               QStringLiteral("?"));
}

// A pencil lying with its point at `tip`, body running off at `angle` degrees.
void paintPencil(QPainter &p, QPointF tip, qreal angle, qreal length)
{
    const qreal half = length * 0.075;
    const qreal cone = length * 0.22;
    const qreal cap = length * 0.1;
    const qreal eraser = length * 0.1;
    const qreal body = length - cone - cap - eraser;
    p.save();
    p.translate(tip);
    p.rotate(angle);
    p.setPen(QPen(QColor(0x3a, 0x2a, 0x12), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xf0, 0xc8, 0x90));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(cone, -half), QPointF(cone, half)}));
    p.setBrush(QColor(0x33, 0x33, 0x3a));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(cone * 0.35, -half * 0.35), QPointF(cone * 0.35, half * 0.35)}));
    p.setBrush(QColor(0xf5, 0xb4, 0x00));
    p.drawRect(QRectF(cone, -half, body, 2 * half));
    p.setPen(QPen(QColor(0xc9, 0x8a, 0x00), 4));
    p.drawLine(QPointF(cone, -half / 3), QPointF(cone + body, -half / 3));
    p.drawLine(QPointF(cone, half / 3), QPointF(cone + body, half / 3));
    p.setPen(QPen(QColor(0x3a, 0x2a, 0x12), 4));
    p.setBrush(QColor(0xb8, 0xbe, 0xc6));
    p.drawRect(QRectF(cone + body, -half, cap, 2 * half));
    p.setBrush(QColor(0xf2, 0x8b, 0xa0));
    p.drawRoundedRect(QRectF(cone + body + cap, -half, eraser, 2 * half), half * 0.5, half * 0.5);
    p.restore();
}

struct StyleTiles {
    std::vector<QImage> normal, highlighted;
};

StyleTiles renderAllKinds(const Style &style)
{
    StyleTiles tiles;
    const QSize size(kTileWidth, kTileHeight);
    for (int id = 0; id < kKindCount; ++id) {
        tiles.normal.push_back(renderTile(style, id, false, size));
        tiles.highlighted.push_back(renderTile(style, id, true, size));
    }
    return tiles;
}

// Rows of separate tiles scaled the way the game scales them; returns the next free y.
int paintTileRows(QPainter &p, const std::vector<QImage> &tiles, int height, int left, int top, int perRow,
                  int gap)
{
    int y = top;
    for (size_t i = 0; i < tiles.size(); i += perRow) {
        int x = left;
        for (size_t j = i; j < qMin(tiles.size(), i + perRow); ++j) {
            const QImage scaled = tiles[j].scaledToHeight(height, Qt::SmoothTransformation);
            p.drawImage(x, y, scaled);
            x += scaled.width() + gap;
        }
        y += height + gap;
    }
    return y;
}

constexpr int kStackColumns = 12;
constexpr int kStackRows = 3;

int stackDemoHeight(int height)
{
    return qRound(kStackRows * faceRect().height() * height / kTileHeight + height * 0.2);
}

// A small three-layer heap placed like the game places tiles; one tile selected.
int paintStackDemo(QPainter &p, const StyleTiles &tiles, int height, QPoint origin)
{
    const qreal scale = qreal(height) / kTileHeight;
    const qreal stepX = faceRect().width() * scale;
    const qreal stepY = faceRect().height() * scale;
    const qreal liftX = sideStrip(kTileWidth) * scale;
    const qreal liftY = bottomStrip(kTileHeight) * scale;
    const QPoint start = origin + QPoint(qRound(2 * liftX), qRound(2 * liftY));
    int kind = 0;
    for (int layer = 0; layer < 3; ++layer) {
        for (int row = 0; row < kStackRows - layer; ++row) {
            for (int col = layer * 2; col < kStackColumns - layer * 2; ++col) {
                const bool selected = layer == 2 && col == kStackColumns / 2;
                const QImage &full = selected ? tiles.highlighted[kind] : tiles.normal[kind];
                kind = (kind + 5) % kKindCount;
                const qreal y = (row + layer * 0.5) * stepY;  // upper layers sit half a row down, centred
                const QPoint at(qRound(col * stepX - layer * liftX), qRound(y - layer * liftY));
                p.drawImage(start + at, full.scaledToHeight(height, Qt::SmoothTransformation));
            }
        }
    }
    return origin.y() + stackDemoHeight(height);
}

}  // namespace

QImage renderTitlePicture(QSize size, TitleVariant variant)
{
    constexpr qreal kTitleLeft = 150;
    constexpr qreal kTitleBaseline = 1020;
    constexpr qreal kTitleWidthShare = 0.39;
    QImage image = blankImage(size, kPaperTop);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size.width() / kTitleWidth, size.height() / kTitleHeight);
    paintPaper(p, QRectF(0, 0, kTitleWidth, kTitleHeight));

    // The disc stays clear of the text zones in the top and bottom left.
    const QPointF discCentre(2590, 1150);
    const qreal discRadius = 1050;
    paintJadeDisc(p, discCentre, discRadius);
    if (variant == TitleVariant::Splash)
        paintPyramid(p, discCentre + QPointF(-90, 30), 560);
    else
        paintFan(p, discCentre + QPointF(-40, 860), 640);
    paintTitle(p, QPointF(kTitleLeft, kTitleBaseline), kTitleWidth * kTitleWidthShare);
    return image;
}

QImage renderUserLayoutPreview(QSize size)
{
    constexpr qreal kTileHeightHere = 170;
    QImage image = blankImage(size, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size.width() / kPreviewWidth, size.height() / kPreviewHeight);
    paintGridPaper(p, QSizeF(kPreviewWidth, kPreviewHeight));

    p.save();
    p.translate(110, 130);
    const qreal scale = kTileHeightHere / kTileHeight;
    p.scale(scale, scale);
    for (qreal row = 0; row < 3; ++row)
        paintEmptySlot(p, groupPosition({3, row, 0, 0}));
    const std::vector<Placement> layout{
        {1, 0, 0, kChar8}, {0, 1, 0, kWindNorth}, {1, 1, 0, kDragonWhite}, {2, 1, 0, kWheel5},
        {1, 2, 0, kBamboo7}, {1, 1, 1, kDragonRed},
    };
    paintGroup(p, classicStyle(), layout, true);
    p.restore();

    paintQuestionBadge(p, QPointF(835, 235), 130);
    paintPencil(p, QPointF(700, 630), -35, 330);
    return image;
}

QImage renderContactSheet()
{
    constexpr int kPerRow = 21;
    constexpr int kGap = 8;
    constexpr int kMargin = 20;
    constexpr int kLabelRow = 40;
    constexpr int kLargeHeight = 70;
    constexpr int kSmallHeight = 40;
    const int rowWidth = kPerRow * (qRound(kLargeHeight * qreal(kTileWidth) / kTileHeight) + kGap);
    const int blockHeight = kLabelRow + 4 * (kLargeHeight + kGap) + 2 * (kSmallHeight + kGap) +
                            stackDemoHeight(kLargeHeight) + stackDemoHeight(kSmallHeight) + 2 * kGap;
    QImage sheet = blankImage(QSize(2 * kMargin + rowWidth, kMargin + int(allStyles().size()) * blockHeight),
                              kTable);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    int y = kMargin;
    for (const Style *style : allStyles()) {
        const StyleTiles tiles = renderAllKinds(*style);
        p.setPen(Qt::white);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 16, QFont::Bold));
        p.drawText(QPointF(kMargin, y + 26), style->name);
        y += kLabelRow;
        y = paintTileRows(p, tiles.normal, kLargeHeight, kMargin, y, kPerRow, kGap);
        y = paintTileRows(p, tiles.highlighted, kLargeHeight, kMargin, y, kPerRow, kGap);
        y = paintTileRows(p, tiles.normal, kSmallHeight, kMargin, y, kPerRow, kGap);
        y = paintStackDemo(p, tiles, kLargeHeight, QPoint(kMargin, y)) + kGap;
        y = paintStackDemo(p, tiles, kSmallHeight, QPoint(kMargin, y)) + kGap;
    }
    return sheet;
}

}  // namespace tileart
