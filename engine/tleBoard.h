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
// each tile's neighbours (found once at init), its free state and the number of free
// tiles of every matching class up to date as tiles are removed and restored. The
// results are those of testing every tile afresh, in the same order.
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

    // Fills `out` with every removable pair in the fixed order; returns their number.
    unsigned possiblePairs(tleTilePairList &out) const;
    // The number of removable pairs and the pair at `index` of that order, without
    // building the whole list.
    unsigned pairCount() const;
    tleTilePair pairAt(unsigned index) const;
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
    static int matchClass(uint32_t kind);

    struct Neighbours
    {
        std::vector<int> left, right, above, dependants;
    };

    void clear();
    void findNeighbours();
    bool anyOnBoard(const std::vector<int> &indices) const;
    bool computeFree(int index) const;
    void setFree(int index, bool free);
    void refreshAround(int index);
    int indexOf(const tleTile *tile) const;
    int cellIndex(int32_t layer, int32_t x, int32_t y) const;

    std::vector<int> grid;  // tile index per cell, -1 for none
    std::vector<tleTile *> tileList;
    uint32_t count = 0;
    int32_t left = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t layers = 0;
    bool ready = false;
    std::unique_ptr<tlLayoutHandler> layoutHandler;

    std::vector<Neighbours> neighbours;
    std::vector<char> free;
    std::array<int, classCount> freeInClass{};
    unsigned pairs = 0;
};

#endif
