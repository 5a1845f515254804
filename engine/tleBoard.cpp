#include "tleBoard.h"

#include "tlDiagnostics.h"
#include "tlLayoutHandler.h"
#include "tleTileKinds.h"

#include <limits>

namespace {

const int noTile = -1;
const int bitsPerWord = 64;

uint64_t bitOf(int index)
{
    return uint64_t(1) << (unsigned(index) % bitsPerWord);
}

int wordOf(int index)
{
    return int(unsigned(index) / bitsPerWord);
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
    dependents.clear();
    dependentStart.clear();
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
    // Entries are 16 bits wide: enough for the largest layout.
    static_assert(tlLayoutHandler::maxTiles * placeCount <= std::numeric_limits<uint16_t>::max() + 1,
                  "a place entry must fit its 16 bits");
    dependents.clear();
    dependentStart.assign(1, 0);
    for (const tleTile *tile : tileList) {
        const auto collect = [this, tile](int dLayer, int dx, int dy, Place place) {
            const int cell = cellIndex(tile->layer + dLayer, tile->x + dx, tile->y + dy);
            if (cell != noTile && grid[size_t(cell)] != noTile)
                dependents.push_back(uint16_t(grid[size_t(cell)] * placeCount + place));
        };
        for (int dy = -1; dy <= 1; ++dy) {
            collect(0, -2, dy, rightPlace);
            collect(0, 2, dy, leftPlace);
            for (int dx = -1; dx <= 1; ++dx)
                collect(-1, dx, dy, abovePlace);
        }
        dependentStart.push_back(uint32_t(dependents.size()));
    }
}

inline uint64_t *tleBoard::classRow(State &state, int cls) const
{
    return state.classBits.data() + size_t(cls) * size_t(words);
}

inline const uint64_t *tleBoard::classRow(const State &state, int cls) const
{
    return state.classBits.data() + size_t(cls) * size_t(words);
}

// Whether the tile whose counts start at `place` is free.
inline bool tleBoard::freeAt(const uint8_t *place)
{
    return place[selfPlace] && !place[abovePlace] && (!place[leftPlace] || !place[rightPlace]);
}

inline bool tleBoard::freeIn(const State &state, int index) const
{
    return freeAt(state.places.data() + size_t(index) * placeCount);
}

// A tile of class `cls` that was not free now is.
inline void tleBoard::markFree(State &state, int index, int cls) const
{
    state.freeBits[size_t(wordOf(index))] |= bitOf(index);
    classRow(state, cls)[wordOf(index)] |= bitOf(index);
    state.pairs += unsigned(state.freeInClass[size_t(cls)]++);
}

void tleBoard::updateFree(State &state, int index) const
{
    // Tiles that pair with nothing need no bookkeeping: whether they are free is
    // asked of their counts.
    const int cls = classes[size_t(index)];
    if (cls == notMatchable)
        return;
    const bool nowFree = freeIn(state, index);
    uint64_t &word = state.freeBits[size_t(wordOf(index))];
    if (bool(word & bitOf(index)) == nowFree)
        return;
    if (nowFree) {
        markFree(state, index, cls);
        return;
    }
    word ^= bitOf(index);
    classRow(state, cls)[wordOf(index)] ^= bitOf(index);
    state.pairs -= unsigned(--state.freeInClass[size_t(cls)]);
}

void tleBoard::recount(State &state) const
{
    const size_t n = tileList.size();
    for (size_t i = 0; i < n; ++i) {
        uint8_t *place = state.places.data() + i * placeCount;
        place[leftPlace] = place[rightPlace] = place[abovePlace] = 0;
    }
    for (size_t i = 0; i < n; ++i) {
        if (!state.places[i * placeCount + selfPlace])
            continue;
        for (uint32_t e = dependentStart[i]; e < dependentStart[i + 1]; ++e)
            ++state.places[dependents[e]];
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
    state.places.assign(tileList.size() * placeCount, 0);
    for (size_t i = 0; i < tileList.size(); ++i)
        state.places[i * placeCount + selfPlace] = 1;
    recount(state);
    return state;
}

void tleBoard::kindsChanged()
{
    classes.resize(tileList.size());
    for (size_t i = 0; i < tileList.size(); ++i)
        classes[i] = matchClass(tileList[i]->type);
    full = fullBoard();
    current.places.resize(tileList.size() * placeCount);
    for (size_t i = 0; i < tileList.size(); ++i)
        current.places[i * placeCount + selfPlace] = tileList[i]->state == 1;
    recount(current);
}

void tleBoard::setPresence(int index, bool present)
{
    State &state = current;
    uint8_t *places = state.places.data();
    places[size_t(index) * placeCount + selfPlace] = present;
    // A neighbour's freedom can only change when its count of taken places on that
    // side turns from none to some or back.
    const uint8_t changed = present ? 1 : 0;
    for (uint32_t e = dependentStart[size_t(index)]; e < dependentStart[size_t(index) + 1]; ++e) {
        const uint16_t entry = dependents[e];
        places[entry] = uint8_t(present ? places[entry] + 1 : places[entry] - 1);
        if (places[entry] == changed)
            updateFree(state, entry / placeCount);
    }
    updateFree(state, index);
}

// Removal of a free tile that can pair, as random play makes it: the tile leaves its
// class, and its neighbours can only become free. The arrays are read through locals,
// since every count written could otherwise alias them.
inline void tleBoard::takeFree(int index)
{
    State &state = current;
    uint8_t *places = state.places.data();
    uint64_t *freeBits = state.freeBits.data();
    const int8_t *classOf = classes.data();
    const int cls = classOf[index];
    places[size_t(index) * placeCount + selfPlace] = 0;
    freeBits[wordOf(index)] &= ~bitOf(index);
    classRow(state, cls)[wordOf(index)] &= ~bitOf(index);
    state.pairs -= unsigned(--state.freeInClass[size_t(cls)]);
    const uint16_t *entry = dependents.data() + dependentStart[size_t(index)];
    const uint16_t *end = dependents.data() + dependentStart[size_t(index) + 1];
    for (; entry != end; ++entry) {
        if (--places[*entry] != 0)
            continue;
        const int neighbour = *entry / placeCount;
        const int neighbourClass = classOf[neighbour];
        if (neighbourClass != notMatchable && freeAt(places + size_t(neighbour) * placeCount)
            && !(freeBits[wordOf(neighbour)] & bitOf(neighbour)))
            markFree(state, neighbour, neighbourClass);
    }
    tileList[size_t(index)]->state = 0;
    --left;
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
    if (index != noTile && current.places[size_t(index) * placeCount + selfPlace])
        setPresence(index, false);
}

void tleBoard::restoreTile(tleTile *tile)
{
    if (!tile)
        return;
    tile->state = 1;
    ++left;
    const int index = indexOf(tile);
    if (index != noTile && !current.places[size_t(index) * placeCount + selfPlace])
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

inline bool tleBoard::findPair(unsigned index, int &first, int &second) const
{
    if (!ready || index >= current.pairs)
        return false;
    // Pairs run by their first tile in tile order, then by their second; a free tile
    // opens as many pairs as there are free tiles of its class after it.
    std::array<int, classCount> after = current.freeInClass;
    const int8_t *classOf = classes.data();
    for (int word = 0; word < words; ++word) {
        for (uint64_t bits = current.freeBits[size_t(word)]; bits; bits &= bits - 1) {
            first = word * bitsPerWord + lowestBit(bits);
            const int cls = classOf[first];
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
                    if (index-- == 0) {
                        second = next * bitsPerWord + lowestBit(later);
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

tleTilePair tleBoard::pairAt(unsigned index) const
{
    int first = noTile, second = noTile;
    if (!findPair(index, first, second))
        return {nullptr, nullptr};
    return {tileList[size_t(first)], tileList[size_t(second)]};
}

tleTilePair tleBoard::removePairAt(unsigned index)
{
    int first = noTile, second = noTile;
    if (!findPair(index, first, second))
        return {nullptr, nullptr};
    for (const int tile : {first, second})
        takeFree(tile);
    return {tileList[size_t(first)], tileList[size_t(second)]};
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
