#include "tldVerifier.h"

#include "tldEngineTrial.h"
#include "tldLayoutRules.h"
#include "tldProgress.h"
#include "tleTileKinds.h"

QVector<tldProblem> tldVerifier::shapeProblems(const QVector<tlTilePosition> &positions)
{
    QVector<tldProblem> problems;
    if (positions.size() != tle::setSize) {
        problems.append({tr("The layout has %1 tiles; it needs exactly %2.")
                             .arg(positions.size())
                             .arg(tle::setSize),
                         {}});
    }
    const QSet<int> overlapping = tldLayoutRules::overlapping(positions);
    if (!overlapping.isEmpty()) {
        // Tiles overlap in twos at least.
        problems.append({tr("%1 tiles overlap other tiles of their layer.").arg(overlapping.size()),
                         overlapping});
    }
    const QSet<int> floating = tldLayoutRules::floating(positions);
    if (!floating.isEmpty()) {
        problems.append({floating.size() == 1
                             ? tr("A tile does not rest fully on the layer below.")
                             : tr("%1 tiles do not rest fully on the layer below.").arg(floating.size()),
                         floating});
    }
    return problems;
}

namespace {

// Has the engine deal winnable games until one comes about, for as many rounds as the
// verification allows; false when none did or the author cancelled.
bool dealWinnable(tleGameEngine &engine, tldProgress &progress)
{
    for (int round = 1; round <= tldVerifier::dealRounds; ++round) {
        if (engine.arrangeTiles())
            return true;
        progress.setDone(round);
        if (progress.wasCanceled())
            return false;
    }
    return false;
}

}

tldVerifier::Outcome tldVerifier::findWinnableDeal(const QVector<tlTilePosition> &positions,
                                                  tldProgress &progress)
{
    tldEngineTrial trial(positions);
    if (!trial.ready())
        return {Verdict::NoBoard, trial.problem()};
    if (dealWinnable(trial.engine(), progress))
        return {Verdict::Winnable, tr("The engine dealt a winnable game on the layout.")};
    if (progress.wasCanceled())
        return {Verdict::Canceled, tr("The verification was cancelled.")};
    return {Verdict::Unwinnable,
            tr("The engine found no way to take all tiles away in pairs (%1 tries at a "
               "winnable deal): some tiles never come free together with another one.")
                .arg(dealRounds)};
}

tldVerifier::RemovalOrder tldVerifier::findRemovalOrder(const QVector<tlTilePosition> &positions,
                                                        int maxPlays, tldProgress &progress)
{
    tldEngineTrial trial(positions);
    RemovalOrder order;
    if (!trial.ready() || !dealWinnable(trial.engine(), progress))
        return order;
    // A winnable deal, searched by the engine's random plays as the game's own search does.
    int tilesLeft = 0;
    unsigned plays = 0;
    trial.engine().solve(tilesLeft, plays, maxPlays, &progress);
    if (tilesLeft != 0)
        return order;
    for (const tleTilePair &pair : trial.engine().history())
        order.append({trial.positionOf(pair.first), trial.positionOf(pair.second)});
    return order;
}
