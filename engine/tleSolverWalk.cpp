#include "tleSolverWalk.h"

#include <algorithm>
#include <limits>

namespace {
// How often a step changes a random class instead of the best change found.
constexpr unsigned randomStepPercent = 20;
constexpr unsigned percent = 100;
// The walk is repeatable: the same position gives the same walk.
constexpr uint32_t walkSeed = 12345;
}

tleSolverWalk::tleSolverWalk(const tleSolverBoard &solverBoard)
    : board(solverBoard)
    , random(walkSeed)
{
}

void tleSolverWalk::start(const tleSolverBoard::Position &position,
                          const tleSolverRules::Analysis &analysis)
{
    origin = position;
    choices.clear();
    lastChanged = -1;
    partnerOf.assign(size_t(board.tileCount()), -1);
    position.onBoard.forEach([&](int t) {
        const tleSolverBoard::Partners mates = analysis.partners[size_t(t)];
        if (mates && !(mates & (mates - 1)))
            partnerOf[size_t(t)] = board.member(board.classOfTile(t), __builtin_ctz(mates));
    });
    for (const tleSolverRules::ClassPairings &open : analysis.open) {
        Choice choice{open.first, open.second, __builtin_ctz(open.second)};
        const auto met = [&](int i, int j) {
            return (analysis.met[size_t(board.member(open.first, i))] & tleSolverBoard::placeBit(j))
                && (analysis.met[size_t(board.member(open.first, j))] & tleSolverBoard::placeBit(i));
        };
        for (int p = 0; p < int(tleSolverRules::pairings.size()); ++p) {
            const tleSolverRules::Pairing &q = tleSolverRules::pairings[size_t(p)];
            if ((open.second & (1u << p)) && met(q.i, q.j) && met(q.k, q.l)) {
                choice.pairing = p;
                break;
            }
        }
        choices.push_back(choice);
        apply(choice);
    }
    left = board.playPairs(origin, partnerOf, play);
}

int tleSolverWalk::pairingOf(int cls) const
{
    for (const Choice &choice : choices) {
        if (choice.cls == cls)
            return choice.pairing;
    }
    return -1;
}

void tleSolverWalk::apply(const Choice &choice)
{
    const tleSolverRules::Pairing &q = tleSolverRules::pairings[size_t(choice.pairing)];
    const auto join = [&](int i, int j) {
        partnerOf[size_t(board.member(choice.cls, i))] = board.member(choice.cls, j);
        partnerOf[size_t(board.member(choice.cls, j))] = board.member(choice.cls, i);
    };
    join(q.i, q.j);
    join(q.k, q.l);
}

// The choices worth changing: those of the classes with a tile left over that is free
// while its partner is not, or failing that, with any tile left over.
std::vector<size_t> tleSolverWalk::stuckChoices() const
{
    std::vector<size_t> stuck;
    for (const tleSolverBits &tiles : {play.waiting, play.leftOver}) {
        for (size_t c = 0; c < choices.size(); ++c) {
            const std::vector<int> &members = board.classMembers(choices[c].cls);
            if (std::any_of(members.begin(), members.end(), [&](int m) { return tiles.test(m); }))
                stuck.push_back(c);
        }
        if (!stuck.empty())
            break;
    }
    return stuck;
}

bool tleSolverWalk::walk(uint64_t until)
{
    while (left > 0 && board.work() < until) {
        const std::vector<size_t> stuck = stuckChoices();
        // Tiles left over that no choice touches stay, whatever is chosen.
        if (stuck.empty())
            return false;
        step(stuck);
    }
    return left == 0;
}

void tleSolverWalk::step(const std::vector<size_t> &stuck)
{
    size_t bestChoice = stuck[random() % stuck.size()];
    int bestPairing = -1;
    if (random() % percent >= randomStepPercent) {
        int bestLeft = std::numeric_limits<int>::max();
        for (size_t c : stuck) {
            // Changing back what was just changed goes round in circles.
            if (int(c) == lastChanged && stuck.size() > 1)
                continue;
            Choice other = choices[c];
            for (int p = 0; p < int(tleSolverRules::pairings.size()); ++p) {
                if (p == choices[c].pairing || !(other.possible & (1u << p)))
                    continue;
                other.pairing = p;
                apply(other);
                const int otherLeft = board.playPairs(origin, partnerOf, trial);
                if (otherLeft < bestLeft || (otherLeft == bestLeft && random() % 2)) {
                    bestLeft = otherLeft;
                    bestChoice = c;
                    bestPairing = p;
                }
                apply(choices[c]);
            }
        }
    }
    if (bestPairing < 0) {
        const Choice &c = choices[bestChoice];
        std::vector<int> others;
        for (int p = 0; p < int(tleSolverRules::pairings.size()); ++p) {
            if (p != c.pairing && (c.possible & (1u << p)))
                others.push_back(p);
        }
        bestPairing = others[random() % others.size()];
    }
    choices[bestChoice].pairing = bestPairing;
    apply(choices[bestChoice]);
    lastChanged = int(bestChoice);
    left = board.playPairs(origin, partnerOf, play);
}
