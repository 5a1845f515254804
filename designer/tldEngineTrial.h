#ifndef TLDENGINETRIAL_H
#define TLDENGINETRIAL_H

#include "tlLayoutHandler.h"
#include "tleGameEngine.h"

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

// The game's engine on the layout being drawn. The engine builds its board from a
// layout file, through the game's reader, so the tiles go to a temporary file first:
// what the engine then accepts, the game will accept from a saved file too.
class tldEngineTrial
{
    Q_DECLARE_TR_FUNCTIONS(tldEngineTrial)

public:
    explicit tldEngineTrial(const QVector<tlTilePosition> &positions);
    tldEngineTrial(const tldEngineTrial &) = delete;
    tldEngineTrial &operator=(const tldEngineTrial &) = delete;

    // Whether the engine built a board; problem() tells why not.
    bool ready() const { return problem().isEmpty(); }
    QString problem() const { return failure; }
    tleGameEngine &engine() { return game; }

    // Which position a tile of the engine stands on: the engine places its tiles in the
    // layout's order.
    int positionOf(const tleTile *tile) const;

private:
    QTemporaryDir folder;
    tleGameEngine game;
    QString failure;
};

#endif
