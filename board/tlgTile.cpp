#include "tlgTile.h"

#include "tlSettings.h"
#include "tleTile.h"

#include <QPainter>

namespace {
// Drawing order: any higher layer over any lower one; within a layer, tiles further
// right or down over their left and upper neighbours.
const int zPerLayer = 6000;
const int zPerStep = 51;
}

tlgTile::tlgTile(tleTile *tile, const QPixmap &normal, const QPixmap &highlighted,
                 QGraphicsItem *parent)
    : QGraphicsPixmapItem(normal, parent)
    , record(tile)
    , normalImage(normal)
    , highlightedImage(highlighted)
{
    setFlags(QGraphicsItem::ItemIsSelectable);
}

void tlgTile::setHighlighted(bool on)
{
    highlightedShown = on;
    setPixmap(on ? highlightedImage : normalImage);
}

void tlgTile::setPixmaps(const QPixmap &normal, const QPixmap &highlighted)
{
    normalImage = normal;
    highlightedImage = highlighted;
    setPixmap(highlightedShown ? highlightedImage : normalImage);
}

void tlgTile::updatePosition()
{
    if (!record)
        return;
    // The single-precision steps keep positions identical to those the layouts were
    // designed with.
    const float w = float(boundingRect().width());
    const float h = float(boundingRect().height());
    const float dw = float(w * sideEdge);
    const float dh = float(h * bottomEdge);
    const int frame = tlSettings::instance().boardFrameWidth;
    setZValue(zPerLayer * record->layer + zPerStep * record->x + zPerStep * record->y);
    const float across = (w - dw) * float(record->x);
    const float down = (h - dh) * float(record->y);
    const float liftX = (dw - 1) * float(record->layer);
    const float liftY = (dh - 1) * float(record->layer);
    setPos(float(across * 0.5 + frame - liftX), float(down * 0.5 + frame - liftY));
}

// A selectable pixmap item's bounding rectangle reaches half a pixel beyond the picture on
// every side, and the board lays tiles out by that rectangle. Drawn at its own size the
// picture would leave a seam of its edge strip between neighbours, so it fills the whole
// rectangle; without smoothing, the one extra column and row keep the face crisp.
void tlgTile::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::SmoothPixmapTransform,
                           transformationMode() == Qt::SmoothTransformation);
    painter->drawPixmap(boundingRect(), pixmap(), QRectF(pixmap().rect()));
}
