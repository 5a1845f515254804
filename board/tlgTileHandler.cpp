#include "tlgTileHandler.h"

#include "tlDataDirectory.h"
#include "tlDiagnostics.h"
#include "tlSettings.h"
#include "tleTileKinds.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QtConcurrent>
#include <functional>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

const QString normalSuffix = QStringLiteral("_normal.png");
const QString highlightedSuffix = QStringLiteral("_highlighted.png");

}

const char *const tlgTileHandler::tileFileStems[tle::kindCount] = {
    "Char_1", "Char_2", "Char_3", "Char_4", "Char_5", "Char_6", "Char_7", "Char_8", "Char_9",
    "Wheel_1", "Wheel_2", "Wheel_3", "Wheel_4", "Wheel_5", "Wheel_6", "Wheel_7", "Wheel_8", "Wheel_9",
    "Bamboo_1", "Bamboo_2", "Bamboo_3", "Bamboo_4", "Bamboo_5", "Bamboo_6", "Bamboo_7", "Bamboo_8", "Bamboo_9",
    "Wind_North", "Wind_South", "Wind_East", "Wind_West",
    "Dragon_Green", "Dragon_Red", "Dragon_White",
    "Season_Spring", "Season_Summer", "Season_Fall", "Season_Winter",
    "Flower_1", "Flower_2", "Flower_3", "Flower_4",
};

tlgTileHandler::tlgTileHandler()
    : QObject(nullptr)
{
}

QString tlgTileHandler::styleDirectory(tlTileStyle style)
{
    return QStringLiteral("/%1/").arg(QLatin1String(tl::tileStyleName(style)));
}

bool tlgTileHandler::fail(const QString &message)
{
    failure = message;
    normal.clear();
    highlighted.clear();
    thumbnails.clear();
    return false;
}

bool tlgTileHandler::failOnTile(const QString &stem, const QString &line)
{
    tl::diagnose("tlgTileHandler::load",
                 {QStringLiteral("failed opening files for tile '%1'.").arg(stem), line});
    return fail(tr("Cannot find resource holding the tile graphics. Ceck your installation and "
                   "reinstall if necessary. Tilvane will now exit."));
}

// A picture that cannot be decoded stays a null image, which load() takes for a failure.
QImage tlgTileHandler::scaledTileImage(const QString &path) const
{
    QImage original(path, "PNG");
    if (original.isNull())
        return QImage();
    // Smooth scaling works on premultiplied pixels. Converted in place, the picture needs
    // no second full-size copy: freeing two of them after every picture made the C library
    // give the memory back to the system and fault it in afresh for the next picture, tens
    // of thousands of page faults per load, which the threads queue for in the kernel.
    original.convertTo(QImage::Format_ARGB32_Premultiplied);
    QImage image = original.scaledToHeight(int(height), Qt::SmoothTransformation);
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

QImage tlgTileHandler::thumbnailImage(const QImage &image) const
{
    if (image.isNull())
        return QImage();
    const int thumbnailHeight = int(float(tlSettings::instance().thumbnailHeight) * pixelRatio);
    QImage thumbnail = image.scaledToHeight(thumbnailHeight, Qt::SmoothTransformation);
    thumbnail.setDevicePixelRatio(pixelRatio);
    return thumbnail;
}

bool tlgTileHandler::load(tlTileStyle newStyle, int newHeight)
{
    pixelRatio = float(QGuiApplication::primaryScreen()->devicePixelRatio());
    style = newStyle;
    height = uint32_t(newHeight);
    normal.clear();
    highlighted.clear();
    thumbnails.clear();
    failure.clear();

    QDir dir = findDataDirectory("tiles");
    if (!dataDirectoryFound(dir)) {
        return fail(tr("Cannot find the directory holding the tile sets. Ceck your installation "
                       "and reinstall if necessary. Tilvane will now exit."));
    }
    dir.setPath(dir.path() + styleDirectory(style));
    if (!dir.exists()) {
        return fail(tr("Cannot find the subdirectory holding the tile set style requested. Ceck "
                       "your installation and reinstall if necessary. Tilvane will now exit."));
    }

    const QStringList listing = dir.entryList();
    QStringList normalPaths, highlightedPaths;
    for (const char *stem : tileFileStems) {
        const QString name = QString::fromLatin1(stem);
        for (const QString &suffix : {normalSuffix, highlightedSuffix}) {
            if (!listing.contains(name + suffix)) {
                return failOnTile(name, QStringLiteral("'%1' is missing.")
                                            .arg(dir.absoluteFilePath(name + suffix)));
            }
        }
        normalPaths << dir.absoluteFilePath(name + normalSuffix);
        highlightedPaths << dir.absoluteFilePath(name + highlightedSuffix);
    }

    // Only images are made off the GUI thread; pixmaps are made here afterwards.
    const std::function<QImage(const QString &)> scale =
        [this](const QString &path) { return scaledTileImage(path); };
    const std::function<QImage(const QImage &)> shrink =
        [this](const QImage &image) { return thumbnailImage(image); };
    QList<QImage> normalImages, highlightedImages, thumbnailImages;
    if (loadMode == Mode::Parallel) {
        // QtConcurrent runs these on the global thread pool.
        normalImages = QtConcurrent::blockingMapped<QList<QImage>>(normalPaths, scale);
        highlightedImages = QtConcurrent::blockingMapped<QList<QImage>>(highlightedPaths, scale);
        thumbnailImages = QtConcurrent::blockingMapped<QList<QImage>>(normalImages, shrink);
    } else {
        for (const QString &path : normalPaths)
            normalImages << scale(path);
        for (const QString &path : highlightedPaths)
            highlightedImages << scale(path);
        for (const QImage &image : normalImages)
            thumbnailImages << shrink(image);
    }

    // A picture that is there but cannot be read would leave its four tiles invisible
    // yet in the way, so it ends the game like a missing one.
    for (int id = 0; id < tle::kindCount; ++id) {
        const QList<QPair<QImage, QString>> pictures = {{normalImages.at(id), normalPaths.at(id)},
                                                        {highlightedImages.at(id), highlightedPaths.at(id)}};
        for (const auto &picture : pictures) {
            if (picture.first.isNull()) {
                return failOnTile(QString::fromLatin1(tileFileStems[id]),
                                  QStringLiteral("'%1' is no readable PNG picture.").arg(picture.second));
            }
        }
    }

    for (int id = 0; id < tle::kindCount; ++id) {
        normal << QPixmap::fromImage(normalImages.at(id), Qt::ColorOnly);
        highlighted << QPixmap::fromImage(highlightedImages.at(id), Qt::ColorOnly);
        thumbnails << QPixmap::fromImage(thumbnailImages.at(id), Qt::ColorOnly);
    }
#ifdef __GLIBC__
    // The full-size pictures were decoded on several threads; hand the memory they
    // took back to the system instead of keeping it in the threads' heaps.
    malloc_trim(0);
#endif
    return true;
}
