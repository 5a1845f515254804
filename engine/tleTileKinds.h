#ifndef TLETILEKINDS_H
#define TLETILEKINDS_H

#include <cstdint>

struct tleTile;

namespace tle {

inline constexpr int kindCount = 42;
inline constexpr int setSize = 144;

// The kinds every layout's set is made of: 34 regular kinds four times each, then
// the seasons and the flowers once each.
inline constexpr uint32_t regularKindCount = 34;
inline constexpr int copiesOfRegularKind = 4;
inline constexpr uint32_t firstSeason = 34;
inline constexpr uint32_t lastSeason = 37;
inline constexpr uint32_t firstFlower = 38;
inline constexpr uint32_t lastFlower = 41;

// The kind that matches every other during a solvable deal's trial plays.
inline constexpr uint32_t bamboo1 = 18;

// Names by kind id; `descriptiveKindNames` explains the bonus tiles' matching.
extern const char *const plainKindNames[kindCount];
extern const char *const descriptiveKindNames[kindCount];

// Whether two kinds form a pair: equal ids, two seasons or two flowers.
bool kindsMatch(uint32_t p, uint32_t q);

}

// Whether two tiles form a pair by kind; a missing tile matches nothing. Whether the
// tiles are on the board and free is for the caller to test.
bool tilesMatch(const tleTile *a, const tleTile *b);

#endif
