#include "tleSolverDive.h"

#include "tleSolverBudget.h"

#include <algorithm>

namespace {
constexpr size_t probeLength = 8;
// 48 MB: more than a dive ever stores.
constexpr size_t maxEntries = size_t(1) << 21;
// The top bits of a hash pick the slot a full probe run gives up.
constexpr unsigned victimShift = 59;
}

bool tleSolverVisited::contains(const tleSolverBits &position) const
{
    const size_t start = size_t(position.hash()) & mask;
    for (size_t probe = 0; probe < probeLength; ++probe) {
        const tleSolverBits &slot = entries[(start + probe) & mask];
        if (slot == position)
            return true;
        if (!slot.any())
            return false;
    }
    return false;
}

void tleSolverVisited::insert(const tleSolverBits &position)
{
    if (2 * stored >= entries.size() && entries.size() < maxEntries)
        grow();
    place(position);
}

void tleSolverVisited::place(const tleSolverBits &position)
{
    const uint64_t h = position.hash();
    const size_t start = size_t(h) & mask;
    for (size_t probe = 0; probe < probeLength; ++probe) {
        tleSolverBits &slot = entries[(start + probe) & mask];
        if (!slot.any()) {
            slot = position;
            ++stored;
            return;
        }
    }
    entries[(start + size_t(h >> victimShift) % probeLength) & mask] = position;
}

void tleSolverVisited::grow()
{
    std::vector<tleSolverBits> old(entries.size() * 2);
    old.swap(entries);
    mask = entries.size() - 1;
    stored = 0;
    for (const tleSolverBits &position : old) {
        if (position.any())
            place(position);
    }
}

tleSolverDive::tleSolverDive(const tleSolverBoard &solverBoard, const tleSolverRules &solverRules,
                             tleSolverBudget &searchBudget)
    : board(solverBoard)
    , rules(solverRules)
    , budget(searchBudget)
    , facts(size_t(solverBoard.classCount()), 0)
{
    // Every move takes two tiles, and the moves made at once need no level of their own.
    const size_t depths = size_t(solverBoard.tileCount()) / 2 + 2;
    levels.resize(depths);
    analyses.resize(depths);
    undos.resize(depths);
}

tleSolverDive::Outcome tleSolverDive::run(const tleSolverBoard::Position &position, uint64_t until)
{
    workLimit = until;
    outOfWork = false;
    path.clear();
    levels.front() = position;
    const bool won = explore(0);
    if (won)
        return Outcome::won;
    if (budget.exhausted())
        return Outcome::stopped;
    return outOfWork ? Outcome::outOfWork : Outcome::lost;
}

bool tleSolverDive::explore(size_t depth)
{
    if (!budget.spend())
        return false;
    if (board.work() > workLimit) {
        outOfWork = true;
        return false;
    }
    tleSolverBoard::Position &position = levels[depth];
    tleSolverRules::Analysis &analysis = analyses[depth];
    Undo &undo = undos[depth];
    undo.clear();
    const size_t pathMark = path.size();
    const auto fail = [&] {
        restore(undo);
        path.resize(pathMark);
        return false;
    };
    if (!rules.settle(position, facts, analysis, path))
        return fail();
    if (!position.onBoard.any())
        return true;
    if (visited.contains(position.onBoard))
        return fail();

    const std::vector<tleSolverPair> moves = ranked(position, analysis.moves);
    tleSolverBoard::Position &next = levels[depth + 1];
    bool probed = false;
    for (const tleSolverPair move : moves) {
        if (isForbidden(move))
            continue;
        next = position;
        board.take(next, move);
        path.push_back(move);
        if (explore(depth + 1))
            return true;
        if (budget.exhausted() || outOfWork) {
            restore(undo);
            return false;
        }
        path.pop_back();
        forbid(board.classOfTile(move.a), tleSolverRules::pairBit(board.placeOf(move.a), board.placeOf(move.b)),
               undo);
        // A failure shows that the position needs thought: probing is worth its price.
        if (!probed) {
            probed = true;
            if (!probe(position, analysis, undo))
                break;
        }
    }
    visited.insert(position.onBoard);
    return fail();
}

// The moves in the order to try them: first those that free the most tiles.
std::vector<tleSolverPair> tleSolverDive::ranked(const tleSolverBoard::Position &position,
                                                 const std::vector<tleSolverPair> &moves) const
{
    std::vector<std::pair<int, tleSolverPair>> scored;
    for (const tleSolverPair move : moves) {
        tleSolverBoard::Position after = position;
        board.take(after, move);
        scored.push_back({after.free.without(position.free).count(), move});
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto &x, const auto &y) { return x.first > y.first; });
    std::vector<tleSolverPair> order;
    for (const auto &entry : scored)
        order.push_back(entry.second);
    return order;
}

// The pairings that probing rules out are in no winning order from here: their pairs
// are forbidden for the rest of this position's search. False when the position is lost.
bool tleSolverDive::probe(const tleSolverBoard::Position &position,
                          const tleSolverRules::Analysis &analysis, Undo &undo)
{
    tleSolverRules::Knowledge knowledge = rules.knowledgeOf(analysis);
    int wipedOut = -1;
    const bool possible = rules.propagate(position, knowledge, wipedOut);
    for (size_t c = 0; c < knowledge.open.size(); ++c) {
        const uint8_t refuted = uint8_t(analysis.open[c].second & ~knowledge.open[c].second);
        for (size_t p = 0; p < tleSolverRules::pairings.size(); ++p) {
            if (refuted & (1u << p))
                forbid(knowledge.open[c].first, tleSolverRules::pairsOf(tleSolverRules::pairings[p]), undo);
        }
    }
    return possible;
}

bool tleSolverDive::isForbidden(tleSolverPair move) const
{
    return facts[size_t(board.classOfTile(move.a))]
        & tleSolverRules::pairBit(board.placeOf(move.a), board.placeOf(move.b));
}

void tleSolverDive::forbid(int cls, uint8_t pairs, Undo &undo)
{
    undo.emplace_back(cls, facts[size_t(cls)]);
    facts[size_t(cls)] |= pairs;
}

void tleSolverDive::restore(Undo &undo)
{
    for (auto entry = undo.rbegin(); entry != undo.rend(); ++entry)
        facts[size_t(entry->first)] = entry->second;
    undo.clear();
}
