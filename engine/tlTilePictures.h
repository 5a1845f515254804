#ifndef TLTILEPICTURES_H
#define TLTILEPICTURES_H

#include <array>
#include <optional>

// The sets of tile pictures the game ships. The settings store and the command lines
// number them in this order, from 0.
enum class tlTileStyle { Classic, Modern, Picasso };

namespace tl {

inline constexpr std::array<tlTileStyle, 3> tileStyles = {tlTileStyle::Classic, tlTileStyle::Modern,
                                                          tlTileStyle::Picasso};

constexpr int tileStyleNumber(tlTileStyle style)
{
    return int(style);
}

// The style a stored or given number stands for; none for a number no style has.
constexpr std::optional<tlTileStyle> tileStyleFromNumber(int number)
{
    if (number < tileStyleNumber(tileStyles.front()) || number > tileStyleNumber(tileStyles.back()))
        return std::nullopt;
    return tlTileStyle(number);
}

// The style's name, which is also the name of the folder holding its pictures.
constexpr const char *tileStyleName(tlTileStyle style)
{
    switch (style) {
    case tlTileStyle::Modern:
        return "modern";
    case tlTileStyle::Picasso:
        return "picasso";
    case tlTileStyle::Classic:
        break;
    }
    return "classic";
}

// Height over width of every tile picture; they are drawn 621 by 760 pixels.
inline constexpr double tilePictureRatio = 760.0 / 621.0;

}

#endif
