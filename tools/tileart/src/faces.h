#pragma once

#include "artist.h"
#include "kinds.h"

#include <QRectF>

namespace tileart {

// Paints the motif and corner index of one kind onto the face rectangle.
void drawFaceContent(Artist &artist, const Kind &kind, const QRectF &face);

}  // namespace tileart
