#include "tleTileKinds.h"

#include "tleTile.h"

namespace tle {

// The regular kinds have one name; the bonus kinds' descriptive names say what they match.
#define TLE_REGULAR_KIND_NAMES                                                             \
    "Character 1", "Character 2", "Character 3", "Character 4", "Character 5",             \
        "Character 6", "Character 7", "Character 8", "Character 9",                        \
        "Wheel 1", "Wheel 2", "Wheel 3", "Wheel 4", "Wheel 5",                              \
        "Wheel 6", "Wheel 7", "Wheel 8", "Wheel 9",                                         \
        "Bamboo 1", "Bamboo 2", "Bamboo 3", "Bamboo 4", "Bamboo 5",                         \
        "Bamboo 6", "Bamboo 7", "Bamboo 8", "Bamboo 9",                                     \
        "North Wind", "South Wind", "East Wind", "West Wind",                               \
        "Green Dragon", "Red Dragon", "White Dragon"

const char *const plainKindNames[kindCount] = {
    TLE_REGULAR_KIND_NAMES,
    "Spring", "Summer", "Fall", "Winter",
    "Flower 1", "Flower 2", "Flower 3", "Flower 4",
};

const char *const descriptiveKindNames[kindCount] = {
    TLE_REGULAR_KIND_NAMES,
    "Spring (matches any other season)", "Summer (matches any other season)",
    "Fall (matches any other season)", "Winter (matches any other season)",
    "Flower 1 (matches any other flower)", "Flower 2 (matches any other flower)",
    "Flower 3 (matches any other flower)", "Flower 4 (matches any other flower)",
};

#undef TLE_REGULAR_KIND_NAMES

static bool inRange(uint32_t id, uint32_t first, uint32_t last)
{
    return id >= first && id <= last;
}

bool kindsMatch(uint32_t p, uint32_t q)
{
    return p == q
        || (inRange(p, firstSeason, lastSeason) && inRange(q, firstSeason, lastSeason))
        || (inRange(p, firstFlower, lastFlower) && inRange(q, firstFlower, lastFlower));
}

}

bool tilesMatch(const tleTile *a, const tleTile *b)
{
    return a && b && tle::kindsMatch(a->type, b->type);
}
