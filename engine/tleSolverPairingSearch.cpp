#include "tleSolverPairingSearch.h"

#include "tleSolverBudget.h"

tleSolverPairingSearch::tleSolverPairingSearch(const tleSolverBoard &solverBoard,
                                               const tleSolverRules &solverRules,
                                               tleSolverBudget &searchBudget, Turn turn,
                                               Preference preference)
    : board(solverBoard)
    , rules(solverRules)
    , budget(searchBudget)
    , otherTurn(std::move(turn))
    , preferred(std::move(preference))
    , wipeOuts(size_t(solverBoard.classCount()), 0)
{
}

tleSolverPairingSearch::Outcome tleSolverPairingSearch::run(const tleSolverBoard::Position &position,
                                                            const tleSolverRules::Knowledge &knowledge)
{
    origin = position;
    interrupted = false;
    const bool won = decide(knowledge);
    if (interrupted)
        return Outcome::interrupted;
    if (won)
        return Outcome::won;
    return budget.exhausted() ? Outcome::stopped : Outcome::lost;
}

bool tleSolverPairingSearch::propagate(tleSolverRules::Knowledge &knowledge)
{
    int wipedOut = -1;
    if (rules.propagate(origin, knowledge, wipedOut))
        return true;
    if (wipedOut >= 0)
        ++wipeOuts[size_t(wipedOut)];
    return false;
}

// Of the open classes with two pairings or more, the one with the most wipe-outs for
// each pairing it has left; -1 when every class has its pairing.
int tleSolverPairingSearch::nextChoice(const tleSolverRules::Knowledge &knowledge) const
{
    int best = -1;
    double bestScore = 0;
    for (size_t c = 0; c < knowledge.open.size(); ++c) {
        const int left = __builtin_popcount(knowledge.open[c].second);
        if (left < 2)
            continue;
        // Every class counts once even before it has been wiped out.
        const double score = double(wipeOuts[size_t(knowledge.open[c].first)] + 1) / left;
        if (best < 0 || score > bestScore) {
            best = int(c);
            bestScore = score;
        }
    }
    return best;
}

// Every class has its pairing: the relaxed game with one partner each is the game
// itself, so playing the pairs out wins.
bool tleSolverPairingSearch::playChosen(const tleSolverRules::Knowledge &knowledge)
{
    std::vector<int> partnerOf(size_t(board.tileCount()), -1);
    origin.onBoard.forEach([&](int t) {
        partnerOf[size_t(t)] = board.member(board.classOfTile(t), __builtin_ctz(knowledge.partners[size_t(t)]));
    });
    return board.playPairs(origin, partnerOf, play) == 0;
}

bool tleSolverPairingSearch::decide(tleSolverRules::Knowledge knowledge)
{
    if (!budget.spend())
        return false;
    if (otherTurn()) {
        interrupted = true;
        return false;
    }
    if (!propagate(knowledge))
        return false;
    for (;;) {
        const int c = nextChoice(knowledge);
        if (c < 0)
            return playChosen(knowledge);
        const int cls = knowledge.open[size_t(c)].first;
        uint8_t &possible = knowledge.open[size_t(c)].second;
        int pairing = preferred(cls);
        if (pairing < 0 || !(possible & (1u << pairing)))
            pairing = __builtin_ctz(possible);
        tleSolverRules::Knowledge chosen = knowledge;
        chosen.open[size_t(c)].second = uint8_t(1u << pairing);
        rules.setPartners(cls, chosen.open[size_t(c)].second, chosen.partners);
        if (decide(chosen))
            return true;
        if (budget.exhausted() || interrupted)
            return false;
        // No winning order uses that pairing, given what is known here.
        possible = uint8_t(possible & ~(1u << pairing));
        rules.setPartners(cls, possible, knowledge.partners);
        if (!propagate(knowledge))
            return false;
    }
}
