#include "tleGameEngine.h"

#include "tleTileKinds.h"

#include <ctime>
#include <limits>

void tleGameEngine::solve(int &minTilesLeft, unsigned &iterations, int maxIterations,
                          tleSearchProgress *progress)
{
    minTilesLeft = 0;
    iterations = 0;
    if (!boardReady())
        return;
    minTilesLeft = std::numeric_limits<int>::max();
    for (int i = 1; i <= maxIterations; ++i) {
        // Every play starts from the full board, the player's own moves included.
        resetGame();
        playRandomly();
        ++iterations;
        if (progress)
            progress->iterationDone(i);
        minTilesLeft = std::min(minTilesLeft, tilesLeft());
        if (minTilesLeft == 0)
            return;
        if (progress && progress->wasCanceled())
            return;
    }
}

QString tleGameEngine::solutionText()
{
    const time_t now = std::time(nullptr);
    const char *date = std::ctime(&now);
    report = QStringLiteral("Date: %1\n").arg(QString::fromLatin1(date ? date : "\n"));
    int number = 0;
    for (const tleTilePair &pair : removed) {
        const tleTile *a = pair.first;
        const tleTile *b = pair.second;
        report += QString::asprintf("%2d.%14s: layer=%d, x=%d, y=%d\n", ++number,
                                    tle::plainKindNames[a->type], a->layer + 1, a->x, a->y);
        report += QString::asprintf("%17s: layer=%d, x=%d, y=%d\n\n",
                                    tle::plainKindNames[b->type], b->layer + 1, b->x, b->y);
    }
    return report;
}
