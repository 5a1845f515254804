#pragma once

#include <QPointF>
#include <vector>

namespace tileart {

// One brush stroke through points on a 100 x 100 grid (y grows downwards).
// Smooth strokes are drawn as curves through the points, others as straight
// segments with sharp turns.
struct Stroke {
    bool smooth;
    std::vector<QPointF> points;
};

using Glyph = std::vector<Stroke>;

enum class GlyphId {
    One, Two, Three, Four, Five, Six, Seven, Eight, Nine,
    Wan,  // the character-suit sign
    North, South, East, West,
    Middle,  // red dragon
    Fa,      // green dragon
};

const Glyph &glyph(GlyphId id);
// Numerals one to nine.
GlyphId numeralGlyph(int value);

}  // namespace tileart
