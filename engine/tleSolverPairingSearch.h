#ifndef TLESOLVERPAIRINGSEARCH_H
#define TLESOLVERPAIRINGSEARCH_H

#include "tleSolverBoard.h"
#include "tleSolverRules.h"

#include <functional>
#include <vector>

class tleSolverBudget;

// Decides a position by choosing pairings rather than moves: once every class has its
// pairing, the order of the moves no longer matters (tleSolverBoard::playPairs), so the
// pairings are all there is to search. It chooses a pairing for one open class at a
// time, the class most often found without pairing so far among those with the fewest
// left, and probes the others (tleSolverRules::propagate) after every choice. When a
// choice fails, that pairing is ruled out where it was chosen; when every pairing of a
// class is ruled out, the position is lost.
class tleSolverPairingSearch
{
public:
    enum class Outcome { won, lost, stopped, interrupted };
    // Gives another search a turn; true when it has won, which ends this one.
    using Turn = std::function<bool()>;
    // The pairing to try first for a class, or -1.
    using Preference = std::function<int(int cls)>;

    tleSolverPairingSearch(const tleSolverBoard &board, const tleSolverRules &rules,
                           tleSolverBudget &budget, Turn turn, Preference preference);

    Outcome run(const tleSolverBoard::Position &position, const tleSolverRules::Knowledge &knowledge);
    // After a win: the moves from the position, in order.
    const std::vector<tleSolverPair> &order() const { return play.order; }

private:
    bool decide(tleSolverRules::Knowledge knowledge);
    bool propagate(tleSolverRules::Knowledge &knowledge);
    int nextChoice(const tleSolverRules::Knowledge &knowledge) const;
    bool playChosen(const tleSolverRules::Knowledge &knowledge);

    const tleSolverBoard &board;
    const tleSolverRules &rules;
    tleSolverBudget &budget;
    Turn otherTurn;
    Preference preferred;
    tleSolverBoard::Position origin;
    std::vector<int> wipeOuts;  // per class, how often it was left without pairing
    tleSolverBoard::Play play;
    bool interrupted = false;
};

#endif
