#include "tlgCoordinateOverlay.h"

#include "tleTile.h"
#include "tlgTile.h"

#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPen>
#include <algorithm>
#include <set>

namespace {

const int lineAlpha = 100;
const int labelPixelSize = 14;
const int brightBackground = 128;
const int labelStep = 2;  // labels count half-tile units, two per tile

int grey(const QColor &colour)
{
    return (11 * colour.red() + 16 * colour.green() + 5 * colour.blue()) / 32;
}

// The widest gap between neighbouring positions that is still narrower than a tile,
// doubled when it is too narrow to label every line legibly.
qreal gridStep(const std::set<qreal> &positions, qreal tileSize)
{
    qreal step = 0;
    for (auto it = positions.begin(); it != positions.end() && std::next(it) != positions.end(); ++it) {
        const qreal gap = *std::next(it) - *it;
        if (gap < tileSize)
            step = std::max(step, gap);
    }
    if (tileSize * 3 * 0.25 > step)
        step *= 2;
    return step;
}

}

tlgCoordinateOverlay::~tlgCoordinateOverlay()
{
    clear();
}

void tlgCoordinateOverlay::clear()
{
    qDeleteAll(lines);
    qDeleteAll(labels);
    lines.clear();
    labels.clear();
}

void tlgCoordinateOverlay::build(QGraphicsScene *scene, const QVector<tlgTile *> &tiles,
                                 const QSize &reach, int frameWidth, const QColor &background)
{
    clear();
    if (tiles.isEmpty())
        return;
    std::set<qreal> xs, ys;
    for (const tlgTile *tile : tiles) {
        if (tile->tile() && tile->tile()->layer == 0) {
            xs.insert(tile->pos().x());
            ys.insert(tile->pos().y());
        }
    }
    if (xs.empty())
        return;
    const QRectF tileRect = tiles.first()->boundingRect();
    const qreal xStep = gridStep(xs, tileRect.width());
    const qreal yStep = gridStep(ys, tileRect.height());
    QColor linePen(Qt::white);
    linePen.setAlpha(lineAlpha);
    const QColor labelColour(grey(background) > brightBackground ? QStringLiteral("black")
                                                                  : QStringLiteral("white"));
    QFont font(QStringLiteral("Ariel"));
    font.setPixelSize(labelPixelSize);
    const QRectF sceneRect = scene->sceneRect();

    const auto addLabel = [&](int value, const QPointF &at, bool fromFarSide, bool horizontal) {
        auto *label = scene->addText(QString::number(value), font);
        label->setDefaultTextColor(labelColour);
        QPointF place = at;
        if (fromFarSide) {
            const QRectF size = label->boundingRect();
            place -= horizontal ? QPointF(size.width(), 0) : QPointF(0, size.height());
        }
        label->setPos(place);
        labels << label;
    };

    // Columns: a line at every step, labelled at the top and bottom of the scene.
    const qreal lastX = *xs.rbegin();
    int column = 0;
    for (qreal x = frameWidth; lines.size() <= int(xs.size()); x += xStep, column += labelStep) {
        lines << scene->addLine(x, -reach.height(), x, reach.height(), QPen(linePen));
        if (x > xStep + lastX || xStep <= 0)
            break;
        addLabel(column, QPointF(x, sceneRect.top()), false, false);
        addLabel(column, QPointF(x, sceneRect.bottom()), true, false);
    }
    const int columnLines = lines.size();
    const qreal lastY = *ys.rbegin();
    int row = 0;
    for (qreal y = frameWidth; lines.size() - columnLines <= int(ys.size()); y += yStep, ++row) {
        lines << scene->addLine(-reach.width(), y, reach.width(), y, QPen(linePen));
        if (y > yStep + lastY || yStep <= 0)
            break;
        addLabel(labelStep * row, QPointF(sceneRect.left(), y), false, true);
        addLabel(labelStep * row, QPointF(sceneRect.right(), y), true, true);
    }
}

void tlgCoordinateOverlay::setVisible(bool on)
{
    for (QGraphicsLineItem *line : lines)
        line->setVisible(on);
    for (QGraphicsTextItem *label : labels)
        label->setVisible(on);
}
