#ifndef TLGTILEHANDLER_H
#define TLGTILEHANDLER_H

#include "tlTilePictures.h"
#include "tleTileKinds.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <cstdint>

// The tile pictures of one style, read and scaled once to the height the board shows
// them at: a normal, a highlighted and a thumbnail pixmap per kind.
class tlgTileHandler : public QObject
{
    Q_OBJECT

public:
    tlgTileHandler();

    // Reads the style's pictures at `height` device pixels. False when pictures are
    // missing or cannot be decoded: the game cannot go on, and failureMessage() says why.
    bool load(tlTileStyle style, int height);
    QString failureMessage() const { return failure; }

    QPixmap normalPixmap(int id) const { return normal.at(id); }
    QPixmap highlightedPixmap(int id) const { return highlighted.at(id); }
    QPixmap thumbnailPixmap(int id) const { return thumbnails.at(id); }
    uint32_t loadedHeight() const { return height; }
    tlTileStyle loadedStyle() const { return style; }

    static const char *const tileFileStems[tle::kindCount];
    static QString styleDirectory(tlTileStyle style);

    // Reading and scaling on the global thread pool is what `load` does; the serial
    // variant exists for the benchmark that measures the difference.
    enum class Mode { Parallel, Serial };
    void setMode(Mode mode) { loadMode = mode; }

private:
    QImage scaledTileImage(const QString &path) const;
    QImage thumbnailImage(const QImage &image) const;
    // Every failure ends in fail(), which keeps the message and returns false;
    // failOnTile() first tells which picture it was.
    bool fail(const QString &message);
    bool failOnTile(const QString &stem, const QString &line);

    QList<QPixmap> normal;
    QList<QPixmap> highlighted;
    QList<QPixmap> thumbnails;
    uint32_t height = 0;
    float pixelRatio = 1.0f;
    tlTileStyle style = tlTileStyle::Classic;
    Mode loadMode = Mode::Parallel;
    QString failure;
};

#endif
