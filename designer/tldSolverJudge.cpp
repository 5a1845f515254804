#include "tldSolverJudge.h"

#include "tldProgress.h"
#include "tleGameEngine.h"
#include "tleSolver.h"

namespace {
// A deal the solver cannot decide in this time counts as undecided: a few such deals
// must not hold up an analysis of thousands.
const qint64 decisionMilliseconds = 1000;
}

std::optional<bool> tldSolverJudge::canBeWon(tleGameEngine &engine, const tldProgress &progress)
{
    const tleSolver solver(*engine.board());
    tleSolver::Limits limits;
    limits.milliseconds = decisionMilliseconds;
    const tleSolver::Result result = solver.solve(limits, progress.cancelFlag());
    if (result.answer == tleSolver::Answer::unknown)
        return std::nullopt;
    return result.answer == tleSolver::Answer::winnable;
}
