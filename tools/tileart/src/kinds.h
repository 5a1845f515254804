#pragma once

#include <QString>

namespace tileart {

enum class Suit { Character, Wheel, Bamboo, Wind, Dragon, Season, Flower };

// One of the 42 tile kinds. The rank counts from 1 within its suit; winds run
// North, South, East, West and dragons Green, Red, White, as the game numbers them.
struct Kind {
    int id;
    Suit suit;
    int rank;
};

constexpr int kKindCount = 42;

Kind kindFromId(int id);
// File name stem the game looks up for this kind, e.g. "Wind_East".
QString kindStem(int id);
// The kind with this stem, or -1.
int kindFromStem(const QString &stem);

}  // namespace tileart
