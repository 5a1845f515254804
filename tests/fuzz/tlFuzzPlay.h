#ifndef TLFUZZPLAY_H
#define TLFUZZPLAY_H

#include "tlFuzzInput.h"
#include "tleBoard.h"
#include "tleGameEngine.h"

namespace tlFuzz {

// Plays a loaded board to its end and takes every removal back, checking on the way
// that the board's running count of pairs agrees with listing them all, that every
// pair it offers can be removed, and that undo brings the whole board back.
inline void playOutAndUndo(tleGameEngine &engine)
{
    const int start = engine.tilesLeft();
    const tleBoard *board = engine.board();
    tleTilePairList all;
    while (const unsigned count = board->pairCount()) {
        if (board->possiblePairs(all) != count || all.size() != count)
            fail("the pair count disagrees with the list of pairs");
        const unsigned pick = count / 2;  // not always the first, to vary the play
        const tleTilePair pair = board->pairAt(pick);
        if (pair != all[pick])
            fail("pairAt disagrees with the list of pairs");
        if (!engine.removePair(pair.first, pair.second))
            fail("the board offered a pair that cannot be removed");
    }
    if (board->possiblePairs(all) != 0 || !all.empty())
        fail("pairs are listed where the count says none");
    while (engine.undo().first) {
    }
    if (engine.tilesLeft() != start)
        fail("undo did not bring every tile back");
}

}

#endif
