#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace tileart {

// Writes a maximally compressed PNG, reads it back and checks it. Problems
// are appended to `problems`; returns the file size in bytes (0 on failure).
qint64 writeChecked(const QImage &image, const QString &path, QStringList (*check)(const QImage &, QSize),
                    QSize expected, QStringList &problems);

// A tile picture: exact size, alpha channel, transparent around the tile and
// opaque on the face and in both thickness strips.
QStringList checkTilePicture(const QImage &image, QSize expected);
// A title picture: exact size, opaque, and calm light paper where the game
// paints its version and credit text.
QStringList checkTitlePicture(const QImage &image, QSize expected);
// Any other picture: exact size and opaque.
QStringList checkOpaquePicture(const QImage &image, QSize expected);

// Whether the picture in `made` shows what the one in `reference` shows. Other font
// rasterisers and compression libraries may move single pixels by a step or two.
QStringList compareWithReference(const QString &made, const QString &reference);

}  // namespace tileart
