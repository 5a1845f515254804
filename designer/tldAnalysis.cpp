#include "tldAnalysis.h"

#include "tldEngineTrial.h"
#include "tldProgress.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace {

const double percent = 100.0;
const double millisecondsPerSecond = 1000.0;
const int shareDecimals = 1;
const int averageDecimals = 1;
const int secondsDecimals = 2;

QString share(int part, int whole)
{
    return QString::number(whole > 0 ? percent * part / whole : 0.0, 'f', shareDecimals);
}

}

tldAnalysisResult tldAnalysis::run(const QVector<tlTilePosition> &positions, int deals,
                                   tldProgress &progress, tldDealJudge *judge)
{
    QElapsedTimer clock;
    clock.start();
    tldAnalysisResult result;
    result.requested = deals;
    tldEngineTrial trial(positions);
    if (!trial.ready()) {
        result.problem = trial.problem();
        return result;
    }
    tleGameEngine &engine = trial.engine();
    if (judge)
        result.winnable = 0;
    const int onePlay = 1;
    while (result.deals < deals && !progress.wasCanceled()) {
        // The last deal's play has left its board half cleared; the judge sees a full one.
        engine.resetGame();
        engine.shuffleTiles();
        if (judge) {
            const std::optional<bool> verdict = judge->canBeWon(engine, progress);
            *result.winnable += verdict.value_or(false);
            result.undecided += !verdict.has_value();
        }
        int tilesLeft = 0;
        unsigned plays = 0;
        engine.solve(tilesLeft, plays, onePlay, nullptr);
        result.tilesLeft += tilesLeft;
        result.cleared += tilesLeft == 0;
        progress.setDone(++result.deals);
    }
    result.milliseconds = clock.elapsed();
    return result;
}

QString tldAnalysis::report(const tldAnalysisResult &result, const QString &layoutName)
{
    QStringList lines;
    lines << tr("Layout: %1").arg(layoutName)
          << tr("Date: %1").arg(QDateTime::currentDateTime().toString(Qt::ISODate));
    if (!result.problem.isEmpty()) {
        lines << tr("No games could be dealt: %1").arg(result.problem);
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    if (result.deals < result.requested)
        lines << tr("Cancelled after %1 of %2 deals.").arg(result.deals).arg(result.requested);
    const double average = result.deals > 0 ? double(result.tilesLeft) / result.deals : 0.0;
    lines << tr("Deals played: %1").arg(result.deals)
          << tr("Cleared by random play: %1 (%2 %)")
                 .arg(result.cleared)
                 .arg(share(result.cleared, result.deals))
          << tr("Average tiles left: %1").arg(average, 0, 'f', averageDecimals);
    if (result.winnable) {
        lines << tr("Winnable deals: %1 (%2 %)")
                     .arg(*result.winnable)
                     .arg(share(*result.winnable, result.deals));
        if (result.undecided > 0)
            lines << tr("Deals the solver could not decide: %1").arg(result.undecided);
    }
    lines << tr("Time taken: %1 s")
                 .arg(result.milliseconds / millisecondsPerSecond, 0, 'f', secondsDecimals);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
