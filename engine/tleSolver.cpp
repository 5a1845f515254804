#include "tleSolver.h"

#include "tlDiagnostics.h"
#include "tleBoard.h"
#include "tleSolverBoard.h"
#include "tleSolverBudget.h"
#include "tleSolverDive.h"
#include "tleSolverPairingSearch.h"
#include "tleSolverRules.h"
#include "tleSolverWalk.h"
#include "tleTileKinds.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>

namespace {

constexpr int noTile = -1;
// The dive's share of work before the other searches start: enough to win most deals.
constexpr uint64_t diveWork = 30000;
// The first turn of the walk, and so of the pairing search; turns then double.
constexpr uint64_t firstTurn = 20000;

static_assert(tleSolver::maxTiles == tleSolverBits::capacity, "the solver's sets hold every tile");

}

tleSolver::tleSolver(const tleBoard &board)
{
    if (!board.initialized() || board.tiles().size() > size_t(maxTiles))
        return;
    for (tleTile *record : board.tiles()) {
        records.push_back(record);
        kinds.push_back(record->type);
        onBoard.push_back(record->state == 1);
    }
    classCount = tleSolverBoard::tilesOf(board, tiles);
    std::vector<int> classSizes(size_t(classCount), 0);
    for (const tleSolverTile &tile : tiles)
        ++classSizes[size_t(tile.matchClass)];
    decidable = std::all_of(classSizes.begin(), classSizes.end(),
                            [](int size) { return size <= tleSolverBoard::maxClassSize; });
}

tleSolver::~tleSolver() = default;
tleSolver::tleSolver(const tleSolver &other) = default;
tleSolver &tleSolver::operator=(const tleSolver &other) = default;

void tleSolver::putBack(const tleTilePair &pair)
{
    for (const tleTile *record : {pair.first, pair.second}) {
        const int index = indexOf(record);
        if (index != noTile)
            onBoard[size_t(index)] = true;
    }
}

int tleSolver::indexOf(const tleTile *record) const
{
    const auto found = std::find(records.begin(), records.end(), record);
    return found == records.end() ? noTile : int(found - records.begin());
}

bool tleSolver::isFree(int index, const std::vector<bool> &present) const
{
    const tleSolverTile &tile = tiles[size_t(index)];
    const auto taken = [&present](const std::vector<int> &place) {
        return std::any_of(place.begin(), place.end(), [&present](int t) { return present[size_t(t)]; });
    };
    return present[size_t(index)] && !taken(tile.above) && (!taken(tile.left) || !taken(tile.right));
}

bool tleSolver::clears(const tleTilePairList &order) const
{
    std::vector<bool> present = onBoard;
    for (const tleTilePair &pair : order) {
        const int a = indexOf(pair.first);
        const int b = indexOf(pair.second);
        if (a == noTile || b == noTile || a == b || !isFree(a, present) || !isFree(b, present)
            || !tle::kindsMatch(kinds[size_t(a)], kinds[size_t(b)])) {
            return false;
        }
        present[size_t(a)] = false;
        present[size_t(b)] = false;
    }
    return std::none_of(present.begin(), present.end(), [](bool on) { return on; });
}

tleSolver::Result tleSolver::solve(const Limits &limits, const std::atomic<bool> *cancel,
                                   const Clock &clock) const
{
    Result result;
    if (!decidable)
        return result;
    std::vector<std::pair<int, int>> moves;
    result.answer = decide(moves, result.nodes, limits, cancel, clock);
    for (const std::pair<int, int> &move : moves)
        result.order.emplace_back(records[size_t(move.first)], records[size_t(move.second)]);
    if (result.answer == Answer::winnable && !clears(result.order)) {
        tl::diagnose("tleSolver::solve", {QStringLiteral("the removal order found does not clear the board; "
                                                         "the position is left undecided.")});
        result.answer = Answer::unknown;
        result.order.clear();
    }
    return result;
}

// First a short dive, which wins most deals at once; then the walk over pairings and
// the pairing search take turns, each given as much work as the other had, the turns
// doubling: the walk is quick to find a winning order when there is one, the pairing
// search alone can show that there is none.
tleSolver::Answer tleSolver::decide(std::vector<std::pair<int, int>> &moves, quint64 &nodes,
                                    const Limits &limits, const std::atomic<bool> *cancel,
                                    const Clock &clock) const
{
    Clock now = clock;
    if (!now) {
        const auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        now = [timer] { return timer->elapsed(); };
    }
    tleSolverBudget budget(limits.nodes, limits.milliseconds, cancel, now);
    const tleSolverBoard board(tiles, classCount);
    const tleSolverRules rules(board);

    std::vector<tleSolverPair> path;
    const auto answer = [&](Answer found, const std::vector<tleSolverPair> &more = {}) {
        path.insert(path.end(), more.begin(), more.end());
        for (const tleSolverPair &pair : path)
            moves.emplace_back(pair.a, pair.b);
        nodes = budget.nodes();
        return found;
    };

    tleSolverBits present;
    for (size_t t = 0; t < onBoard.size(); ++t) {
        if (onBoard[t])
            present.set(int(t));
    }
    tleSolverBoard::Position position = board.position(present);
    tleSolverRules::Analysis analysis;
    if (!rules.settle(position, tleSolverRules::Facts(size_t(classCount), 0), analysis, path))
        return answer(Answer::notWinnable);
    if (!position.onBoard.any())
        return answer(Answer::winnable);

    tleSolverDive dive(board, rules, budget);
    switch (dive.run(position, board.work() + diveWork)) {
    case tleSolverDive::Outcome::won:
        return answer(Answer::winnable, dive.order());
    case tleSolverDive::Outcome::lost:
        return answer(Answer::notWinnable);
    case tleSolverDive::Outcome::stopped:
        return answer(Answer::unknown);
    case tleSolverDive::Outcome::outOfWork:
        break;
    }

    tleSolverWalk walk(board);
    walk.start(position, analysis);
    uint64_t turn = firstTurn;
    if (walk.walk(board.work() + turn))
        return answer(Answer::winnable, walk.order());
    uint64_t nextTurn = board.work() + turn;
    const auto walkTurn = [&] {
        if (board.work() < nextTurn)
            return false;
        if (walk.walk(board.work() + turn))
            return true;
        turn *= 2;
        nextTurn = board.work() + turn;
        return false;
    };
    tleSolverPairingSearch search(board, rules, budget, walkTurn,
                                  [&walk](int cls) { return walk.pairingOf(cls); });
    switch (search.run(position, rules.knowledgeOf(analysis))) {
    case tleSolverPairingSearch::Outcome::won:
        return answer(Answer::winnable, search.order());
    case tleSolverPairingSearch::Outcome::interrupted:
        return answer(Answer::winnable, walk.order());
    case tleSolverPairingSearch::Outcome::lost:
        return answer(Answer::notWinnable);
    case tleSolverPairingSearch::Outcome::stopped:
        break;
    }
    return answer(Answer::unknown);
}
