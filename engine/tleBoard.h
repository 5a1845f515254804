#ifndef TLEBOARD_H
#define TLEBOARD_H

#include "tleTile.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class tlLayoutHandler;

// The engine's tiles placed on a layout's positions; answers whether a tile is free
// and which pairs could be removed now.
//
// Random play enumerates the removable pairs after every removal, so the board keeps
// what that needs up to date as tiles are removed and restored: for every tile the
// number of its side and upper neighbours still on the board (found once at init), a
// bit set of the free tiles of every matching class, and the number of removable
// pairs. The answers are those of testing every tile afresh, in the same order.
class tleBoard
{
public:
    tleBoard();
    ~tleBoard();
    tleBoard(const tleBoard &) = delete;
    tleBoard &operator=(const tleBoard &) = delete;

    bool init(const QString &layoutFile, const std::vector<tleTile *> &tiles);
    bool isFree(const tleTile *tile) const;
    void removeTile(tleTile *tile);
    void restoreTile(tleTile *tile);
    // Puts every tile back on the board at once, as restoring them one by one would.
    void restoreAll();

    // Fills `out` with every removable pair in the fixed order; returns their number.
    unsigned possiblePairs(tleTilePairList &out) const;
    // The number of removable pairs and the pair at `index` of that order, without
    // building the whole list.
    unsigned pairCount() const;
    tleTilePair pairAt(unsigned index) const;
    // Takes the pair at `index` of that order off the board and returns it, nulls when
    // there is none. The pair comes from the board's own free tiles, so random play
    // needs no check of freedom or matching.
    tleTilePair removePairAt(unsigned index);
    // The kinds on the tiles were changed (a deal or a game file): recount the classes.
    void kindsChanged();

    int32_t tilesLeft() const { return left; }
    uint32_t tileCount() const { return count; }
    int32_t width() const { return columns; }
    int32_t height() const { return rows; }
    int32_t layerCount() const { return layers; }
    bool initialized() const { return ready; }
    const std::vector<tleTile *> &tiles() const { return tileList; }
    tleTile *tileAt(int32_t layer, int32_t x, int32_t y) const;
    const tlLayoutHandler *layout() const { return layoutHandler.get(); }

private:
    // Seasons and flowers each form one class; every other kind is its own.
    static constexpr int classCount = 36;
    static constexpr int8_t notMatchable = -1;
    static int8_t matchClass(uint32_t kind);

    // What is kept per tile about the places that decide whether it is free: how many
    // of its side neighbours (two columns to either side, rows y-1 to y+1) and of the
    // tiles half a tile or less away on the layer above are on the board, and whether
    // it is itself.
    enum Place : int { leftPlace, rightPlace, abovePlace, selfPlace, placeCount };
    // Wider than a byte: a byte store may alias any other array, and the compiler would
    // then reload every one of them after each count written.
    using Count = uint16_t;

    // Everything that changes as tiles come and go, kept together so that a full
    // board can be put back by one copy.
    struct State
    {
        std::vector<Count> places;        // placeCount counts per tile
        std::vector<uint64_t> onBoard;    // bit per tile still on the board
        std::vector<uint64_t> freeBits;   // bit per free tile that can pair
        std::vector<uint64_t> classBits;  // bit per tile, one row of words per class
        // Bit per free tile with a free tile of its class after it: only those open
        // pairs, and the pair search looks at nothing else.
        std::vector<uint64_t> opens;
        std::array<int16_t, classCount> lastFree{};  // highest free tile per class
        // Narrow, so that the pair search copies little; a class holds at most every tile.
        std::array<uint16_t, classCount> freeInClass{};
        unsigned pairs = 0;
    };

    void clear();
    void findNeighbours();
    State fullBoard() const;
    void recount(State &state) const;
    bool freeIn(const State &state, int index) const;
    static bool freeAt(const Count *place);
    void updateFree(State &state, int index) const;
    void markFree(State &state, int index, int cls) const;
    void leaveClass(State &state, int index, int cls) const;
    void setPresence(int index, bool present);
    void takeFree(int index, int cls);
    bool findPair(unsigned index, int &first, int &second, int &cls) const;
    int indexOf(const tleTile *tile) const;
    int cellIndex(int32_t layer, int32_t x, int32_t y) const;
    uint64_t *classRow(State &state, int cls) const;
    const uint64_t *classRow(const State &state, int cls) const;

    std::vector<int> grid;  // tile index per cell, -1 for none
    std::vector<tleTile *> tileList;
    uint32_t count = 0;
    int32_t left = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t layers = 0;
    bool ready = false;
    bool contiguous = false;  // tileList[i] == tileList[0] + i for every i
    std::unique_ptr<tlLayoutHandler> layoutHandler;

    // For every tile, the counts it adds to as `tile * placeCount + place` entries into
    // State::places: it is the right-hand neighbour of the tiles on its left, and so on.
    // The entries of tile i run from dependentStart[i] to dependentStart[i + 1].
    std::vector<uint16_t> dependents;
    std::vector<uint32_t> dependentStart;
    std::vector<int8_t> classes;  // match class per tile, as last counted
    int words = 0;                // 64-bit words per bit set
    State current;
    State full;                   // the same board with every tile on it
};

#endif
