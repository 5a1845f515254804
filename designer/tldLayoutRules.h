#ifndef TLDLAYOUTRULES_H
#define TLDLAYOUTRULES_H

#include "tlLayoutHandler.h"

#include <QHash>
#include <QSet>
#include <QVector>

// Which tiles cover which half-tile cells of a layout, layer by layer: a tile at x, y
// covers the cells x..x+1 by y..y+1. Answers where tiles collide and what they rest on.
class tldCellMap
{
public:
    explicit tldCellMap(const QVector<tlTilePosition> &positions);

    // The tiles of `layer` that cover cell (x, y), lowest index first.
    QVector<int> tilesAt(int32_t layer, int32_t x, int32_t y) const;
    // The highest layer with a tile sharing room with a tile at (x, y), leaving out the
    // tiles in `ignored`; 0 when there is none.
    int32_t highestUnder(int32_t x, int32_t y, const QSet<int> &ignored = {}) const;

    // The four cells a tile at (x, y) covers.
    static QVector<QPair<int32_t, int32_t>> footprint(int32_t x, int32_t y);

private:
    static quint64 key(int32_t layer, int32_t x, int32_t y);

    QHash<quint64, QVector<int>> cells;
    int32_t topLayer = 0;
};

// The shape rules a layout keeps for the game to deal a fair board on it.
namespace tldLayoutRules {

bool samePlace(const tlTilePosition &a, const tlTilePosition &b);
// The same places in the same order.
bool samePlaces(const QVector<tlTilePosition> &a, const QVector<tlTilePosition> &b);

// Tiles sharing room with another tile of their layer.
QSet<int> overlapping(const QVector<tlTilePosition> &positions);
// Tiles above the lowest layer that do not rest on the layer below with all four of
// their cells: the built-in layouts keep this rule, and the game's free-tile test looks
// at the layer directly above only, so a tile over a gap would not cover what lies
// beneath it.
QSet<int> floating(const QVector<tlTilePosition> &positions);

}

#endif
