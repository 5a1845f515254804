#ifndef TLLAYOUTHANDLER_H
#define TLLAYOUTHANDLER_H

#include <QString>
#include <QVector>
#include <cstdint>

// One tile's place as a layout file gives it: layer from 1, x and y absolute.
struct tlTilePosition
{
    int32_t layer = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// Reads layout files (.tllf); tlLayoutLocator finds them.
class tlLayoutHandler
{
public:
    // Limits beyond which a file cannot be a layout that fits any screen; they keep a
    // damaged or hostile file from making the board allocate without bound.
    static constexpr qint64 maxFileBytes = 1 << 20;
    static constexpr int maxLayers = 64;
    static constexpr int maxSpan = 511;  // half-tile columns or rows beyond the first
    static constexpr int maxTiles = 4096;

    tlLayoutHandler() = default;

    bool open(const QString &fileName);
    bool openExisting(const QString &fileName);

    QString name() const { return layoutName; }
    int32_t lx() const { return lowX; }
    int32_t ux() const { return highX; }
    int32_t ly() const { return lowY; }
    int32_t uy() const { return highY; }
    bool verified() const { return isVerified; }
    QString designer() const { return designerName; }
    int positionCount() const { return tilePositions.size(); }
    tlTilePosition position(int index) const { return tilePositions.at(index); }
    const QVector<tlTilePosition> &positions() const { return tilePositions; }
    int32_t maxLayer() const;
    uint32_t checksum() const;
    // The checksum a layout of these positions has, for programs that write layouts.
    static uint32_t checksumOf(const QVector<tlTilePosition> &positions);

private:
    void reset();

    QString layoutName;
    int32_t lowX = 0;
    int32_t highX = 0;
    int32_t lowY = 0;
    int32_t highY = 0;
    bool isVerified = false;
    QString designerName;
    QVector<tlTilePosition> tilePositions;
};

#endif
