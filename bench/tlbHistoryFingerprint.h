#ifndef TLBHISTORYFINGERPRINT_H
#define TLBHISTORYFINGERPRINT_H

#include "tleTile.h"

#include <cstdint>

// A play's removals, folded into one number, so that two long runs of plays can be
// compared without keeping every history.
class HistoryFingerprint
{
public:
    // Tiles are named by their place, which both ways of playing know alike.
    void add(int layer, int x, int y)
    {
        const uint64_t place = (uint64_t(uint32_t(layer)) << 42) | (uint64_t(uint32_t(x)) << 21) | uint32_t(y);
        value = (value ^ place) * prime;
    }
    void add(const tleTile *tile) { add(tile->layer, tile->x, tile->y); }
    uint64_t result() const { return value; }

private:
    static constexpr uint64_t prime = 1099511628211ULL;
    uint64_t value = 14695981039346656037ULL;
};

#endif
