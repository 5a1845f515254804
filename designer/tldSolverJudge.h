#ifndef TLDSOLVERJUDGE_H
#define TLDSOLVERJUDGE_H

#include "tldAnalysis.h"

// The engine's exact solver as the judge of the analysis's deals.
class tldSolverJudge : public tldDealJudge
{
public:
    std::optional<bool> canBeWon(tleGameEngine &engine, const tldProgress &progress) override;
};

#endif
