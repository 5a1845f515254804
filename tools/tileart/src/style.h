#pragma once

#include <QColor>
#include <QString>
#include <vector>

namespace tileart {

// The inks a style paints motifs with.
struct Ink {
    QColor red, green, blue, black;
    QColor gold, pink, purple, brown;
};

// A slab of the tile's body seen in the thickness strips; it reaches from the
// previous layer (or the face) down to `depth` (0..1 of the full thickness).
struct BodyLayer {
    qreal depth;
    QColor colour;
};

// Everything that makes one tile set look different from another. The shapes
// themselves are shared; only this description varies.
struct Style {
    QString name;  // directory name below the tiles folder

    // Face
    QColor faceTop, faceBottom;  // gradient corners unless `flat`
    QColor faceEdge;
    qreal faceEdgeWidth;
    qreal cornerRadius;
    QColor frameColour;  // decorative inner frame; transparent for none
    qreal frameInset, frameWidth;
    QColor facePatch;  // painterly colour patch; transparent for none

    // Body. Light falls from the upper left: the right-hand side lies in half
    // shade, the underside in full shade, and both darken towards the back.
    std::vector<BodyLayer> body;  // front to back
    QColor bodyEdge;
    qreal bodyEdgeWidth;
    int sideShade;    // QColor::darker factor of the right-hand side next to the face
    int bottomShade;  // the same for the underside
    int backShade;    // further darkening at the back of the tile
    QColor crease;    // crisp line where the face turns into the sides
    qreal creaseWidth;

    // Motifs
    Ink ink;
    bool flat;          // no gloss or shading on motifs
    QColor outline;     // contour around motif shapes; transparent for none
    qreal outlineWidth;
    qreal strokeScale;  // weight of brush strokes
    qreal wobble;       // 0 for exact geometry, 1 for hand-drawn irregularity
    qreal nib;          // glyphs only: sideways reach of a flat brush, share of the stroke
                        // width; makes verticals heavier than horizontals
    qreal skew;         // shear of the whole motif, for a hand-made look
    bool nodeGaps;      // bamboo nodes cut out instead of painted dark
    qreal coinHole;     // inner edge of a coin's ring, share of its radius
    qreal coinCore;     // radius of the coin's solid middle, share of its radius
    QString fontFamily;
    bool italic;

    // Selection marking
    QColor highlightTint, highlightFrame;
    qreal highlightFrameWidth;
};

const Style &classicStyle();
const Style &modernStyle();
const Style &picassoStyle();
const std::vector<const Style *> &allStyles();

}  // namespace tileart
