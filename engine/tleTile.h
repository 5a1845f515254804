#ifndef TLETILE_H
#define TLETILE_H

#include <cstdint>
#include <utility>
#include <vector>

// One tile of the set, owned by the game engine. The board's grid, the engine's history
// and the board scene's items refer to it without owning it.
struct tleTile
{
    uint32_t type = 0;  // kind id, 0 to 41
    int32_t state = 0;  // 1 while on the board, 0 once removed
    int32_t x = 0;      // grid column in half-tile units, 0 at the layout's smallest x
    int32_t y = 0;      // grid row in half-tile units, 0 at the layout's smallest y
    int32_t layer = 0;  // counted from 0
};

using tleTilePair = std::pair<tleTile *, tleTile *>;
using tleTilePairList = std::vector<tleTilePair>;

#endif
