#ifndef TLDTILEPAINTER_H
#define TLDTILEPAINTER_H

#include "tlTilePictures.h"
#include "tlgTileHandler.h"

#include <QHash>
#include <QPixmap>
#include <QRect>
#include <QSize>

class QPainter;

// Draws the tiles of the designer's grid with the game's tile pictures: the wheels, whose
// numerals count the layers, one to nine. A tile's face fills its place on the grid;
// the picture's edges stand out to the right and below, as they do on the board.
class tldTilePainter
{
public:
    enum class Look { Normal, Selected, Dimmed };
    // `depth` counts the layers between a dimmed tile and the current layer: the deeper,
    // the darker, so that the lower layers stay apart.

    // Reads the style's pictures for faces of `face` logical pixels. False when they
    // cannot be read; tiles are then drawn as plain blocks.
    bool load(tlTileStyle style, const QSize &face, qreal pixelRatio);
    QString failureMessage() const { return pictures.failureMessage(); }

    // The whole picture of a tile whose face is `face`.
    QRect pictureRect(const QRect &face) const;
    void paint(QPainter &painter, const QRect &face, int layer, Look look, int depth = 0);

private:
    QPixmap picture(int layer, Look look, int depth);
    static int dimming(int depth);
    static void paintBlock(QPainter &painter, const QRect &face, int layer, Look look, int depth);

    tlgTileHandler pictures;
    bool loaded = false;
    QHash<QPair<int, int>, QPixmap> dimmed;  // by kind and dimming, made when first needed
};

#endif
