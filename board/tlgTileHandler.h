#ifndef TLGTILEHANDLER_H
#define TLGTILEHANDLER_H

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

    // Reads the style's pictures at `height` device pixels. Missing pictures and ones
    // that cannot be decoded end the process with a message, so this returns true
    // whenever it returns.
    bool load(int style, int height);

    QPixmap normalPixmap(int id) const { return normal.at(id); }
    QPixmap highlightedPixmap(int id) const { return highlighted.at(id); }
    QPixmap thumbnailPixmap(int id) const { return thumbnails.at(id); }
    uint32_t loadedHeight() const { return height; }
    int loadedStyle() const { return style; }

    static const char *const tileFileStems[tle::kindCount];
    static QString styleDirectory(int style);

    // Reading and scaling on the global thread pool is what `load` does; the serial
    // variant exists for the benchmark that measures the difference.
    enum class Mode { Parallel, Serial };
    void setMode(Mode mode) { loadMode = mode; }

private:
    QImage scaledTileImage(const QString &path) const;
    QImage thumbnailImage(const QImage &image) const;
    // Every fatal failure ends in fail(); failOnTile() first tells which picture it was.
    [[noreturn]] static void fail(const QString &message);
    [[noreturn]] static void failOnTile(const QString &stem, const QString &line);

    QList<QPixmap> normal;
    QList<QPixmap> highlighted;
    QList<QPixmap> thumbnails;
    uint32_t height = 0;
    float pixelRatio = 1.0f;
    int style = 0;
    Mode loadMode = Mode::Parallel;
};

#endif
