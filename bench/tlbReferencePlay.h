#ifndef TLBREFERENCEPLAY_H
#define TLBREFERENCEPLAY_H

#include "tleTile.h"

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

// Random play done the plain way, to hold the engine's quick bookkeeping against:
// before every removal each tile is tested for freedom afresh from the grid and every
// two free tiles are compared, in tile order; the pair is drawn as the engine draws it.
class tlbReferencePlay
{
public:
    // Takes the tiles' positions and kinds as they are now; the tiles are not touched.
    explicit tlbReferencePlay(const std::vector<tleTile *> &tiles);

    // One play from the full board until no pair is left; the removed pairs as tile
    // indices, in order.
    std::vector<std::pair<int, int>> play(std::mt19937 &random);

private:
    bool occupied(int layer, int x, int y) const;
    bool isFree(int index) const;
    std::vector<std::pair<int, int>> removablePairs() const;
    static uint32_t uniformIndex(std::mt19937 &random, uint32_t n);

    struct Tile
    {
        uint32_t kind;
        int layer, x, y;
    };
    std::vector<Tile> tiles;
    std::vector<bool> onBoard;
    std::vector<int> grid;  // tile index per cell, -1 for none
    int layers = 0, width = 0, height = 0;
};

#endif
