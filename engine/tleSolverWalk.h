#ifndef TLESOLVERWALK_H
#define TLESOLVERWALK_H

#include "tleSolverBoard.h"
#include "tleSolverRules.h"

#include <cstdint>
#include <random>
#include <vector>

// A walk over pairings, in search of a winning order: it chooses a pairing for every
// open class, plays the pairs out exactly (tleSolverBoard::playPairs), and then changes
// the pairing of a class among the tiles left over, mostly the change that leaves the
// fewest, now and then one at random. It can find that a position is won, never that
// it is lost.
class tleSolverWalk
{
public:
    explicit tleSolverWalk(const tleSolverBoard &board);

    // Starts from a settled position and what its analysis tells: every open class
    // starts from a pairing the relaxed game of the position kept to.
    void start(const tleSolverBoard::Position &position, const tleSolverRules::Analysis &analysis);
    // Walks on until the board's work reaches `until`; true once a pairing clears the
    // board, and order() then holds the moves.
    bool walk(uint64_t until);
    const std::vector<tleSolverPair> &order() const { return play.order; }
    // The pairing the walk gives a class now, or -1 when it has none.
    int pairingOf(int cls) const;

private:
    struct Choice
    {
        int cls;
        uint8_t possible;
        int pairing;
    };

    void apply(const Choice &choice);
    std::vector<size_t> stuckChoices() const;
    void step(const std::vector<size_t> &stuck);

    const tleSolverBoard &board;
    tleSolverBoard::Position origin;
    std::vector<Choice> choices;
    std::vector<int> partnerOf;
    tleSolverBoard::Play play;
    tleSolverBoard::Play trial;
    int left = 0;
    int lastChanged = -1;
    std::mt19937 random;
};

#endif
