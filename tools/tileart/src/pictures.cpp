#include "pictures.h"

#include <QtMath>

namespace tileart {

namespace {

// Maps a 100 x 100 drawing grid onto a box, so pictures can be written with
// small round numbers.
class Grid {
public:
    explicit Grid(const QRectF &box) : box_(box) {}
    QPointF at(qreal x, qreal y) const
    {
        return {box_.left() + x / 100.0 * box_.width(), box_.top() + y / 100.0 * box_.height()};
    }
    qreal len(qreal units) const { return units / 100.0 * qMin(box_.width(), box_.height()); }
    Stroke line(std::initializer_list<QPointF> units, bool smooth = false) const
    {
        Stroke s{smooth, {}};
        for (const QPointF &u : units)
            s.points.push_back(at(u.x(), u.y()));
        return s;
    }
    Stroke curve(std::initializer_list<QPointF> units) const { return line(units, true); }

private:
    QRectF box_;
};

void drawBirdBody(Artist &a, const Grid &g)
{
    QPainterPath body(g.at(28, 62));
    body.cubicTo(g.at(26, 40), g.at(50, 26), g.at(66, 30));
    body.cubicTo(g.at(82, 36), g.at(78, 62), g.at(56, 72));
    body.cubicTo(g.at(44, 77), g.at(30, 72), g.at(28, 62));
    a.fill(body, a.ink().green);
    a.disc(g.at(70, 27), g.len(13), a.ink().green);
}

void drawBirdHead(Artist &a, const Grid &g)
{
    QPainterPath beak(g.at(80, 22));
    beak.lineTo(g.at(97, 29));
    beak.lineTo(g.at(80, 33));
    beak.closeSubpath();
    a.fill(beak, a.ink().gold);
    a.leaf(g.at(66, 16), g.at(58, 2), g.len(3.5), a.ink().red);
    a.leaf(g.at(70, 15), g.at(72, 0), g.len(3.5), a.ink().red);
    a.disc(g.at(73, 24), g.len(4.2), a.style().faceTop);
    a.disc(g.at(74, 24), g.len(2.2), a.ink().black);
}

}  // namespace

void drawBird(Artist &a, const QRectF &box)
{
    const Grid g(box);
    const Ink &ink = a.ink();
    a.stick(g.at(56, 92), g.len(66), g.len(9), 90, ink.brown);
    a.strokes({g.line({{50, 72}, {48, 88}}), g.line({{58, 71}, {62, 88}})}, g.len(3), ink.black);
    a.leaf(g.at(40, 62), g.at(3, 80), g.len(6), ink.red);
    a.leaf(g.at(40, 64), g.at(8, 96), g.len(6), ink.blue);
    a.leaf(g.at(42, 66), g.at(24, 100), g.len(5), ink.gold);
    drawBirdBody(a, g);
    a.leaf(g.at(68, 42), g.at(32, 60), g.len(9), ink.blue);
    drawBirdHead(a, g);
}

namespace {

void drawSprout(Artist &a, const Grid &g)
{
    QPainterPath soil;
    soil.addEllipse(g.at(50, 90), g.len(36), g.len(9));
    a.fill(soil, a.ink().brown);
    a.strokes({g.curve({{50, 88}, {49, 60}, {54, 32}})}, g.len(5), a.ink().green);
    a.leaf(g.at(50, 68), g.at(12, 48), g.len(11), a.ink().green);
    a.leaf(g.at(51, 56), g.at(90, 36), g.len(11), a.ink().green);
    a.blossom(g.at(54, 24), 5, g.len(17), g.len(13), a.ink().pink, a.ink().gold);
}

void drawSun(Artist &a, const Grid &g)
{
    constexpr int kRays = 12;
    constexpr qreal kRayHalfAngle = 0.16;  // radians
    const QPointF c = g.at(50, 50);
    QPainterPath rays;
    for (int i = 0; i < kRays; ++i) {
        const qreal t = 2 * M_PI * i / kRays;
        const auto polar = [&](qreal angle, qreal r) { return c + QPointF(qCos(angle), qSin(angle)) * g.len(r); };
        rays.moveTo(polar(t - kRayHalfAngle, 30));
        rays.lineTo(polar(t, 49));
        rays.lineTo(polar(t + kRayHalfAngle, 30));
        rays.closeSubpath();
    }
    a.fill(rays, a.ink().red);
    a.disc(c, g.len(31), a.ink().gold);
    a.disc(c, g.len(19), a.ink().gold.lighter(112));
}

void drawAutumnLeaf(Artist &a, const Grid &g)
{
    const QColor main = a.ink().red;
    a.strokes({g.line({{26, 80}, {12, 96}})}, g.len(4), a.ink().brown);
    a.leaf(g.at(24, 82), g.at(86, 10), g.len(24), main);
    const QColor vein = main.darker(170);
    a.strokes({g.line({{28, 78}, {80, 18}}), g.line({{42, 62}, {34, 40}}), g.line({{42, 62}, {66, 68}}),
               g.line({{58, 44}, {54, 24}}), g.line({{58, 44}, {80, 48}})},
              g.len(2.6), vein);
    a.leaf(g.at(58, 94), g.at(94, 66), g.len(10), a.ink().gold);
}

void drawSnowflake(Artist &a, const Grid &g)
{
    constexpr int kArms = 6;
    const QPointF c = g.at(50, 50);
    std::vector<Stroke> lines;
    for (int i = 0; i < kArms; ++i) {
        const qreal t = 2 * M_PI * i / kArms - M_PI / 2;
        const QPointF dir(qCos(t), qSin(t));
        lines.push_back(Stroke{false, {c, c + dir * g.len(46)}});
        for (qreal at : {0.5, 0.78}) {
            const QPointF root = c + dir * g.len(46 * at);
            for (qreal side : {-1.0, 1.0}) {
                const qreal bt = t + side * M_PI / 4;
                lines.push_back(Stroke{false, {root, root + QPointF(qCos(bt), qSin(bt)) * g.len(15)}});
            }
        }
    }
    a.strokes(lines, g.len(6), a.ink().blue);
    a.disc(c, g.len(8), a.ink().blue);
}

void drawPlum(Artist &a, const Grid &g)
{
    a.strokes({g.curve({{8, 98}, {30, 72}, {44, 54}, {78, 18}})}, g.len(7), a.ink().brown);
    a.strokes({g.curve({{40, 58}, {70, 64}, {90, 56}})}, g.len(4.5), a.ink().brown);
    a.blossom(g.at(72, 22), 5, g.len(19), g.len(18), a.ink().pink, a.ink().red);
    a.blossom(g.at(34, 46), 5, g.len(16), g.len(15), a.ink().pink, a.ink().red);
    a.blossom(g.at(84, 62), 5, g.len(12), g.len(11), a.ink().pink, a.ink().red);
}

void drawOrchid(Artist &a, const Grid &g)
{
    a.leaf(g.at(50, 98), g.at(6, 34), g.len(5), a.ink().green);
    a.leaf(g.at(52, 98), g.at(94, 44), g.len(5), a.ink().green);
    a.leaf(g.at(50, 98), g.at(70, 20), g.len(4), a.ink().green);
    a.strokes({g.curve({{48, 96}, {42, 70}, {42, 50}})}, g.len(3), a.ink().green);
    a.blossom(g.at(42, 36), 5, g.len(28), g.len(12), a.ink().purple, a.ink().gold);
}

void drawMum(Artist &a, const Grid &g)
{
    a.strokes({g.curve({{50, 98}, {52, 76}, {50, 50}})}, g.len(4), a.ink().green);
    a.leaf(g.at(51, 82), g.at(16, 66), g.len(9), a.ink().green);
    a.leaf(g.at(51, 74), g.at(86, 58), g.len(9), a.ink().green);
    a.blossom(g.at(50, 38), 18, g.len(32), g.len(8), a.ink().gold, a.ink().gold);
    a.blossom(g.at(50, 38), 12, g.len(19), g.len(7), a.ink().red, a.ink().brown);
}

void drawBambooSprig(Artist &a, const Grid &g)
{
    const QColor leafColour = a.ink().green.darker(125);
    a.stick(g.at(38, 54), g.len(92), g.len(13), 4, a.ink().green);
    for (const QPointF &tip : {QPointF(90, 12), QPointF(94, 34), QPointF(84, 52)})
        a.leaf(g.at(42, 30), g.at(tip.x(), tip.y()), g.len(6.5), leafColour);
    for (const QPointF &tip : {QPointF(4, 58), QPointF(10, 80)})
        a.leaf(g.at(36, 64), g.at(tip.x(), tip.y()), g.len(6.5), leafColour);
}

}  // namespace

void drawSeasonPicture(Artist &a, int season, const QRectF &box)
{
    const Grid g(box);
    switch (season) {
    case 1: drawSprout(a, g); break;
    case 2: drawSun(a, g); break;
    case 3: drawAutumnLeaf(a, g); break;
    default: drawSnowflake(a, g); break;
    }
}

void drawFlowerPicture(Artist &a, int flower, const QRectF &box)
{
    const Grid g(box);
    switch (flower) {
    case 1: drawPlum(a, g); break;
    case 2: drawOrchid(a, g); break;
    case 3: drawMum(a, g); break;
    default: drawBambooSprig(a, g); break;
    }
}

QString seasonName(int season)
{
    static const char *const names[] = {"Spring", "Summer", "Fall", "Winter"};
    return QString::fromLatin1(names[season - 1]);
}

QString flowerName(int flower)
{
    static const char *const names[] = {"Plum", "Orchid", "Mum", "Bamboo"};
    return QString::fromLatin1(names[flower - 1]);
}

}  // namespace tileart
