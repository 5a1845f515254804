#pragma once

#include "style.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace tileart {

// Tiles are drawn in one canonical space; other picture sizes scale the painter.
constexpr int kTileWidth = 621;
constexpr int kTileHeight = 760;
// The thickness shows in a strip on the right (share of the width) and one at
// the bottom (share of the height); neighbours in the game cover exactly these.
constexpr qreal kSideShare = 0.11;
constexpr qreal kBottomShare = 0.09;

int sideStrip(int width);
int bottomStrip(int height);
// Face rectangle in canonical coordinates.
QRectF faceRect();

// Outline of the whole tile, face and body, in canonical coordinates.
QPainterPath tileSilhouette(const Style &style);

// Paints a whole tile (body, face, motif, optional selection mark) in canonical
// coordinates; the caller sets up any transform.
void paintTile(QPainter &painter, const Style &style, int kindId, bool highlighted);
QImage renderTile(const Style &style, int kindId, bool highlighted, QSize size);

}  // namespace tileart
