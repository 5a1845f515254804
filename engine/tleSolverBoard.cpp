#include "tleSolverBoard.h"

#include "tleBoard.h"
#include "tleTileKinds.h"

#include <QHash>
#include <algorithm>

namespace {
// Side neighbours stand one tile, two half tiles, away.
constexpr int sideDistance = 2;
}

bool tleSolverBits::any() const
{
    uint64_t all = 0;
    for (uint64_t w : words)
        all |= w;
    return all != 0;
}

int tleSolverBits::count() const
{
    int n = 0;
    for (uint64_t w : words)
        n += __builtin_popcountll(w);
    return n;
}

tleSolverBits tleSolverBits::operator&(const tleSolverBits &other) const
{
    tleSolverBits result;
    for (size_t i = 0; i < words.size(); ++i)
        result.words[i] = words[i] & other.words[i];
    return result;
}

tleSolverBits tleSolverBits::operator|(const tleSolverBits &other) const
{
    tleSolverBits result;
    for (size_t i = 0; i < words.size(); ++i)
        result.words[i] = words[i] | other.words[i];
    return result;
}

tleSolverBits tleSolverBits::without(const tleSolverBits &other) const
{
    tleSolverBits result;
    for (size_t i = 0; i < words.size(); ++i)
        result.words[i] = words[i] & ~other.words[i];
    return result;
}

uint64_t tleSolverBits::hash() const
{
    // Multiply and fold: spreads every bit over the whole value.
    const uint64_t spread = 0x9E3779B97F4A7C15ull;
    const unsigned fold = 29;
    uint64_t h = 0;
    for (uint64_t w : words) {
        h = (h ^ w) * spread;
        h ^= h >> fold;
    }
    return h;
}

int tleSolverBoard::tilesOf(const tleBoard &board, std::vector<tleSolverTile> &tiles)
{
    const std::vector<tleTile *> &records = board.tiles();
    QHash<const tleTile *, int> index;
    for (size_t i = 0; i < records.size(); ++i)
        index.insert(records[i], int(i));
    std::vector<uint32_t> classKinds;  // one kind of every class met so far
    tiles.clear();
    for (const tleTile *record : records) {
        tleSolverTile tile;
        const auto found = std::find_if(classKinds.begin(), classKinds.end(),
                                        [&](uint32_t kind) { return tle::kindsMatch(kind, record->type); });
        tile.matchClass = int(found - classKinds.begin());
        if (found == classKinds.end())
            classKinds.push_back(record->type);
        for (int dy = -1; dy <= 1; ++dy) {
            if (const tleTile *l = board.tileAt(record->layer, record->x - sideDistance, record->y + dy))
                tile.left.push_back(index.value(l));
            if (const tleTile *r = board.tileAt(record->layer, record->x + sideDistance, record->y + dy))
                tile.right.push_back(index.value(r));
            for (int dx = -1; dx <= 1; ++dx) {
                if (const tleTile *a = board.tileAt(record->layer + 1, record->x + dx, record->y + dy))
                    tile.above.push_back(index.value(a));
            }
        }
        tiles.push_back(tile);
    }
    return int(classKinds.size());
}

tleSolverBoard::tleSolverBoard(const std::vector<tleSolverTile> &tiles, int classCount)
    : members(size_t(classCount))
{
    const size_t n = tiles.size();
    for (std::vector<tleSolverBits> *masks : {&aboveOf, &blocksRight, &blocksLeft, &covers})
        masks->resize(n);
    blockerEntries.resize(n);
    for (size_t t = 0; t < n; ++t) {
        const tleSolverTile &tile = tiles[t];
        classOf.push_back(tile.matchClass);
        placeInClass.push_back(int(members[size_t(tile.matchClass)].size()));
        members[size_t(tile.matchClass)].push_back(int(t));
        const auto enter = [&](const std::vector<int> &blockers, Side side,
                               std::vector<tleSolverBits> &blocked) {
            for (int b : blockers) {
                blocked[size_t(b)].set(int(t));
                blockerEntries[size_t(b)].push_back(uint16_t(int(t) * sideCount + side));
            }
        };
        enter(tile.left, leftSide, blocksRight);
        enter(tile.right, rightSide, blocksLeft);
        enter(tile.above, aboveSide, covers);
        for (int b : tile.above)
            aboveOf[t].set(b);
    }
}

bool tleSolverBoard::freeIn(const Position &position, int tile)
{
    const uint8_t *count = position.blockers.data() + size_t(tile) * sideCount;
    return count[aboveSide] == 0 && (count[leftSide] == 0 || count[rightSide] == 0);
}

tleSolverBoard::Position tleSolverBoard::position(const tleSolverBits &onBoard) const
{
    Position position;
    position.onBoard = onBoard;
    position.blockers.fill(0);
    onBoard.forEach([&](int t) {
        for (uint16_t entry : blockerEntries[size_t(t)])
            ++position.blockers[entry];
    });
    onBoard.forEach([&](int t) {
        if (freeIn(position, t))
            position.free.set(t);
    });
    return position;
}

void tleSolverBoard::take(Position &position, tleSolverPair pair) const
{
    take(position, pair.a);
    take(position, pair.b);
}

// Only the tiles a tile blocked can become free when it goes.
void tleSolverBoard::take(Position &position, int tile, std::vector<int> *freedTiles) const
{
    ++taken;
    position.onBoard.reset(tile);
    position.free.reset(tile);
    for (uint16_t entry : blockerEntries[size_t(tile)]) {
        if (--position.blockers[entry] != 0)
            continue;
        const int blocked = entry / sideCount;
        if (position.onBoard.test(blocked) && !position.free.test(blocked) && freeIn(position, blocked)) {
            position.free.set(blocked);
            if (freedTiles)
                freedTiles->push_back(blocked);
        }
    }
}

tleSolverBits tleSolverBoard::mustPrecede(int tile, const tleSolverBits &onBoard) const
{
    tleSolverBits found = aboveOf[size_t(tile)] & onBoard;
    tleSolverBits layer = found;
    while (layer.any()) {
        tleSolverBits next;
        layer.forEach([&](int t) { next = next | aboveOf[size_t(t)]; });
        layer = (next & onBoard).without(found);
        found = found | layer;
    }
    return found;
}

// Whether leaving `kept` on the board while `taken` goes is at least as good as the
// other way round: wherever `kept` blocks a tile, `taken` blocks it as well (from the
// same side or from above). Then every tile free with `taken` on the board is free with
// `kept` there instead, now and after any further removals.
bool tleSolverBoard::leavesNoWorse(int kept, int takenTile, const tleSolverBits &onBoard) const
{
    tleSolverBits others = onBoard;
    others.reset(kept);
    others.reset(takenTile);
    const size_t k = size_t(kept), t = size_t(takenTile);
    return (covers[k] & others).subsetOf(covers[t])
        && (blocksRight[k] & others).subsetOf(blocksRight[t] | covers[t])
        && (blocksLeft[k] & others).subsetOf(blocksLeft[t] | covers[t]);
}

// Every winning order keeps to the relaxed game's rule (of a pair, the tile taken first
// finds its partner free, the second finds it gone), and taking a tile there only ever
// allows more, so playing whatever it allows decides it: when even this cannot clear
// the watched tiles, no real order can. Once they have gone the rest could follow too.
//
// Tiles with a choice of partners go last, when nothing else can, so that as many of
// their partners as may be are free or gone when they do: `met` then tells the most.
bool tleSolverBoard::relaxedClears(const Position &position, const std::vector<Partners> &partners,
                                   const tleSolverBits &watched, std::vector<Partners> *met) const
{
    Position &relaxed = scratch;
    relaxed = position;
    int waiting = (relaxed.onBoard & watched).count();
    ready.clear();
    later.clear();
    const auto queue = [&](int tile) {
        const Partners mates = partners[size_t(tile)];
        ((mates & (mates - 1)) ? later : ready).push_back(tile);
    };
    relaxed.free.forEach(queue);
    const auto available = [&](int tile) {
        const Partners mates = partners[size_t(tile)];
        const std::vector<int> &mateTiles = members[size_t(classOf[size_t(tile)])];
        Partners found = 0;
        for (size_t place = 0; place < mateTiles.size(); ++place) {
            const int mate = mateTiles[place];
            if ((mates & placeBit(int(place))) && (!relaxed.onBoard.test(mate) || relaxed.free.test(mate)))
                found |= placeBit(int(place));
        }
        return found;
    };
    // A tile whose partners are all held up is dropped until one of them is freed or
    // goes; then it is queued again.
    const auto wake = [&](int tile) {
        const Partners self = placeBit(placeInClass[size_t(tile)]);
        for (int mate : members[size_t(classOf[size_t(tile)])]) {
            if (relaxed.free.test(mate) && (partners[size_t(mate)] & self))
                queue(mate);
        }
    };
    while (waiting > 0 && !(ready.empty() && later.empty())) {
        std::vector<int> &from = ready.empty() ? later : ready;
        const int t = from.back();
        from.pop_back();
        if (!relaxed.free.test(t))
            continue;
        const Partners found = available(t);
        if (!found)
            continue;
        if (met)
            (*met)[size_t(t)] = found;
        waiting -= watched.test(t) ? 1 : 0;
        freed.clear();
        take(relaxed, t, &freed);
        for (int f : freed) {
            queue(f);
            wake(f);
        }
        wake(t);
    }
    return waiting == 0;
}

// With the pairs fixed, taking a pair whose tiles are both free never hurts: any order
// that clears the board with these pairs makes that move somewhere, and it could have
// been made first. So playing pairs as they come free clears the board exactly when
// some order with these pairs does.
int tleSolverBoard::playPairs(const Position &position, const std::vector<int> &partnerOf,
                              Play &play) const
{
    Position &played = scratch;
    played = position;
    ready.clear();
    played.free.forEach([this](int t) { ready.push_back(t); });
    play.order.clear();
    while (!ready.empty()) {
        const int t = ready.back();
        ready.pop_back();
        const int p = partnerOf[size_t(t)];
        // A tile whose partner is not free waits: the partner comes here when freed.
        if (!played.free.test(t) || !played.free.test(p))
            continue;
        take(played, t, &ready);
        take(played, p, &ready);
        play.order.push_back({t, p});
    }
    play.leftOver = played.onBoard;
    play.waiting = played.free;
    return played.onBoard.count();
}
