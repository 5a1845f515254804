#include "tldLayoutRules.h"

#include <algorithm>

namespace {
// A tile covers two half-tile cells each way.
const int32_t tileSpan = 2;
}

tldCellMap::tldCellMap(const QVector<tlTilePosition> &positions)
{
    for (int i = 0; i < positions.size(); ++i) {
        const tlTilePosition &p = positions.at(i);
        topLayer = std::max(topLayer, p.layer);
        for (const auto &cell : footprint(p.x, p.y))
            cells[key(p.layer, cell.first, cell.second)].append(i);
    }
}

quint64 tldCellMap::key(int32_t layer, int32_t x, int32_t y)
{
    // Sixteen bits for the layer and 24 for each coordinate hold anything the game's
    // reader accepts, offsets into negative numbers included.
    const quint64 coordinateBits = 24;
    const quint64 coordinateMask = (quint64(1) << coordinateBits) - 1;
    return (quint64(uint16_t(layer)) << (2 * coordinateBits))
        | ((quint64(uint32_t(x)) & coordinateMask) << coordinateBits)
        | (quint64(uint32_t(y)) & coordinateMask);
}

QVector<QPair<int32_t, int32_t>> tldCellMap::footprint(int32_t x, int32_t y)
{
    QVector<QPair<int32_t, int32_t>> result;
    for (int32_t dy = 0; dy < tileSpan; ++dy) {
        for (int32_t dx = 0; dx < tileSpan; ++dx)
            result.append({x + dx, y + dy});
    }
    return result;
}

QVector<int> tldCellMap::tilesAt(int32_t layer, int32_t x, int32_t y) const
{
    return cells.value(key(layer, x, y));
}

int32_t tldCellMap::highestUnder(int32_t x, int32_t y, const QSet<int> &ignored) const
{
    for (int32_t layer = topLayer; layer >= 1; --layer) {
        for (const auto &cell : footprint(x, y)) {
            const QVector<int> here = tilesAt(layer, cell.first, cell.second);
            if (std::any_of(here.begin(), here.end(), [&](int i) { return !ignored.contains(i); }))
                return layer;
        }
    }
    return 0;
}

namespace tldLayoutRules {

bool samePlace(const tlTilePosition &a, const tlTilePosition &b)
{
    return a.layer == b.layer && a.x == b.x && a.y == b.y;
}

bool samePlaces(const QVector<tlTilePosition> &a, const QVector<tlTilePosition> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), samePlace);
}

QSet<int> overlapping(const QVector<tlTilePosition> &positions)
{
    const tldCellMap map(positions);
    QSet<int> result;
    for (int i = 0; i < positions.size(); ++i) {
        const tlTilePosition &p = positions.at(i);
        for (const auto &cell : tldCellMap::footprint(p.x, p.y)) {
            if (map.tilesAt(p.layer, cell.first, cell.second).size() > 1)
                result.insert(i);
        }
    }
    return result;
}

QSet<int> floating(const QVector<tlTilePosition> &positions)
{
    const tldCellMap map(positions);
    QSet<int> result;
    for (int i = 0; i < positions.size(); ++i) {
        const tlTilePosition &p = positions.at(i);
        if (p.layer <= 1)
            continue;
        for (const auto &cell : tldCellMap::footprint(p.x, p.y)) {
            if (map.tilesAt(p.layer - 1, cell.first, cell.second).isEmpty())
                result.insert(i);
        }
    }
    return result;
}

}
