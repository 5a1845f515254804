#include "faces.h"

#include "pictures.h"

#include <vector>

namespace tileart {

namespace {

constexpr qreal kFaceMargin = 44;  // keeps motifs off the rounded border
constexpr qreal kIndexPixels = 84;
constexpr QPointF kIndexOrigin(30, 18);
constexpr qreal kIndexBand = 64;   // room kept free above grid motifs for the index
constexpr qreal kLabelHeight = 96;
constexpr qreal kLabelPixels = 74;
constexpr qreal kPictureTop = 70;

// Brush weights (glyph units) chosen so strokes survive heavy downscaling.
constexpr qreal kNumeralWeight = 12.5;
constexpr qreal kWanWeight = 7.2;
constexpr qreal kWindWeight = 8.6;
constexpr qreal kMiddleWeight = 10;
constexpr qreal kFaWeight = 7;

enum class InkName { Red, Green, Blue, Black };

QColor inkColour(const Ink &ink, InkName name)
{
    switch (name) {
    case InkName::Red: return ink.red;
    case InkName::Green: return ink.green;
    case InkName::Blue: return ink.blue;
    default: return ink.black;
    }
}

// A token placed at a fraction of the motif box.
struct Spot {
    qreal x, y;
    InkName ink;
    qreal angle;
};

// Traditional layout of a numbered suit tile; `size` is the coin radius
// (of box width) or the stick length (of box height), `width` the stick width.
struct Arrangement {
    qreal size;
    qreal width;
    std::vector<Spot> spots;
};

constexpr InkName R = InkName::Red;
constexpr InkName G = InkName::Green;
constexpr InkName B = InkName::Blue;

// Spots on a regular grid, one ink per row.
std::vector<Spot> gridSpots(std::vector<qreal> xs, std::vector<qreal> ys, std::vector<InkName> rowInks)
{
    std::vector<Spot> spots;
    for (size_t row = 0; row < ys.size(); ++row) {
        for (qreal x : xs)
            spots.push_back({x, ys[row], rowInks[row], 0});
    }
    return spots;
}

std::vector<Spot> joined(std::vector<Spot> a, const std::vector<Spot> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Arrangement &wheelArrangement(int rank)
{
    static const std::vector<Arrangement> table{
        {0.46, 0, {{0.5, 0.5, G, 0}}},
        {0.21, 0, {{0.5, 0.25, G, 0}, {0.5, 0.75, B, 0}}},
        {0.165, 0, {{0.2, 0.16, B, 0}, {0.5, 0.5, R, 0}, {0.8, 0.84, G, 0}}},
        {0.19, 0, {{0.27, 0.24, B, 0}, {0.73, 0.24, G, 0}, {0.27, 0.76, G, 0}, {0.73, 0.76, B, 0}}},
        {0.165, 0, {{0.21, 0.18, B, 0}, {0.79, 0.18, G, 0}, {0.5, 0.5, R, 0}, {0.21, 0.82, G, 0},
                    {0.79, 0.82, B, 0}}},
        {0.15, 0, gridSpots({0.27, 0.73}, {0.16, 0.5, 0.84}, {G, R, R})},
        {0.12, 0, joined({{0.2, 0.1, G, 0}, {0.5, 0.24, G, 0}, {0.8, 0.38, G, 0}},
                         gridSpots({0.3, 0.7}, {0.62, 0.88}, {R, R}))},
        {0.125, 0, gridSpots({0.27, 0.73}, {0.12, 0.37, 0.63, 0.88}, {B, B, B, B})},
        {0.14, 0, gridSpots({0.18, 0.5, 0.82}, {0.16, 0.5, 0.84}, {B, R, G})},
    };
    return table.at(rank - 1);
}

const Arrangement &bambooArrangement(int rank)
{
    constexpr qreal lean = 22;
    static const std::vector<Arrangement> table{
        {0, 0, {}},  // the bird
        {0.38, 0.16, {{0.5, 0.25, G, 0}, {0.5, 0.75, B, 0}}},
        {0.38, 0.16, {{0.5, 0.25, B, 0}, {0.3, 0.75, G, 0}, {0.7, 0.75, G, 0}}},
        {0.38, 0.16, gridSpots({0.3, 0.7}, {0.25, 0.75}, {G, B})},
        {0.36, 0.15, {{0.2, 0.22, G, 0}, {0.8, 0.22, B, 0}, {0.5, 0.5, R, 0}, {0.2, 0.78, B, 0},
                      {0.8, 0.78, G, 0}}},
        {0.38, 0.15, gridSpots({0.2, 0.5, 0.8}, {0.25, 0.75}, {G, B})},
        {0.27, 0.15, joined({{0.5, 0.15, R, 0}}, gridSpots({0.2, 0.5, 0.8}, {0.5, 0.84}, {G, B}))},
        {0.38, 0.12, {{0.13, 0.25, G, 0}, {0.38, 0.25, B, lean}, {0.62, 0.25, B, -lean}, {0.87, 0.25, G, 0},
                      {0.13, 0.75, G, 0}, {0.38, 0.75, B, -lean}, {0.62, 0.75, B, lean}, {0.87, 0.75, G, 0}}},
        {0.27, 0.15, {{0.2, 0.16, G, 0}, {0.5, 0.16, R, 0}, {0.8, 0.16, G, 0}, {0.2, 0.5, G, 0},
                      {0.5, 0.5, R, 0}, {0.8, 0.5, G, 0}, {0.2, 0.84, G, 0}, {0.5, 0.84, R, 0},
                      {0.8, 0.84, G, 0}}},
    };
    return table.at(rank - 1);
}

QPointF placed(const QRectF &box, const Spot &spot)
{
    return {box.left() + spot.x * box.width(), box.top() + spot.y * box.height()};
}

QRectF centredBox(const QRectF &area, qreal widthShare, qreal heightShare, qreal top)
{
    const qreal w = area.width() * widthShare;
    const qreal h = area.height() * heightShare;
    return {area.center().x() - w / 2, area.top() + top * area.height(), w, h};
}

QRectF squareIn(const QRectF &area)
{
    const qreal side = qMin(area.width(), area.height());
    return {area.center().x() - side / 2, area.center().y() - side / 2, side, side};
}

void drawIndex(Artist &a, const QRectF &face, const QString &label, const QColor &colour)
{
    const QRectF box(face.topLeft() + kIndexOrigin, QSizeF(face.width() / 2, kIndexPixels * 1.3));
    a.text(box, label, kIndexPixels, colour, Qt::AlignLeft | Qt::AlignTop);
}

void drawCharacter(Artist &a, int rank, const QRectF &area)
{
    a.glyph(glyph(numeralGlyph(rank)), centredBox(area, 0.64, 0.34, 0.05), kNumeralWeight, a.ink().black);
    a.glyph(glyph(GlyphId::Wan), centredBox(area, 0.8, 0.5, 0.47), kWanWeight, a.ink().red);
}

void drawWheels(Artist &a, int rank, const QRectF &area)
{
    const QRectF box = area.adjusted(0, kIndexBand, 0, 0);
    if (rank == 1) {
        const QRectF square = squareIn(box);
        a.ornateCoin(square.center(), square.width() * wheelArrangement(1).size);
        return;
    }
    const Arrangement &layout = wheelArrangement(rank);
    for (const Spot &spot : layout.spots)
        a.coin(placed(box, spot), layout.size * box.width(), inkColour(a.ink(), spot.ink));
}

void drawBamboo(Artist &a, int rank, const QRectF &area)
{
    const QRectF box = area.adjusted(0, kIndexBand, 0, 0);
    if (rank == 1) {
        drawBird(a, squareIn(box));
        return;
    }
    const Arrangement &layout = bambooArrangement(rank);
    for (const Spot &spot : layout.spots) {
        a.stick(placed(box, spot), layout.size * box.height(), layout.width * box.width(), spot.angle,
                inkColour(a.ink(), spot.ink));
    }
}

void drawWind(Artist &a, int rank, const QRectF &area)
{
    static const GlyphId winds[] = {GlyphId::North, GlyphId::South, GlyphId::East, GlyphId::West};
    a.glyph(glyph(winds[rank - 1]), centredBox(area, 0.8, 0.62, 0.24), kWindWeight, a.ink().black);
}

void drawWhiteDragon(Artist &a, const QRectF &area)
{
    const QRectF outer = centredBox(area, 0.76, 0.7, 0.2);
    const qreal band = outer.width() * 0.12;
    const qreal radius = band * 0.6;
    QPainterPath frame;
    frame.addRoundedRect(outer, radius, radius);
    frame.addRoundedRect(outer.adjusted(band, band, -band, -band), radius / 2, radius / 2);
    a.fill(frame, a.ink().blue);
    const qreal inset = band * 1.6;
    QPainterPath inner;
    inner.addRect(outer.adjusted(inset, inset, -inset, -inset));
    inner.addRect(outer.adjusted(inset + band * 0.35, inset + band * 0.35, -inset - band * 0.35,
                                 -inset - band * 0.35));
    a.fill(inner, a.ink().blue);
}

void drawDragon(Artist &a, int rank, const QRectF &area)
{
    if (rank == 1)
        a.glyph(glyph(GlyphId::Fa), centredBox(area, 0.86, 0.7, 0.2), kFaWeight, a.ink().green);
    else if (rank == 2)
        a.glyph(glyph(GlyphId::Middle), centredBox(area, 0.74, 0.7, 0.2), kMiddleWeight, a.ink().red);
    else
        drawWhiteDragon(a, area);
}

// Seasons and flowers: a picture with its name underneath.
void drawBonus(Artist &a, const Kind &kind, const QRectF &area)
{
    const bool season = kind.suit == Suit::Season;
    const QRectF picture = squareIn(area.adjusted(0, kPictureTop, 0, -kLabelHeight));
    if (season)
        drawSeasonPicture(a, kind.rank, picture);
    else
        drawFlowerPicture(a, kind.rank, picture);
    const QRectF label(area.left(), area.bottom() - kLabelHeight, area.width(), kLabelHeight);
    a.text(label, season ? seasonName(kind.rank) : flowerName(kind.rank), kLabelPixels,
           season ? a.ink().blue : a.ink().red, Qt::AlignCenter);
}

QString indexLabel(const Kind &kind)
{
    static const char *const winds[] = {"N", "S", "E", "W"};
    static const char *const dragons[] = {"G", "R", "Wh"};
    if (kind.suit == Suit::Wind)
        return QString::fromLatin1(winds[kind.rank - 1]);
    if (kind.suit == Suit::Dragon)
        return QString::fromLatin1(dragons[kind.rank - 1]);
    return QString::number(kind.rank);
}

QColor indexColour(const Ink &ink, const Kind &kind)
{
    switch (kind.suit) {
    case Suit::Character: return ink.red;
    case Suit::Wheel: return ink.blue;
    case Suit::Bamboo: return ink.green;
    case Suit::Wind: return ink.black;
    case Suit::Dragon: return kind.rank == 1 ? ink.green : kind.rank == 2 ? ink.red : ink.blue;
    case Suit::Season: return ink.blue;
    default: return ink.red;
    }
}

}  // namespace

void drawFaceContent(Artist &a, const Kind &kind, const QRectF &face)
{
    const QRectF area = face.adjusted(kFaceMargin, kFaceMargin, -kFaceMargin, -kFaceMargin);
    switch (kind.suit) {
    case Suit::Character: drawCharacter(a, kind.rank, area); break;
    case Suit::Wheel: drawWheels(a, kind.rank, area); break;
    case Suit::Bamboo: drawBamboo(a, kind.rank, area); break;
    case Suit::Wind: drawWind(a, kind.rank, area); break;
    case Suit::Dragon: drawDragon(a, kind.rank, area); break;
    default: drawBonus(a, kind, area); break;
    }
    drawIndex(a, face, indexLabel(kind), indexColour(a.ink(), kind));
}

}  // namespace tileart
