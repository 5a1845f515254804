#include "tleBoard.h"

#include "tlDiagnostics.h"
#include "tlLayoutHandler.h"
#include "tleTileKinds.h"

namespace {
const int noTile = -1;
const int notMatchable = -1;
}

tleBoard::tleBoard() = default;
tleBoard::~tleBoard() = default;

int tleBoard::matchClass(uint32_t kind)
{
    if (kind < tle::regularKindCount)
        return int(kind);
    if (kind <= tle::lastSeason)
        return int(tle::regularKindCount);
    if (kind <= tle::lastFlower)
        return int(tle::regularKindCount) + 1;
    return notMatchable;
}

void tleBoard::clear()
{
    grid.clear();
    tileList.clear();
    count = 0;
    left = 0;
    columns = rows = layers = 0;
    ready = false;
    layoutHandler.reset();
    neighbours.clear();
    free.clear();
    freeInClass.fill(0);
    pairs = 0;
}

int tleBoard::cellIndex(int32_t layer, int32_t x, int32_t y) const
{
    if (layer < 0 || layer >= layers || x < 0 || x > columns || y < 0 || y > rows)
        return noTile;
    return (layer * (columns + 1) + x) * (rows + 1) + y;
}

tleTile *tleBoard::tileAt(int32_t layer, int32_t x, int32_t y) const
{
    const int cell = cellIndex(layer, x, y);
    if (cell == noTile || grid[size_t(cell)] == noTile)
        return nullptr;
    return tileList[size_t(grid[size_t(cell)])];
}

int tleBoard::indexOf(const tleTile *tile) const
{
    if (!tile || !ready)
        return noTile;
    const int cell = cellIndex(tile->layer, tile->x, tile->y);
    if (cell == noTile)
        return noTile;
    const int index = grid[size_t(cell)];
    return index != noTile && tileList[size_t(index)] == tile ? index : noTile;
}

bool tleBoard::init(const QString &layoutFile, const std::vector<tleTile *> &tiles)
{
    clear();
    layoutHandler = std::make_unique<tlLayoutHandler>();
    if (!layoutHandler->open(layoutFile)) {
        tl::diagnose("tleBoard::init", {QStringLiteral("failed to open file '%1'.").arg(layoutFile)});
        return false;
    }
    if (!layoutHandler->verified()) {
        tl::diagnose("tleBoard::init",
                     {QStringLiteral("layout file is not verified. Cannot use it.")});
        return false;
    }
    columns = layoutHandler->ux() - layoutHandler->lx();
    rows = layoutHandler->uy() - layoutHandler->ly();
    if (int(tiles.size()) != layoutHandler->positionCount()) {
        tl::diagnose("tleBoard::init",
                     {QStringLiteral("number of tiles in layout does not match number of tiles received.")});
        columns = rows = 0;
        return false;
    }
    count = uint32_t(tiles.size());
    layers = layoutHandler->maxLayer();
    // The reader has checked bounds, layers and distinct positions, so the grid is
    // small and every tile gets a cell of its own.
    grid.assign(size_t(layers) * size_t(columns + 1) * size_t(rows + 1), noTile);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const tlTilePosition position = layoutHandler->position(int(i));
        tleTile *tile = tiles[i];
        tile->layer = position.layer - 1;
        tile->x = position.x - layoutHandler->lx();
        tile->y = position.y - layoutHandler->ly();
        tile->state = 1;
    }
    for (size_t i = 0; i < tiles.size(); ++i)
        grid[size_t(cellIndex(tiles[i]->layer, tiles[i]->x, tiles[i]->y))] = int(i);
    tileList = tiles;
    left = int32_t(count);
    ready = true;
    findNeighbours();
    kindsChanged();
    return true;
}

void tleBoard::findNeighbours()
{
    neighbours.assign(tileList.size(), Neighbours());
    const auto collect = [this](std::vector<int> &into, int32_t layer, int32_t x, int32_t y) {
        const int cell = cellIndex(layer, x, y);
        if (cell != noTile && grid[size_t(cell)] != noTile)
            into.push_back(grid[size_t(cell)]);
    };
    for (size_t i = 0; i < tileList.size(); ++i) {
        const tleTile *tile = tileList[i];
        Neighbours &n = neighbours[i];
        for (int dy = -1; dy <= 1; ++dy) {
            collect(n.left, tile->layer, tile->x - 2, tile->y + dy);
            collect(n.right, tile->layer, tile->x + 2, tile->y + dy);
            for (int dx = -1; dx <= 1; ++dx)
                collect(n.above, tile->layer + 1, tile->x + dx, tile->y + dy);
        }
    }
    // Whose freedom a tile decides: its side neighbours and the tiles it lies on.
    for (size_t i = 0; i < tileList.size(); ++i) {
        Neighbours &n = neighbours[i];
        n.dependants.insert(n.dependants.end(), n.left.begin(), n.left.end());
        n.dependants.insert(n.dependants.end(), n.right.begin(), n.right.end());
        for (int upper : n.above)
            neighbours[size_t(upper)].dependants.push_back(int(i));
    }
}

bool tleBoard::anyOnBoard(const std::vector<int> &indices) const
{
    for (int index : indices) {
        if (tileList[size_t(index)]->state == 1)
            return true;
    }
    return false;
}

bool tleBoard::computeFree(int index) const
{
    const Neighbours &n = neighbours[size_t(index)];
    if (tileList[size_t(index)]->state != 1)
        return false;
    if (anyOnBoard(n.left) && anyOnBoard(n.right))
        return false;
    return !anyOnBoard(n.above);
}

bool tleBoard::isFree(const tleTile *tile) const
{
    const int index = indexOf(tile);
    return index != noTile && computeFree(index);
}

void tleBoard::setFree(int index, bool nowFree)
{
    char &flag = free[size_t(index)];
    if (bool(flag) == nowFree)
        return;
    flag = nowFree;
    const int cls = matchClass(tileList[size_t(index)]->type);
    if (cls == notMatchable)
        return;
    if (nowFree) {
        pairs += unsigned(freeInClass[size_t(cls)]);
        ++freeInClass[size_t(cls)];
    } else {
        --freeInClass[size_t(cls)];
        pairs -= unsigned(freeInClass[size_t(cls)]);
    }
}

void tleBoard::refreshAround(int index)
{
    setFree(index, computeFree(index));
    for (int dependant : neighbours[size_t(index)].dependants)
        setFree(dependant, computeFree(dependant));
}

void tleBoard::removeTile(tleTile *tile)
{
    if (!tile)
        return;
    tile->state = 0;
    --left;
    const int index = indexOf(tile);
    if (index != noTile)
        refreshAround(index);
}

void tleBoard::restoreTile(tleTile *tile)
{
    if (!tile)
        return;
    tile->state = 1;
    ++left;
    const int index = indexOf(tile);
    if (index != noTile)
        refreshAround(index);
}

void tleBoard::kindsChanged()
{
    free.assign(tileList.size(), 0);
    freeInClass.fill(0);
    pairs = 0;
    for (size_t i = 0; i < tileList.size(); ++i)
        setFree(int(i), computeFree(int(i)));
}

unsigned tleBoard::pairCount() const
{
    return ready ? pairs : 0;
}

tleTilePair tleBoard::pairAt(unsigned index) const
{
    if (index >= pairCount())
        return {nullptr, nullptr};
    // Pairs run by their first tile in tile order, then by their second; a free tile
    // opens as many pairs as there are free tiles of its class after it.
    std::array<int, classCount> after = freeInClass;
    for (size_t i = 0; i < tileList.size(); ++i) {
        const int cls = matchClass(tileList[i]->type);
        if (!free[i] || cls == notMatchable)
            continue;
        const unsigned opened = unsigned(--after[size_t(cls)]);
        if (index >= opened) {
            index -= opened;
            continue;
        }
        for (size_t j = i + 1; j < tileList.size(); ++j) {
            if (free[j] && matchClass(tileList[j]->type) == cls && index-- == 0)
                return {tileList[i], tileList[j]};
        }
    }
    return {nullptr, nullptr};
}

unsigned tleBoard::possiblePairs(tleTilePairList &out) const
{
    if (!ready)
        return 0;
    out.clear();
    std::vector<tleTile *> freeTiles;
    for (size_t i = 0; i < tileList.size(); ++i) {
        if (free[i])
            freeTiles.push_back(tileList[i]);
    }
    for (size_t i = 0; i + 1 < freeTiles.size(); ++i) {
        for (size_t j = i + 1; j < freeTiles.size(); ++j) {
            if (tilesMatch(freeTiles[i], freeTiles[j]))
                out.emplace_back(freeTiles[i], freeTiles[j]);
        }
    }
    return unsigned(out.size());
}
