#pragma once

#include "artist.h"

#include <QRectF>

namespace tileart {

// Small pictures on the honour-free tiles. Each fills the given square box.
void drawBird(Artist &artist, const QRectF &box);
void drawSeasonPicture(Artist &artist, int season, const QRectF &box);  // 1 = spring .. 4 = winter
void drawFlowerPicture(Artist &artist, int flower, const QRectF &box);  // plum, orchid, mum, bamboo

QString seasonName(int season);
QString flowerName(int flower);

}  // namespace tileart
