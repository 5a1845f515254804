#ifndef TLTESTLAYOUTS_H
#define TLTESTLAYOUTS_H

#include "tlLayoutHandler.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QVector>
#include <algorithm>

// Small layout files written on the fly, for boards whose shape a test needs.
namespace tlTestLayouts {

inline QString write(const QDir &dir, const QString &name,
                     const QVector<tlTilePosition> &positions, bool verified = true)
{
    int lx = 0, ux = 0, ly = 0, uy = 0, layers = 0;
    if (!positions.isEmpty()) {
        lx = ux = positions.first().x;
        ly = uy = positions.first().y;
    }
    QString tiles;
    for (const tlTilePosition &p : positions) {
        lx = std::min(lx, p.x);
        ux = std::max(ux, p.x);
        ly = std::min(ly, p.y);
        uy = std::max(uy, p.y);
        layers = std::max(layers, p.layer);
        tiles += QStringLiteral("    <tile layer=\"%1\" x=\"%2\" y=\"%3\"/>\n").arg(p.layer).arg(p.x).arg(p.y);
    }
    const QString path = dir.filePath(name + QStringLiteral(".tllf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write a test layout");
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<layout tiles=\"%1\" layers=\"%2\" name=\"%3\" lx=\"%4\" ux=\"%5\" "
                              "ly=\"%6\" uy=\"%7\" verified=\"%8\">\n")
                   .arg(positions.size()).arg(layers).arg(name).arg(lx).arg(ux).arg(ly).arg(uy)
                   .arg(verified ? 1 : 0)
                   .toUtf8());
    file.write(tiles.toUtf8());
    file.write("</layout>\n");
    return path;
}

// 144 tiles, none touching another: every tile is free from the start, so every deal
// can be cleared in any order.
inline QVector<tlTilePosition> scattered()
{
    const int spacing = 4;
    const int side = 12;
    QVector<tlTilePosition> positions;
    for (int i = 0; i < side * side; ++i)
        positions.append({1, spacing * (i % side), spacing * (i / side)});
    return positions;
}

// 144 tiles of which only the very top one is free, whatever the kinds: a triangle of
// sixteen layers, each tile covered by the two half-shifted ones above it, and eight
// more tiles tucked under the second layer.
inline QVector<tlTilePosition> hopeless()
{
    const int triangleLayers = 16;
    QVector<tlTilePosition> positions;
    for (int layer = 1; layer <= triangleLayers; ++layer) {
        for (int i = 0; i <= triangleLayers - layer; ++i)
            positions.append({layer, layer - 1 + 2 * i, 0});
    }
    for (int i = 0; i < 8; ++i)
        positions.append({1, 1 + 2 * i, 1});
    return positions;
}

}

#endif
