#ifndef TLESOLVERDIVE_H
#define TLESOLVERDIVE_H

#include "tleSolverBoard.h"
#include "tleSolverRules.h"

#include <cstdint>
#include <vector>

class tleSolverBudget;

// Positions already searched without success, by the set of tiles on the board. The
// whole set is the key, so a position is never mistaken for another; when the table is
// full, new positions push out old ones, which only costs a search again.
class tleSolverVisited
{
public:
    bool contains(const tleSolverBits &position) const;
    void insert(const tleSolverBits &position);

private:
    void place(const tleSolverBits &position);
    void grow();

    static constexpr size_t firstSize = size_t(1) << 10;
    // The empty board is never stored (it is a win), so an empty entry is all zero.
    std::vector<tleSolverBits> entries = std::vector<tleSolverBits>(firstSize);
    size_t mask = firstSize - 1;
    size_t stored = 0;
};

// Depth first over moves, the moves that free the most tiles first: quick to win the
// many deals where that leads straight through. A move found to fail is made in none
// of its siblings' searches either (had it been part of a winning order from one of
// them, it could have gone first); a position with a failed move is also probed.
class tleSolverDive
{
public:
    enum class Outcome { won, lost, outOfWork, stopped };

    tleSolverDive(const tleSolverBoard &board, const tleSolverRules &rules, tleSolverBudget &budget);

    // Searches from a position until the board's work reaches `until`.
    Outcome run(const tleSolverBoard::Position &position, uint64_t until);
    // After a win: the moves from the position, in order.
    const std::vector<tleSolverPair> &order() const { return path; }

private:
    using Undo = std::vector<std::pair<int, uint8_t>>;

    bool explore(size_t depth);
    std::vector<tleSolverPair> ranked(const tleSolverBoard::Position &position,
                                      const std::vector<tleSolverPair> &moves) const;
    bool probe(const tleSolverBoard::Position &position, const tleSolverRules::Analysis &analysis,
               Undo &undo);
    void forbid(int cls, uint8_t pairs, Undo &undo);
    void restore(Undo &undo);
    bool isForbidden(tleSolverPair move) const;

    const tleSolverBoard &board;
    const tleSolverRules &rules;
    tleSolverBudget &budget;
    uint64_t workLimit = 0;
    bool outOfWork = false;

    tleSolverRules::Facts facts;
    std::vector<tleSolverBoard::Position> levels;
    std::vector<tleSolverRules::Analysis> analyses;
    std::vector<Undo> undos;
    std::vector<tleSolverPair> path;
    tleSolverVisited visited;
};

#endif
