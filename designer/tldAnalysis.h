#ifndef TLDANALYSIS_H
#define TLDANALYSIS_H

#include "tlLayoutHandler.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>
#include <optional>

class tldProgress;
class tleGameEngine;

// Tells whether the engine's current deal, on its full board, can be won by some order
// of play; none when it could not decide within its limits or was cancelled. Given one,
// the analysis also reports the share of winnable deals.
class tldDealJudge
{
public:
    virtual ~tldDealJudge() = default;
    virtual std::optional<bool> canBeWon(tleGameEngine &engine, const tldProgress &progress) = 0;
};

struct tldAnalysisResult
{
    QString problem;          // why no game could be dealt; empty when games were played
    int requested = 0;
    int deals = 0;            // dealt and played to the end
    int cleared = 0;          // of those, cleared by random play
    qint64 tilesLeft = 0;     // summed over the deals played
    std::optional<int> winnable;  // deals the judge found winnable, when there was one
    int undecided = 0;            // deals the judge could not decide
    qint64 milliseconds = 0;
};

// How a layout plays: random deals, each played once by the engine's random play
// until no pair is left, as the game's solution search plays.
class tldAnalysis
{
    Q_DECLARE_TR_FUNCTIONS(tldAnalysis)

public:
    tldAnalysis() = delete;

    // Progress counts deals; a cancel stops after the deal under way.
    static tldAnalysisResult run(const QVector<tlTilePosition> &positions, int deals,
                                 tldProgress &progress, tldDealJudge *judge = nullptr);
    // The result as a plain-text report.
    static QString report(const tldAnalysisResult &result, const QString &layoutName);
};

#endif
