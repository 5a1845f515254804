#ifndef TLESOLVERBOARD_H
#define TLESOLVERBOARD_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class tleBoard;

// A set of tiles by index, wide enough for the largest board the solver takes.
struct tleSolverBits
{
    static constexpr int capacity = 192;
    static constexpr int bitsPerWord = 64;
    std::array<uint64_t, capacity / bitsPerWord> words{};

    static uint64_t bit(int i) { return uint64_t(1) << unsigned(i % bitsPerWord); }
    void set(int i) { words[size_t(i / bitsPerWord)] |= bit(i); }
    void reset(int i) { words[size_t(i / bitsPerWord)] &= ~bit(i); }
    bool test(int i) const { return words[size_t(i / bitsPerWord)] & bit(i); }
    bool any() const;
    int count() const;
    bool intersects(const tleSolverBits &other) const { return (*this & other).any(); }
    bool subsetOf(const tleSolverBits &other) const { return !without(other).any(); }
    tleSolverBits operator&(const tleSolverBits &other) const;
    tleSolverBits operator|(const tleSolverBits &other) const;
    tleSolverBits without(const tleSolverBits &other) const;
    bool operator==(const tleSolverBits &other) const { return words == other.words; }
    uint64_t hash() const;

    template <typename Visit> void forEach(Visit visit) const
    {
        for (size_t w = 0; w < words.size(); ++w) {
            for (uint64_t rest = words[w]; rest; rest &= rest - 1)
                visit(int(w) * bitsPerWord + __builtin_ctzll(rest));
        }
    }
};

struct tleSolverPair
{
    int a = -1;
    int b = -1;
};

// What the solver keeps of one tile: the tiles that can block it (by index) and the
// class of tiles it matches.
struct tleSolverTile
{
    int matchClass = 0;
    std::vector<int> left, right, above;
};

// The board as the solver sees it: which tile blocks which, the classes, and positions
// as sets of tiles with, per tile and side, the number of its blockers still there.
// It also plays two games on positions that the search reasons with; every tile taken
// in them, or by a move, is counted as work, the one measure of what searching costs.
//
// Removing a tile never blocks another, so a free tile stays free, and whatever can be
// taken now can still be taken after other tiles have gone: freedom is monotone.
class tleSolverBoard
{
public:
    // Classes have at most four tiles, so a class's members are named by their places
    // 0 to 3; a tile's possible partners are a set of such places.
    static constexpr int maxClassSize = 4;
    using Partners = uint8_t;
    static Partners placeBit(int place) { return Partners(1u << unsigned(place)); }

    enum Side : int { leftSide, rightSide, aboveSide, sideCount };

    struct Position
    {
        tleSolverBits onBoard;
        tleSolverBits free;
        std::array<uint8_t, size_t(tleSolverBits::capacity) * sideCount> blockers;
    };

    // The solver's tiles of a board, in the board's order (tiles match exactly when
    // their classes agree); returns the number of classes.
    static int tilesOf(const tleBoard &board, std::vector<tleSolverTile> &tiles);

    // `tiles` must hold at most tleSolverBits::capacity tiles, in classes of at most
    // maxClassSize numbered from 0 to classCount - 1.
    tleSolverBoard(const std::vector<tleSolverTile> &tiles, int classCount);

    int tileCount() const { return int(classOf.size()); }
    int classCount() const { return int(members.size()); }
    int classOfTile(int tile) const { return classOf[size_t(tile)]; }
    int placeOf(int tile) const { return placeInClass[size_t(tile)]; }
    const std::vector<int> &classMembers(int cls) const { return members[size_t(cls)]; }
    int member(int cls, int place) const { return members[size_t(cls)][size_t(place)]; }

    Position position(const tleSolverBits &onBoard) const;
    void take(Position &position, tleSolverPair pair) const;
    // Takes one tile; those it frees are also put on `freed` when given.
    void take(Position &position, int tile, std::vector<int> *freed = nullptr) const;
    // The tiles that must go before `tile`: those above it, and above them, as long as
    // each is on the board (a gap in the chain lets the lower tile go).
    tleSolverBits mustPrecede(int tile, const tleSolverBits &onBoard) const;
    bool leavesNoWorse(int kept, int taken, const tleSolverBits &onBoard) const;

    // The relaxed game: a tile may go alone once it is free and one of its possible
    // `partners` is free or gone. Whether the watched tiles can all go; `met`, when
    // given, gets for each tile taken the partners that were free or gone as it went.
    bool relaxedClears(const Position &position, const std::vector<Partners> &partners,
                       const tleSolverBits &watched, std::vector<Partners> *met = nullptr) const;

    // The game with every tile's partner fixed, `partnerOf` by tile index: the number
    // of tiles it leaves, the pairs in the order they went, and the tiles left over
    // with those of them that are free.
    struct Play
    {
        std::vector<tleSolverPair> order;
        tleSolverBits leftOver;
        tleSolverBits waiting;
    };
    int playPairs(const Position &position, const std::vector<int> &partnerOf, Play &play) const;

    uint64_t work() const { return taken; }

private:
    static bool freeIn(const Position &position, int tile);

    std::vector<int> classOf, placeInClass;
    std::vector<std::vector<int>> members;
    std::vector<tleSolverBits> aboveOf;  // a tile's blockers above it
    // The tiles that a tile blocks from the left, from the right and from above.
    std::vector<tleSolverBits> blocksRight, blocksLeft, covers;
    // The blocker counts a tile adds to, as `tile * sideCount + side`.
    std::vector<std::vector<uint16_t>> blockerEntries;

    mutable uint64_t taken = 0;
    mutable Position scratch;
    mutable std::vector<int> ready, later, freed;
};

#endif
