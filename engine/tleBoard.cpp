#include "tleBoard.h"

#include "tlDiagnostics.h"
#include "tlLayoutHandler.h"
#include "tleTileKinds.h"

namespace {

const int noTile = -1;
const int bitsPerWord = 64;

uint64_t bitOf(int index)
{
    return uint64_t(1) << (index % bitsPerWord);
}

int lowestBit(uint64_t bits)
{
    return __builtin_ctzll(bits);
}

}

tleBoard::tleBoard() = default;
tleBoard::~tleBoard() = default;

int8_t tleBoard::matchClass(uint32_t kind)
{
    if (kind < tle::regularKindCount)
        return int8_t(kind);
    if (kind <= tle::lastSeason)
        return int8_t(tle::regularKindCount);
    if (kind <= tle::lastFlower)
        return int8_t(tle::regularKindCount + 1);
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
    contiguous = false;
    layoutHandler.reset();
    neighbours.clear();
    classes.clear();
    words = 0;
    current = State();
    full = State();
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
    // The engine keeps its tiles side by side, so the index is the distance from the
    // first; other callers' tiles are found through the grid.
    if (contiguous) {
        const ptrdiff_t index = tile - tileList.front();
        if (index >= 0 && index < ptrdiff_t(tileList.size()) && tileList[size_t(index)] == tile)
            return int(index);
    }
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
    contiguous = true;
    for (size_t i = 0; i < tiles.size(); ++i)
        contiguous = contiguous && tiles[i] == tiles.front() + i;
    left = int32_t(count);
    ready = true;
    words = int((count + bitsPerWord - 1) / bitsPerWord);
    findNeighbours();
    kindsChanged();
    return true;
}

void tleBoard::findNeighbours()
{
    neighbours.assign(tileList.size(), Neighbours());
    for (size_t i = 0; i < tileList.size(); ++i) {
        const tleTile *tile = tileList[i];
        Neighbours &n = neighbours[i];
        const auto collect = [this, tile](auto &into, int dLayer, int dx, int dy) {
            const int cell = cellIndex(tile->layer + dLayer, tile->x + dx, tile->y + dy);
            if (cell != noTile && grid[size_t(cell)] != noTile)
                into.add(grid[size_t(cell)]);
        };
        for (int dy = -1; dy <= 1; ++dy) {
            collect(n.left, 0, -2, dy);
            collect(n.right, 0, 2, dy);
            for (int dx = -1; dx <= 1; ++dx) {
                collect(n.above, 1, dx, dy);
                collect(n.below, -1, dx, dy);
            }
        }
    }
}

uint64_t *tleBoard::classRow(State &state, int cls) const
{
    return state.classBits.data() + size_t(cls) * size_t(words);
}

const uint64_t *tleBoard::classRow(const State &state, int cls) const
{
    return state.classBits.data() + size_t(cls) * size_t(words);
}

bool tleBoard::freeIn(const State &state, int index) const
{
    const size_t i = size_t(index);
    return state.onBoard[i] && !state.aboveTaken[i] && (!state.leftTaken[i] || !state.rightTaken[i]);
}

void tleBoard::updateFree(State &state, int index) const
{
    const bool nowFree = freeIn(state, index);
    uint64_t &word = state.freeBits[size_t(index / bitsPerWord)];
    if (bool(word & bitOf(index)) == nowFree)
        return;
    word ^= bitOf(index);
    const int cls = classes[size_t(index)];
    if (cls == notMatchable)
        return;
    classRow(state, cls)[index / bitsPerWord] ^= bitOf(index);
    int &freeOfClass = state.freeInClass[size_t(cls)];
    if (nowFree) {
        state.pairs += unsigned(freeOfClass);
        ++freeOfClass;
    } else {
        --freeOfClass;
        state.pairs -= unsigned(freeOfClass);
    }
}

void tleBoard::recount(State &state) const
{
    const size_t n = tileList.size();
    state.leftTaken.assign(n, 0);
    state.rightTaken.assign(n, 0);
    state.aboveTaken.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const Neighbours &neighbour = neighbours[i];
        for (int j : neighbour.left)
            state.leftTaken[i] += state.onBoard[size_t(j)];
        for (int j : neighbour.right)
            state.rightTaken[i] += state.onBoard[size_t(j)];
        for (int j : neighbour.above)
            state.aboveTaken[i] += state.onBoard[size_t(j)];
    }
    state.freeBits.assign(size_t(words), 0);
    state.classBits.assign(size_t(words) * classCount, 0);
    state.freeInClass.fill(0);
    state.pairs = 0;
    for (size_t i = 0; i < n; ++i)
        updateFree(state, int(i));
}

tleBoard::State tleBoard::fullBoard() const
{
    State state;
    state.onBoard.assign(tileList.size(), 1);
    recount(state);
    return state;
}

void tleBoard::kindsChanged()
{
    classes.resize(tileList.size());
    for (size_t i = 0; i < tileList.size(); ++i)
        classes[i] = matchClass(tileList[i]->type);
    full = fullBoard();
    current.onBoard.resize(tileList.size());
    for (size_t i = 0; i < tileList.size(); ++i)
        current.onBoard[i] = tileList[i]->state == 1;
    recount(current);
}

void tleBoard::setPresence(int index, bool present)
{
    State &state = current;
    state.onBoard[size_t(index)] = present;
    // A neighbour's freedom can only change when its count of taken places on that
    // side turns from none to some or back.
    const auto countPlace = [this, &state, present](std::vector<uint8_t> &taken, int neighbour) {
        uint8_t &places = taken[size_t(neighbour)];
        places = uint8_t(present ? places + 1 : places - 1);
        if (places == (present ? 1 : 0))
            updateFree(state, neighbour);
    };
    // This tile is the right-hand neighbour of those on its left, and so on.
    const Neighbours &n = neighbours[size_t(index)];
    for (int j : n.left)
        countPlace(state.rightTaken, j);
    for (int j : n.right)
        countPlace(state.leftTaken, j);
    for (int j : n.below)
        countPlace(state.aboveTaken, j);
    updateFree(state, index);
}

bool tleBoard::isFree(const tleTile *tile) const
{
    const int index = indexOf(tile);
    return index != noTile && tile->state == 1 && freeIn(current, index);
}

void tleBoard::removeTile(tleTile *tile)
{
    if (!tile)
        return;
    tile->state = 0;
    --left;
    const int index = indexOf(tile);
    if (index != noTile && current.onBoard[size_t(index)])
        setPresence(index, false);
}

void tleBoard::restoreTile(tleTile *tile)
{
    if (!tile)
        return;
    tile->state = 1;
    ++left;
    const int index = indexOf(tile);
    if (index != noTile && !current.onBoard[size_t(index)])
        setPresence(index, true);
}

void tleBoard::restoreAll()
{
    if (!ready)
        return;
    for (tleTile *tile : tileList)
        tile->state = 1;
    left = int32_t(count);
    current = full;
}

unsigned tleBoard::pairCount() const
{
    return ready ? current.pairs : 0;
}

tleTilePair tleBoard::pairAt(unsigned index) const
{
    if (index >= pairCount())
        return {nullptr, nullptr};
    // Pairs run by their first tile in tile order, then by their second; a free tile
    // opens as many pairs as there are free tiles of its class after it.
    std::array<int, classCount> after = current.freeInClass;
    for (int word = 0; word < words; ++word) {
        for (uint64_t bits = current.freeBits[size_t(word)]; bits; bits &= bits - 1) {
            const int first = word * bitsPerWord + lowestBit(bits);
            const int cls = classes[size_t(first)];
            if (cls == notMatchable)
                continue;
            const unsigned opened = unsigned(--after[size_t(cls)]);
            if (index >= opened) {
                index -= opened;
                continue;
            }
            const uint64_t *row = classRow(current, cls);
            // The class's free tiles after the first one, word by word.
            uint64_t later = row[word] & ~((bitOf(first) << 1) - 1);
            for (int next = word; next < words; later = ++next < words ? row[next] : 0) {
                for (; later; later &= later - 1) {
                    if (index-- == 0)
                        return {tileList[size_t(first)],
                                tileList[size_t(next * bitsPerWord + lowestBit(later))]};
                }
            }
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
    for (int word = 0; word < words; ++word) {
        for (uint64_t bits = current.freeBits[size_t(word)]; bits; bits &= bits - 1)
            freeTiles.push_back(tileList[size_t(word * bitsPerWord + lowestBit(bits))]);
    }
    for (size_t i = 0; i + 1 < freeTiles.size(); ++i) {
        for (size_t j = i + 1; j < freeTiles.size(); ++j) {
            if (tilesMatch(freeTiles[i], freeTiles[j]))
                out.emplace_back(freeTiles[i], freeTiles[j]);
        }
    }
    return unsigned(out.size());
}
