#ifndef TLTESTGAMES_H
#define TLTESTGAMES_H

#include "tleGameEngine.h"

#include <cstdint>
#include <vector>

// The kind on every tile of a game, in engine order: what tells one deal from another.
inline std::vector<uint32_t> kindsOf(const tleGameEngine &engine)
{
    std::vector<uint32_t> kinds;
    for (const tleTile *tile : engine.tiles())
        kinds.push_back(tile->type);
    return kinds;
}

#endif
