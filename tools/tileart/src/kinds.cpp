#include "kinds.h"

#include <array>
#include <stdexcept>

namespace tileart {

namespace {

struct SuitRange {
    Suit suit;
    int firstId;
    int count;
    const char *stemPrefix;
};

constexpr std::array<SuitRange, 7> kSuits{{
    {Suit::Character, 0, 9, "Char_"},
    {Suit::Wheel, 9, 9, "Wheel_"},
    {Suit::Bamboo, 18, 9, "Bamboo_"},
    {Suit::Wind, 27, 4, "Wind_"},
    {Suit::Dragon, 31, 3, "Dragon_"},
    {Suit::Season, 34, 4, "Season_"},
    {Suit::Flower, 38, 4, "Flower_"},
}};

const char *const kWindNames[] = {"North", "South", "East", "West"};
const char *const kDragonNames[] = {"Green", "Red", "White"};
const char *const kSeasonNames[] = {"Spring", "Summer", "Fall", "Winter"};

const SuitRange &rangeOf(int id)
{
    for (const SuitRange &range : kSuits) {
        if (id >= range.firstId && id < range.firstId + range.count)
            return range;
    }
    throw std::out_of_range("tile kind id out of range");
}

}  // namespace

Kind kindFromId(int id)
{
    const SuitRange &range = rangeOf(id);
    return Kind{id, range.suit, id - range.firstId + 1};
}

QString kindStem(int id)
{
    const SuitRange &range = rangeOf(id);
    const int rank = id - range.firstId + 1;
    QString stem = QString::fromLatin1(range.stemPrefix);
    switch (range.suit) {
    case Suit::Wind:
        return stem + QString::fromLatin1(kWindNames[rank - 1]);
    case Suit::Dragon:
        return stem + QString::fromLatin1(kDragonNames[rank - 1]);
    case Suit::Season:
        return stem + QString::fromLatin1(kSeasonNames[rank - 1]);
    default:
        return stem + QString::number(rank);
    }
}

int kindFromStem(const QString &stem)
{
    for (int id = 0; id < kKindCount; ++id) {
        if (kindStem(id) == stem)
            return id;
    }
    return -1;
}

}  // namespace tileart
