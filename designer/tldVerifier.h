#ifndef TLDVERIFIER_H
#define TLDVERIFIER_H

#include "tlLayoutHandler.h"

#include <QCoreApplication>
#include <QPair>
#include <QSet>
#include <QString>
#include <QVector>

class tldProgress;

// One broken rule, in the author's words, and the tiles it concerns (none for a rule
// about the layout as a whole).
struct tldProblem
{
    QString text;
    QSet<int> tiles;
};

// What a layout must pass to be saved as verified: the game's tile count, no two tiles
// of a layer sharing room, every upper tile resting on the layer below, and a board that
// the game's own reader and engine build and on which the engine deals a winnable game.
class tldVerifier
{
    Q_DECLARE_TR_FUNCTIONS(tldVerifier)

public:
    tldVerifier() = delete;

    // The rules on the tiles' places alone; immediate.
    static QVector<tldProblem> shapeProblems(const QVector<tlTilePosition> &positions);

    // The engine's part, for a layout whose shape is sound. Each round is one try of the
    // engine's winnable deal, itself up to 21 trial plays; the progress counts rounds.
    static constexpr int dealRounds = 50;
    enum class Verdict { Winnable, Unwinnable, NoBoard, Canceled };
    struct Outcome
    {
        Verdict verdict = Verdict::Canceled;
        QString text;
    };
    static Outcome findWinnableDeal(const QVector<tlTilePosition> &positions, tldProgress &progress);

    // An order in which every tile can be taken away in pairs: the engine's search on a
    // winnable deal of the layout. Pairs of position indices, first pair first; empty
    // when the search found none within `maxPlays` or was cancelled.
    using RemovalOrder = QVector<QPair<int, int>>;
    static RemovalOrder findRemovalOrder(const QVector<tlTilePosition> &positions, int maxPlays,
                                         tldProgress &progress);
};

#endif
