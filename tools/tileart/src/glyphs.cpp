#include "glyphs.h"

#include <map>

namespace tileart {

namespace {

Stroke line(std::initializer_list<QPointF> points)
{
    return Stroke{false, points};
}

Stroke curve(std::initializer_list<QPointF> points)
{
    return Stroke{true, points};
}

// Simplified brush forms: enough strokes to be read at a glance, few enough to
// stay clear when the tile is only a few dozen pixels high.
std::map<GlyphId, Glyph> buildGlyphs()
{
    std::map<GlyphId, Glyph> g;
    g[GlyphId::One] = {line({{8, 52}, {92, 47}})};
    g[GlyphId::Two] = {line({{22, 30}, {78, 27}}), line({{6, 72}, {94, 68}})};
    g[GlyphId::Three] = {line({{20, 16}, {80, 13}}), line({{28, 46}, {72, 44}}),
                         line({{6, 82}, {94, 78}})};
    g[GlyphId::Four] = {line({{12, 16}, {12, 88}}), line({{12, 16}, {88, 16}, {88, 88}}),
                        line({{12, 84}, {88, 84}}), curve({{40, 18}, {40, 46}, {28, 64}}),
                        line({{60, 18}, {60, 58}, {88, 58}})};
    g[GlyphId::Five] = {line({{14, 12}, {86, 12}}), line({{46, 12}, {38, 84}}),
                        line({{20, 46}, {74, 46}, {72, 84}}), line({{4, 86}, {96, 86}})};
    g[GlyphId::Six] = {line({{46, 2}, {56, 18}}), line({{8, 34}, {92, 34}}),
                       curve({{38, 50}, {32, 68}, {14, 88}}), line({{62, 52}, {86, 84}})};
    g[GlyphId::Seven] = {line({{6, 50}, {94, 38}}),
                         curve({{40, 8}, {40, 80}, {48, 88}, {90, 88}}), line({{90, 88}, {92, 72}})};
    g[GlyphId::Eight] = {curve({{40, 14}, {38, 50}, {26, 72}, {6, 88}}),
                         curve({{60, 16}, {64, 50}, {76, 72}, {96, 88}})};
    g[GlyphId::Nine] = {curve({{44, 4}, {44, 44}, {36, 68}, {8, 92}}),
                        line({{12, 32}, {66, 32}, {62, 80}}),
                        curve({{62, 80}, {64, 90}, {92, 90}}), line({{92, 90}, {94, 74}})};

    g[GlyphId::Wan] = {
        line({{6, 13}, {94, 13}}), line({{31, 2}, {31, 25}}), line({{69, 2}, {69, 25}}),
        line({{24, 30}, {24, 53}}), line({{24, 30}, {76, 30}, {76, 53}}), line({{24, 41}, {76, 41}}),
        line({{24, 53}, {76, 53}}), line({{14, 62}, {14, 98}}), line({{14, 62}, {86, 62}, {86, 92}, {76, 98}}),
        line({{50, 53}, {50, 72}}), line({{40, 72}, {30, 88}, {66, 84}}), line({{58, 74}, {68, 88}}),
    };

    g[GlyphId::North] = {line({{36, 6}, {36, 92}}), line({{10, 40}, {36, 40}}),
                         line({{6, 82}, {36, 68}}), curve({{64, 6}, {64, 86}, {70, 92}, {94, 92}}),
                         line({{94, 92}, {94, 78}}), line({{64, 46}, {92, 30}})};
    g[GlyphId::South] = {line({{12, 14}, {88, 14}}), line({{50, 2}, {50, 30}}),
                         line({{16, 32}, {16, 98}}), line({{16, 32}, {84, 32}, {84, 92}, {74, 98}}),
                         line({{36, 40}, {44, 52}}), line({{64, 40}, {56, 52}}),
                         line({{30, 60}, {70, 60}}), line({{28, 76}, {72, 76}}), line({{50, 60}, {50, 96}})};
    g[GlyphId::East] = {line({{10, 18}, {90, 18}}), line({{50, 2}, {50, 98}}),
                        line({{22, 30}, {22, 66}}), line({{22, 30}, {78, 30}, {78, 66}}),
                        line({{22, 48}, {78, 48}}), line({{22, 66}, {78, 66}}),
                        curve({{44, 68}, {30, 82}, {6, 94}}), curve({{56, 68}, {72, 82}, {94, 94}})};
    g[GlyphId::West] = {line({{8, 10}, {92, 10}}), line({{14, 32}, {14, 94}}),
                        line({{14, 32}, {86, 32}, {86, 94}}), line({{14, 90}, {86, 90}}),
                        curve({{40, 12}, {40, 52}, {28, 70}}), line({{60, 12}, {60, 62}, {86, 62}})};

    g[GlyphId::Middle] = {line({{14, 26}, {14, 72}}), line({{14, 26}, {86, 26}, {86, 72}}),
                          line({{14, 68}, {86, 68}}), line({{50, 2}, {50, 98}})};
    g[GlyphId::Fa] = {
        line({{10, 8}, {34, 8}, {24, 22}, {8, 34}}), line({{20, 18}, {34, 30}}),
        line({{56, 4}, {64, 14}}), line({{52, 20}, {80, 16}}), curve({{62, 20}, {74, 30}, {94, 36}}),
        line({{10, 44}, {40, 44}, {38, 58}, {14, 58}, {12, 72}, {40, 72}, {38, 92}, {28, 98}}),
        curve({{60, 42}, {58, 58}, {50, 66}}), line({{60, 42}, {78, 42}, {78, 56}, {92, 60}}),
        line({{54, 70}, {88, 70}, {56, 98}}), line({{64, 78}, {94, 98}}),
    };
    return g;
}

}  // namespace

const Glyph &glyph(GlyphId id)
{
    static const std::map<GlyphId, Glyph> glyphs = buildGlyphs();
    return glyphs.at(id);
}

GlyphId numeralGlyph(int value)
{
    return static_cast<GlyphId>(static_cast<int>(GlyphId::One) + value - 1);
}

}  // namespace tileart
