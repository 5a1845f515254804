#include "tldTilePainter.h"

#include "tlgTile.h"

#include <QPainter>
#include <algorithm>

namespace {

const uint32_t wheel1 = 9;      // "Wheel 1"; the nine wheels carry the numerals 1 to 9
const int numeralKinds = 9;
// How much of a lower layer's brightness is taken away, per layer below the current one
// and at most.
const int dimAlphaPerLayer = 45;
const int mostDimAlpha = 150;
const int blockRadius = 4;
const QColor blockFace(0xf4, 0xec, 0xd8);
const QColor blockSelected(0xbf, 0xd8, 0xf6);
const QColor blockEdge(0x6b, 0x5a, 0x3c);

uint32_t kindForLayer(int layer)
{
    return wheel1 + uint32_t((std::max(layer, 1) - 1) % numeralKinds);
}

}

bool tldTilePainter::load(tlTileStyle style, const QSize &face, qreal pixelRatio)
{
    dimmed.clear();
    const double faceShare = 1.0 - tlgTile::bottomEdge;
    const int height = qRound(face.height() / faceShare * pixelRatio);
    loaded = pictures.load(style, height);
    return loaded;
}

QRect tldTilePainter::pictureRect(const QRect &face) const
{
    return QRect(face.topLeft(), QSize(qRound(face.width() / (1.0 - tlgTile::sideEdge)),
                                       qRound(face.height() / (1.0 - tlgTile::bottomEdge))));
}

int tldTilePainter::dimming(int depth)
{
    return std::clamp(depth * dimAlphaPerLayer, dimAlphaPerLayer, mostDimAlpha);
}

QPixmap tldTilePainter::picture(int layer, Look look, int depth)
{
    const int kind = int(kindForLayer(layer));
    if (look == Look::Selected)
        return pictures.highlightedPixmap(kind);
    if (look == Look::Normal)
        return pictures.normalPixmap(kind);
    const QPair<int, int> key(kind, dimming(depth));
    auto found = dimmed.find(key);
    if (found == dimmed.end()) {
        QPixmap shaded = pictures.normalPixmap(kind);
        QPainter shade(&shaded);
        // Darkens the tile and leaves its transparent corners alone.
        shade.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        shade.fillRect(shaded.rect(), QColor(0, 0, 0, key.second));
        shade.end();
        found = dimmed.insert(key, shaded);
    }
    return *found;
}

void tldTilePainter::paint(QPainter &painter, const QRect &face, int layer, Look look, int depth)
{
    if (!loaded) {
        paintBlock(painter, face, layer, look, depth);
        return;
    }
    painter.drawPixmap(pictureRect(face), picture(layer, look, depth));
    // Past the ninth layer the numerals start again; the number tells the layer then.
    if (layer > numeralKinds) {
        painter.save();
        painter.setPen(Qt::darkRed);
        painter.drawText(face, Qt::AlignRight | Qt::AlignBottom, QString::number(layer));
        painter.restore();
    }
}

void tldTilePainter::paintBlock(QPainter &painter, const QRect &face, int layer, Look look, int depth)
{
    painter.save();
    QColor fill = look == Look::Selected ? blockSelected : blockFace;
    // As the pictures darken: the more of the dimming, the darker.
    const int unchanged = 100;
    if (look == Look::Dimmed)
        fill = fill.darker(unchanged + dimming(depth));
    painter.setPen(blockEdge);
    painter.setBrush(fill);
    painter.drawRoundedRect(face.adjusted(0, 0, -1, -1), blockRadius, blockRadius);
    painter.drawText(face, Qt::AlignCenter, QString::number(layer));
    painter.restore();
}
