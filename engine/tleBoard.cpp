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

int highestBit(uint64_t bits)
{
    return bitsPerWord - 1 - __builtin_clzll(bits);
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
    static_assert(tlLayoutHandler::maxTiles <= std::numeric_limits<uint16_t>::max(),
                  "a class's count of free tiles must fit its 16 bits");
    static_assert(tlLayoutHandler::maxTiles <= std::numeric_limits<int16_t>::max(),
                  "a class's highest free tile must fit its 16 bits");
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
inline bool tleBoard::freeAt(const Count *place)
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
    state.pairs += state.freeInClass[size_t(cls)]++;
    int16_t &last = state.lastFree[size_t(cls)];
    if (last == noTile) {
        last = int16_t(index);
    } else if (index > last) {
        state.opens[size_t(wordOf(last))] |= bitOf(last);
        last = int16_t(index);
    } else {
        state.opens[size_t(wordOf(index))] |= bitOf(index);
    }
}

// A free tile of class `cls` is no longer free; its bit has left the class row and the
// class's count has been lowered.
inline void tleBoard::leaveClass(State &state, int index, int cls) const
{
    int16_t &last = state.lastFree[size_t(cls)];
    if (index != last) {
        state.opens[size_t(wordOf(index))] &= ~bitOf(index);
        return;
    }
    last = noTile;
    if (state.freeInClass[size_t(cls)] == 0)
        return;
    // The highest free tile left now opens nothing.
    const uint64_t *row = classRow(state, cls);
    for (int word = wordOf(index); word >= 0; --word) {
        if (row[word]) {
            last = int16_t(word * bitsPerWord + highestBit(row[word]));
            state.opens[size_t(word)] &= ~bitOf(last);
            return;
        }
    }
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
    leaveClass(state, index, cls);
}

void tleBoard::recount(State &state) const
{
    const size_t n = tileList.size();
    for (size_t i = 0; i < n; ++i) {
        Count *place = state.places.data() + i * placeCount;
        place[leftPlace] = place[rightPlace] = place[abovePlace] = 0;
    }
    for (size_t i = 0; i < n; ++i) {
        if (!state.places[i * placeCount + selfPlace])
            continue;
        for (uint32_t e = dependentStart[i]; e < dependentStart[i + 1]; ++e)
            ++state.places[dependents[e]];
    }
    state.onBoard.assign(size_t(words), 0);
    for (size_t i = 0; i < n; ++i) {
        if (state.places[i * placeCount + selfPlace])
            state.onBoard[size_t(wordOf(int(i)))] |= bitOf(int(i));
    }
    state.freeBits.assign(size_t(words), 0);
    state.classBits.assign(size_t(words) * classCount, 0);
    state.freeInClass.fill(0);
    state.opens.assign(size_t(words), 0);
    state.lastFree.fill(noTile);
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
    Count *places = state.places.data();
    places[size_t(index) * placeCount + selfPlace] = present;
    state.onBoard[size_t(wordOf(index))] ^= bitOf(index);
    // A neighbour's freedom can only change when its count of taken places on that
    // side turns from none to some or back.
    const Count changed = present ? 1 : 0;
    for (uint32_t e = dependentStart[size_t(index)]; e < dependentStart[size_t(index) + 1]; ++e) {
        const uint16_t entry = dependents[e];
        places[entry] = Count(present ? places[entry] + 1 : places[entry] - 1);
        if (places[entry] == changed)
            updateFree(state, entry / placeCount);
    }
    updateFree(state, index);
}

// Removal of a free tile of class `cls`, as random play makes it, once the class's
// count has been lowered: the tile leaves its class, and its neighbours can only become
// free. The arrays are read through locals, since every count written could otherwise
// alias them. Inlined, so that both tiles of a pair share those loads.
__attribute__((always_inline)) inline void tleBoard::takeFree(int index, int cls)
{
    State &state = current;
    Count *places = state.places.data();
    uint64_t *freeBits = state.freeBits.data();
    const int8_t *classOf = classes.data();
    places[size_t(index) * placeCount + selfPlace] = 0;
    state.onBoard[size_t(wordOf(index))] &= ~bitOf(index);
    freeBits[wordOf(index)] &= ~bitOf(index);
    classRow(state, cls)[wordOf(index)] &= ~bitOf(index);
    leaveClass(state, index, cls);
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
    // Only the tiles off the board need their state back.
    for (int word = 0; word < words; ++word) {
        for (uint64_t bits = full.onBoard[size_t(word)] & ~current.onBoard[size_t(word)]; bits;
             bits &= bits - 1)
            tileList[size_t(word * bitsPerWord + lowestBit(bits))]->state = 1;
    }
    left = int32_t(count);
    current = full;
}

unsigned tleBoard::pairCount() const
{
    return ready ? current.pairs : 0;
}

inline bool tleBoard::findPair(unsigned index, int &first, int &second, int &cls) const
{
    if (!ready || index >= current.pairs)
        return false;
    // Pairs run by their first tile in tile order, then by their second; a free tile
    // opens as many pairs as there are free tiles of its class after it, so the tiles
    // that open none can be passed over.
    std::array<uint16_t, classCount> after = current.freeInClass;
    const int8_t *classOf = classes.data();
    for (int word = 0; word < words; ++word) {
        for (uint64_t bits = current.opens[size_t(word)]; bits; bits &= bits - 1) {
            first = word * bitsPerWord + lowestBit(bits);
            cls = classOf[first];
            const unsigned opened = --after[size_t(cls)];
            if (index >= opened) {
                index -= opened;
                continue;
            }
            // The class's free tiles after the first one, word by word; there are
            // `opened` of them, so the words end after the one sought.
            const uint64_t *row = classRow(current, cls);
            int next = word;
            uint64_t later = row[word] & ~((bitOf(first) << 1) - 1);
            for (;; later &= later - 1, --index) {
                while (!later)
                    later = row[++next];
                if (index == 0)
                    break;
            }
            second = next * bitsPerWord + lowestBit(later);
            return true;
        }
    }
    return false;
}

tleTilePair tleBoard::pairAt(unsigned index) const
{
    int first = noTile, second = noTile, cls = notMatchable;
    if (!findPair(index, first, second, cls))
        return {nullptr, nullptr};
    return {tileList[size_t(first)], tileList[size_t(second)]};
}

tleTilePair tleBoard::removePairAt(unsigned index)
{
    int first = noTile, second = noTile, cls = notMatchable;
    if (!findPair(index, first, second, cls))
        return {nullptr, nullptr};
    // The pairs depend on the class counts alone, so both tiles leave their class at
    // once: the class loses the pairs of either with the other free tiles and their own.
    const unsigned before = current.freeInClass[size_t(cls)];
    current.freeInClass[size_t(cls)] = uint16_t(before - 2);
    current.pairs -= (before - 1) + (before - 2);
    takeFree(first, cls);
    takeFree(second, cls);
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
