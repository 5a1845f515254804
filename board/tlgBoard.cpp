#include "tlgBoard.h"

#include "tlDiagnostics.h"
#include "tlSettings.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"
#include "tlgTile.h"
#include "tlgTileHandler.h"

#include <QGraphicsSceneMouseEvent>
#include <QPropertyAnimation>
#include <cstdlib>

namespace {
const int peekReach = 2;  // places tried, in tile widths and heights around the tile
const qreal peekOutAt = 0.25;
const qreal peekBackAt = 0.75;
}

tlgBoard::tlgBoard(QObject *parent)
    : QGraphicsScene(parent)
{
}

tlgBoard::~tlgBoard()
{
    delete peek;
}

void tlgBoard::removeTiles()
{
    // A peek may still be moving an item.
    delete peek;
    peek = nullptr;
    first = second = nullptr;
    qDeleteAll(tileList);
    tileList.clear();
}

void tlgBoard::replaceTiles(const tlgTileHandler &pictures)
{
    removeTiles();
    for (tleTile *record : engine->tiles()) {
        const int kind = int(record->type);
        auto *item = new tlgTile(record, pictures.normalPixmap(kind), pictures.highlightedPixmap(kind));
        tileList.append(item);
        addItem(item);
        item->hide();
    }
}

void tlgBoard::changePictures(const tlgTileHandler &pictures)
{
    for (tlgTile *item : qAsConst(tileList)) {
        const int kind = int(item->tile()->type);
        item->setPixmaps(pictures.normalPixmap(kind), pictures.highlightedPixmap(kind));
    }
}

void tlgBoard::showTiles()
{
    for (tlgTile *item : qAsConst(tileList)) {
        item->setHighlighted(false);
        item->show();
    }
}

void tlgBoard::placeTiles(int frame)
{
    for (tlgTile *item : qAsConst(tileList))
        item->updatePosition();
    const QRectF bounds = itemsBoundingRect();
    setSceneRect(bounds.x() - frame, bounds.y() - frame, float(bounds.width() + 2 * frame),
                 float(bounds.height() + 2 * frame));
}

void tlgBoard::newGame()
{
    first = nullptr;
    second = nullptr;
}

QList<tlgTile *> tlgBoard::tileItems(Qt::SortOrder order) const
{
    QList<tlgTile *> tiles;
    for (QGraphicsItem *item : items(order)) {
        if (auto *tile = dynamic_cast<tlgTile *>(item))
            tiles << tile;
    }
    return tiles;
}

tlgTile *tlgBoard::tileAt(const QPointF &scenePos) const
{
    tlgTile *found = nullptr;
    for (QGraphicsItem *item : items(scenePos, Qt::IntersectsItemShape, Qt::AscendingOrder)) {
        auto *tile = dynamic_cast<tlgTile *>(item);
        if (!tile || !tile->isVisible() || !tile->tile())
            continue;
        // Highest layer wins; within it the first in stacking order, the lowest z.
        if (!found || tile->tile()->layer > found->tile()->layer)
            found = tile;
    }
    return found;
}

tlgTile *tlgBoard::itemForTile(const tleTile *tile) const
{
    for (tlgTile *item : tileItems(Qt::DescendingOrder)) {
        if (item->tile() == tile)
            return item;
    }
    return nullptr;
}

void tlgBoard::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Qt's own selection and item handling never run: the board decides alone, and
    // the press goes no further.
    event->accept();
    if (event->button() == Qt::LeftButton)
        selectWithLeftClick(event->scenePos());
    else if (event->button() == Qt::RightButton && tileAt(event->scenePos()))
        removeSelectedPair();
}

void tlgBoard::selectWithLeftClick(const QPointF &scenePos)
{
    tlgTile *tile = tileAt(scenePos);
    if (!tile || !engine || !engine->board() || !engine->board()->isFree(tile->tile()))
        return;
    if (tile->isHighlighted()) {
        tile->setHighlighted(false);
        if (tile == first)
            first = nullptr;
        else if (tile == second)
            second = nullptr;
        if (!first && second) {
            first = second;
            second = nullptr;
        }
    } else {
        if (second)
            return;
        if (!first) {
            first = tile;
        } else if (tilesMatch(tile->tile(), first->tile())) {
            second = tile;
        } else {
            first->setHighlighted(false);
            first = tile;
        }
        tile->setHighlighted(true);
        emit tileSelected(int(tile->tile()->type));
    }
    emitSelectionFlags();
}

void tlgBoard::emitSelectionFlags()
{
    const bool single = first && !second;
    emit activateFindMatching(single);
    emit activatePeek(single && first->tile()->layer > 0);
}

void tlgBoard::emitUndoFlags()
{
    const bool played = engine->tilesLeft() < tlSettings::instance().maxTiles;
    emit activateUndo(played);
    emit activateReplay(played);
}

void tlgBoard::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    if (!second)
        return;
    tlgTile *tile = tileAt(event->scenePos());
    if (tile && (tile == first || tile == second))
        removeSelectedPair();
}

void tlgBoard::removeSelectedPair()
{
    if (!first || !second || !engine)
        return;
    if (!engine->removePair(first->tile(), second->tile())) {
        tl::diagnose("tlgBoard::mousePressEvent", {QStringLiteral("Warning, cannot remove tiles")});
        return;
    }
    first->setVisible(false);
    second->setVisible(false);
    first = nullptr;
    second = nullptr;
    emitUndoFlags();
    emit tileSelected(-1);
    emit updateCounters();
    emit tilesRemoved();
}

void tlgBoard::clearSelection()
{
    if (first)
        first->setHighlighted(false);
    if (second)
        second->setHighlighted(false);
    first = nullptr;
    second = nullptr;
}

void tlgBoard::showPair(tleTile *a, tleTile *b)
{
    if (a && b) {
        clearSelection();
        first = itemForTile(a);
        if (first)
            first->setHighlighted(true);
        second = itemForTile(b);
        if (second)
            second->setHighlighted(true);
    }
    emit updateCounters();
}

bool tlgBoard::findMatchingTile()
{
    if (!first || second || !engine || !engine->board())
        return false;
    for (tlgTile *item : tileItems(Qt::DescendingOrder)) {
        if (item->isVisible() && item != first && engine->board()->isFree(item->tile())
            && tilesMatch(item->tile(), first->tile())) {
            item->setHighlighted(true);
            second = item;
            return true;
        }
    }
    return false;
}

void tlgBoard::undoLastPair()
{
    clearSelection();
    if (!engine)
        return;
    const tleTilePair pair = engine->undo();
    if (!pair.first || !pair.second)
        return;
    for (const tleTile *tile : {pair.first, pair.second}) {
        if (tlgTile *item = itemForTile(tile)) {
            item->setVisible(true);
            item->setHighlighted(false);
        }
    }
    emit updateCounters();
    emitUndoFlags();
    emit tilesUndoRemoved();
}

bool tlgBoard::peekAnimation()
{
    if (peek) {
        if (peek->state() != QAbstractAnimation::Stopped)
            return false;
        delete peek;
        peek = nullptr;
    }
    if (!first || second)
        return false;

    const QPointF start = first->pos();
    const QRectF bounds = first->sceneBoundingRect();
    QVector<QPoint> candidates;
    for (int i = -peekReach; i <= peekReach; ++i) {
        for (int j = -peekReach; j <= peekReach; ++j) {
            if (i == 0 && j == 0)
                continue;
            const QRectF place = bounds.translated(i * bounds.width(), j * bounds.height());
            bool clear = true;
            for (QGraphicsItem *item : items(place, Qt::IntersectsItemShape, Qt::DescendingOrder)) {
                auto *tile = dynamic_cast<tlgTile *>(item);
                if (tile && tile->isVisible() && tile->zValue() >= first->zValue())
                    clear = false;
            }
            if (clear)
                candidates << QPoint(i, j);
        }
    }
    // rand() is never seeded, so the places a peek tries repeat from run to run.
    for (int k = 1; k < candidates.size(); ++k)
        std::swap(candidates[k], candidates[std::rand() % (k + 1)]);
    QPointF target(0, 0);
    if (!candidates.isEmpty()) {
        QPoint offset = candidates.first();
        for (const QPoint &candidate : candidates) {
            if (candidate.x() * candidate.x() + candidate.y() * candidate.y() <= 2) {
                offset = candidate;
                break;
            }
        }
        target = start + QPointF(offset.x() * bounds.width(), offset.y() * bounds.height());
    }

    peek = new QPropertyAnimation(first, "pos");
    peek->setDuration(peekMilliseconds);
    peek->setStartValue(start);
    peek->setKeyValueAt(peekOutAt, target);
    peek->setKeyValueAt(peekBackAt, target);
    peek->setEndValue(start);
    peek->start(QAbstractAnimation::KeepWhenStopped);
    return true;
}
