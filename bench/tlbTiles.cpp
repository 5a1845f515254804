// Times the reading and scaling of the tile pictures, spread over the thread pool as the
// game does it against the same work done in turn, for every style at the default tile
// height on screens of pixel ratio 1 and 2. Prints the medians, one line per case.

#include "tlDataDirectory.h"
#include "tlSettings.h"
#include "tlTilePictures.h"
#include "tlgTileHandler.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThreadPool>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int runsPerCase = 5;
const int pixelRatios[] = {1, 2};
const double nanosecondsPerMillisecond = 1e6;

double loadMilliseconds(tlTileStyle style, int height, tlgTileHandler::Mode mode)
{
    tlgTileHandler handler;
    handler.setMode(mode);
    QElapsedTimer clock;
    clock.start();
    handler.load(style, height);
    return double(clock.nsecsElapsed()) / nanosecondsPerMillisecond;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}

int main(int argc, char **argv)
{
    // No window is ever shown; any display will do, none is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The game's defaults, never the player's stored preferences.
    tlSettings &settings = tlSettings::instance();
    settings.thumbnailHeight = settings.defaultThumbnailHeight;
    settings.tileHeight = settings.defaultTileHeight;

    // The search hands back the current folder when it finds nothing.
    const QDir tiles = findDataDirectory("tiles");
    if (!dataDirectoryCandidates(QStringLiteral("tiles")).contains(tiles.path())) {
        std::fprintf(stderr, "tilvane-bench-tiles: no tile pictures found; looked for a "
                             "\"tiles\" data folder in the usual places\n");
        return EXIT_FAILURE;
    }
    for (tlTileStyle style : tl::tileStyles) {
        if (!tiles.exists(QString::fromLatin1(tl::tileStyleName(style)))) {
            std::fprintf(stderr, "tilvane-bench-tiles: %s has no %s pictures\n",
                         qPrintable(tiles.path()), tl::tileStyleName(style));
            return EXIT_FAILURE;
        }
    }
    std::fprintf(stderr, "pictures from %s, %d threads in the pool, median of %d runs\n",
                 qPrintable(tiles.path()), QThreadPool::globalInstance()->maxThreadCount(),
                 runsPerCase);

    for (tlTileStyle style : tl::tileStyles) {
        for (int ratio : pixelRatios) {
            const int height = settings.tileHeight * ratio;
            // Once unmeasured, so that every measured run finds the files in the cache.
            loadMilliseconds(style, height, tlgTileHandler::Mode::Parallel);
            std::vector<double> parallel, serial;
            for (int run = 0; run < runsPerCase; ++run) {
                parallel.push_back(loadMilliseconds(style, height, tlgTileHandler::Mode::Parallel));
                serial.push_back(loadMilliseconds(style, height, tlgTileHandler::Mode::Serial));
            }
            const double parallelMs = median(parallel);
            const double serialMs = median(serial);
            std::printf("%s x%d: parallel %.0f ms, serial %.0f ms, speed-up %.2f\n",
                        tl::tileStyleName(style), ratio, parallelMs, serialMs, serialMs / parallelMs);
            std::fflush(stdout);
        }
    }
    return EXIT_SUCCESS;
}
