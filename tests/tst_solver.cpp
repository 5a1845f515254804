#include "tlLayoutLocator.h"
#include "tlTestEnvironment.h"
#include "tlTestLayouts.h"
#include "tleBoard.h"
#include "tleGameEngine.h"
#include "tleSolver.h"
#include "tleSolverBudget.h"
#include "tleSolverDive.h"
#include "tleSolverPairingSearch.h"
#include "tleSolverWalk.h"
#include "tleTileKinds.h"

#include <QCoreApplication>
#include <limits>
#include <random>
#include <unordered_set>

Q_DECLARE_METATYPE(tlTilePosition)
Q_DECLARE_METATYPE(std::vector<uint32_t>)

namespace {

using Answer = tleSolver::Answer;
using Kinds = std::vector<uint32_t>;

// Turtle deals (the seeds of `tilvane-cli deal`) that need a search to be decided.
const uint32_t winnableAfterSearch = 21;
const uint32_t lostAfterSearch = 294;

// A board with kinds of the test's choosing.
struct TestBoard
{
    std::vector<tleTile> records;
    std::vector<tleTile *> pointers;
    tleBoard board;
};

// Whether the board can be cleared, by trying every removable pair in turn: slow and
// plain, with nothing of the solver's reasoning.
bool clearable(tleBoard &board, std::unordered_set<std::string> &lost)
{
    if (board.tilesLeft() == 0)
        return true;
    std::string key;
    for (const tleTile *tile : board.tiles())
        key += char(tile->state);
    if (lost.count(key))
        return false;
    tleTilePairList pairs;
    board.possiblePairs(pairs);
    for (const tleTilePair &pair : pairs) {
        board.removeTile(pair.first);
        board.removeTile(pair.second);
        const bool won = clearable(board, lost);
        board.restoreTile(pair.second);
        board.restoreTile(pair.first);
        if (won)
            return true;
    }
    lost.insert(key);
    return false;
}

bool clearable(tleBoard &board)
{
    std::unordered_set<std::string> lost;
    return clearable(board, lost);
}

// Whether `order` clears the board by the board's own rule; the board is left as it was.
bool replays(tleBoard &board, const tleTilePairList &order)
{
    tleTilePairList taken;
    bool legal = true;
    for (const tleTilePair &pair : order) {
        legal = pair.first != pair.second && board.isFree(pair.first) && board.isFree(pair.second)
            && tilesMatch(pair.first, pair.second);
        if (!legal)
            break;
        board.removeTile(pair.first);
        board.removeTile(pair.second);
        taken.push_back(pair);
    }
    const bool cleared = legal && board.tilesLeft() == 0;
    for (auto pair = taken.rbegin(); pair != taken.rend(); ++pair) {
        board.restoreTile(pair->second);
        board.restoreTile(pair->first);
    }
    return cleared;
}

// Kinds for `count` tiles in classes of two and four, shuffled; now and then the four
// seasons make one class.
std::vector<uint32_t> randomKinds(std::mt19937 &random, int count)
{
    std::vector<uint32_t> kinds;
    uint32_t kind = 0;
    bool seasonsUsed = false;
    while (int(kinds.size()) < count) {
        const int left = count - int(kinds.size());
        if (left >= 4 && !seasonsUsed && random() % 5 == 0) {
            for (uint32_t season = tle::firstSeason; season <= tle::lastSeason; ++season)
                kinds.push_back(season);
            seasonsUsed = true;
            continue;
        }
        const int size = left >= 4 && random() % 5 != 0 ? 4 : 2;
        kinds.insert(kinds.end(), size_t(size), kind++);
    }
    std::shuffle(kinds.begin(), kinds.end(), random);
    return kinds;
}

// `count` distinct places, most on the lowest layer in rows that touch, some shifted by
// half a tile, some stacked.
QVector<tlTilePosition> randomPlaces(std::mt19937 &random, int count)
{
    const int columns = 4, rows = 2, layers = 4;
    QVector<tlTilePosition> places;
    while (places.size() < count) {
        const tlTilePosition place{1 + (random() % 2 == 0 ? int(random() % layers) : 0),
                                   int(random() % columns) * 2 + (random() % 4 == 0 ? 1 : 0),
                                   int(random() % rows) * 2 + (random() % 4 == 0 ? 1 : 0)};
        const bool taken = std::any_of(places.begin(), places.end(), [&](const tlTilePosition &p) {
            return p.layer == place.layer && p.x == place.x && p.y == place.y;
        });
        if (!taken)
            places.append(place);
    }
    return places;
}

// One of the solver's searches run alone on a settled position, as the solver runs them.
struct SearchRun
{
    bool decided = false;
    bool won = false;
    tleTilePairList order;
};

}

class SolverTest : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithExhaustiveSearch();
    void eachSearchAgreesAlone();
    void rulesDecideDeadEnds_data();
    void rulesDecideDeadEnds();
    void rulesMakeSafeMoves_data();
    void rulesMakeSafeMoves();
    void probingRulesOutPairings();
    void decidesTurtleDeals();
    void earlierPositionsOfAGame();
    void limitsAndCancel();
    void largeClassesAreLeftUndecided();

private:
    bool build(TestBoard &small, const QVector<tlTilePosition> &places,
               const std::vector<uint32_t> &kinds);
    void randomPosition(std::mt19937 &random, TestBoard &small);
    void lateTurtlePosition(std::mt19937 &random, uint32_t seed, TestBoard &small);
    void dealTurtle(tleGameEngine &engine, uint32_t seed);
    QTemporaryDir dir;
};

bool SolverTest::build(TestBoard &small, const QVector<tlTilePosition> &places,
                       const std::vector<uint32_t> &kinds)
{
    small.records.assign(size_t(places.size()), tleTile());
    for (size_t i = 0; i < small.records.size(); ++i) {
        small.records[i].type = kinds[i];
        small.pointers.push_back(&small.records[i]);
    }
    const QString layout = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("small"), places);
    return small.board.init(layout, small.pointers);
}

// 8 to 24 tiles, half of the time some moves into a game.
void SolverTest::randomPosition(std::mt19937 &random, TestBoard &small)
{
    const int fewest = 8, most = 24, mostMoves = 4;
    const int count = fewest + 2 * int(random() % ((most - fewest) / 2 + 1));
    QVERIFY(build(small, randomPlaces(random, count), randomKinds(random, count)));
    for (int moves = random() % 2 ? int(random() % mostMoves) : 0; moves > 0; --moves) {
        tleTilePairList pairs;
        if (small.board.possiblePairs(pairs) == 0)
            break;
        const tleTilePair pair = pairs[random() % pairs.size()];
        small.board.removeTile(pair.first);
        small.board.removeTile(pair.second);
    }
}

void SolverTest::dealTurtle(tleGameEngine &engine, uint32_t seed)
{
    QVERIFY(engine.init(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)));
    engine.seed(seed);
    engine.shuffleTiles();
}

void SolverTest::agreesWithExhaustiveSearch()
{
    const int positions = 600;
    std::mt19937 random(2024);
    int winnable = 0;
    for (int i = 0; i < positions; ++i) {
        TestBoard small;
        randomPosition(random, small);
        const bool expected = clearable(small.board);
        const tleSolver::Result result = tleSolver(small.board).solve({});
        QCOMPARE(result.answer, expected ? Answer::winnable : Answer::notWinnable);
        QVERIFY(!expected || replays(small.board, result.order));
        winnable += expected ? 1 : 0;
    }
    // Both answers are well represented.
    QVERIFY(winnable > positions / 5 && winnable < positions * 4 / 5);
}

// A Turtle game some way along a winning order and then off it at random, copied to a
// board of its own: late positions with choices left, won and lost alike.
void SolverTest::lateTurtlePosition(std::mt19937 &random, uint32_t seed, TestBoard &small)
{
    const int left = 72, detour = 4;
    tleGameEngine engine;
    dealTurtle(engine, seed);
    const tleSolver::Result plan = tleSolver(*engine.board()).solve({});
    for (const tleTilePair &pair : plan.order) {
        if (engine.tilesLeft() <= left + 2 * detour)
            break;
        engine.removePair(pair.first, pair.second);
    }
    for (tleTilePairList pairs; engine.tilesLeft() > left && engine.board()->possiblePairs(pairs) > 0;) {
        const tleTilePair pair = pairs[random() % pairs.size()];
        engine.removePair(pair.first, pair.second);
    }
    QVector<tlTilePosition> places;
    Kinds kinds;
    for (const tleTile *tile : engine.tiles()) {
        places.append({tile->layer + 1, tile->x, tile->y});
        kinds.push_back(tile->type);
    }
    QVERIFY(build(small, places, kinds));
    for (size_t i = 0; i < small.pointers.size(); ++i) {
        if (engine.tiles()[i]->state == 0)
            small.board.removeTile(small.pointers[i]);
    }
}

// The solver decides most positions in its first search; here every search must decide
// every position (or, for the walk, find every win it claims) by itself.
void SolverTest::eachSearchAgreesAlone()
{
    const int positions = 80, fewestOfEach = 8;
    const uint32_t firstSeed = 5000;
    const uint64_t unlimited = std::numeric_limits<uint64_t>::max();
    std::mt19937 random(7);
    int walkWins = 0, wins = 0, losses = 0;
    for (int i = 0; i < positions; ++i) {
        TestBoard small;
        lateTurtlePosition(random, firstSeed + uint32_t(i), small);
        const bool expected = clearable(small.board);
        std::vector<tleSolverTile> tiles;
        const tleSolverBoard board(tiles, tleSolverBoard::tilesOf(small.board, tiles));
        const tleSolverRules rules(board);
        tleSolverBits present;
        for (size_t t = 0; t < small.pointers.size(); ++t) {
            if (small.pointers[t]->state == 1)
                present.set(int(t));
        }
        tleSolverBoard::Position position = board.position(present);
        tleSolverRules::Analysis analysis;
        std::vector<tleSolverPair> settled;
        const bool open = rules.settle(position, tleSolverRules::Facts(size_t(board.classCount()), 0),
                                       analysis, settled);
        if (!open || !position.onBoard.any()) {
            QCOMPARE(open, expected);
            continue;
        }
        const auto pairs = [&](const std::vector<tleSolverPair> &moves) {
            tleTilePairList order;
            for (const std::vector<tleSolverPair> *part : {&std::as_const(settled), &moves}) {
                for (const tleSolverPair &move : *part)
                    order.emplace_back(small.pointers[size_t(move.a)], small.pointers[size_t(move.b)]);
            }
            return order;
        };
        tleSolverBudget budget(unlimited, 0, nullptr, [] { return qint64(0); });

        tleSolverDive dive(board, rules, budget);
        const tleSolverDive::Outcome dived = dive.run(position, unlimited);
        QCOMPARE(dived, expected ? tleSolverDive::Outcome::won : tleSolverDive::Outcome::lost);
        QVERIFY(!expected || replays(small.board, pairs(dive.order())));

        // The pairing search tries first what a short walk chose, as in the solver, and
        // then, to be led astray, always the last pairing.
        tleSolverWalk walk(board);
        walk.start(position, analysis);
        const bool walked = walk.walk(board.work() + 2000);
        const int lastPairing = int(tleSolverRules::pairings.size()) - 1;
        for (const tleSolverPairingSearch::Preference &preference :
             {tleSolverPairingSearch::Preference([&walk](int cls) { return walk.pairingOf(cls); }),
              tleSolverPairingSearch::Preference([lastPairing](int) { return lastPairing; })}) {
            tleSolverPairingSearch search(board, rules, budget, [] { return false; }, preference);
            const tleSolverPairingSearch::Outcome searched = search.run(position, rules.knowledgeOf(analysis));
            QCOMPARE(searched, expected ? tleSolverPairingSearch::Outcome::won : tleSolverPairingSearch::Outcome::lost);
            QVERIFY(!expected || replays(small.board, pairs(search.order())));
        }

        if (walked || walk.walk(board.work() + 200000)) {
            QVERIFY(expected && replays(small.board, pairs(walk.order())));
            ++walkWins;
        }
        wins += expected ? 1 : 0;
        losses += expected ? 0 : 1;
    }
    // Both answers needed searching; the walk cannot show a loss but finds most wins.
    QVERIFY2(wins >= fewestOfEach && losses >= fewestOfEach,
             qPrintable(QStringLiteral("%1 won, %2 lost").arg(wins).arg(losses)));
    QVERIFY(walkWins >= wins * 9 / 10);
}

// Positions the rules alone decide lost, before any search.
void SolverTest::rulesDecideDeadEnds_data()
{
    QTest::addColumn<QVector<tlTilePosition>>("places");
    QTest::addColumn<Kinds>("kinds");
    const uint32_t a = 0, b = 1, c = 2, spring = tle::firstSeason;
    // Three of a kind in one stack: whatever the pairing, one pair lies in the stack.
    QTest::newRow("three in a stack") << QVector<tlTilePosition>{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {1, 6, 0}}
                                      << Kinds{a, a, a, a};
    QTest::newRow("three seasons in a stack")
        << QVector<tlTilePosition>{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {1, 6, 0}}
        << Kinds{spring, spring + 1, spring + 2, spring + 3};
    QTest::newRow("last two stacked") << QVector<tlTilePosition>{{1, 0, 0}, {2, 0, 0}, {1, 6, 0}, {1, 10, 0}}
                                      << Kinds{a, a, b, b};
    QTest::newRow("odd class") << QVector<tlTilePosition>{{1, 0, 0}, {1, 4, 0}, {1, 8, 0}, {1, 12, 0}}
                               << Kinds{a, a, a, b};
    // a over b in one stack, b over a in another: each pair waits for the other.
    QTest::newRow("crossed stacks") << QVector<tlTilePosition>{{1, 0, 0}, {2, 0, 0}, {1, 6, 0}, {2, 6, 0}}
                                    << Kinds{b, a, a, b};
    // One row a b a b: the row goes from its ends, which never hold a pair.
    QTest::newRow("crossed in a row") << QVector<tlTilePosition>{{1, 0, 0}, {1, 2, 0}, {1, 4, 0}, {1, 6, 0}}
                                      << Kinds{a, b, a, b};
    // Crossed through a third kind: a over c, c's partner under b, b's partner over a.
    QTest::newRow("crossed through three")
        << QVector<tlTilePosition>{{1, 0, 0}, {2, 0, 0}, {1, 6, 0}, {2, 6, 0}, {1, 12, 0}, {2, 12, 0}}
        << Kinds{c, a, b, c, a, b};
}

void SolverTest::rulesDecideDeadEnds()
{
    QFETCH(QVector<tlTilePosition>, places);
    QFETCH(Kinds, kinds);
    TestBoard small;
    QVERIFY(build(small, places, kinds));
    QVERIFY(!clearable(small.board));
    const tleSolver::Result result = tleSolver(small.board).solve({});
    QCOMPARE(result.answer, Answer::notWinnable);
    QCOMPARE(result.nodes, quint64(0));
}

// Positions the safe moves clear by themselves, with no choice left to search.
void SolverTest::rulesMakeSafeMoves_data()
{
    QTest::addColumn<QVector<tlTilePosition>>("places");
    QTest::addColumn<Kinds>("kinds");
    const uint32_t a = 0, x = 1;
    QTest::newRow("four free") << QVector<tlTilePosition>{{1, 0, 0}, {1, 4, 0}, {1, 8, 0}, {1, 12, 0}}
                               << Kinds{a, a, a, a};
    // Three a free; the fourth under x, whose partner lies under the first a. Leaving
    // either of the a that block nothing is best; then x, then the last pair, follow.
    QTest::newRow("three free, one best to keep")
        << QVector<tlTilePosition>{{2, 0, 0}, {1, 0, 0}, {1, 4, 0}, {1, 8, 0}, {1, 12, 0}, {2, 12, 0}}
        << Kinds{a, x, a, a, a, x};
    // Of a's pairings only one leaves no pair in a stack; its free pair goes first.
    QTest::newRow("one possible pairing")
        << QVector<tlTilePosition>{{1, 0, 0}, {2, 0, 0}, {1, 6, 0}, {2, 6, 0}}
        << Kinds{a, a, a, a};
}

void SolverTest::rulesMakeSafeMoves()
{
    QFETCH(QVector<tlTilePosition>, places);
    QFETCH(Kinds, kinds);
    TestBoard small;
    QVERIFY(build(small, places, kinds));
    const tleSolver::Result result = tleSolver(small.board).solve({});
    QCOMPARE(result.answer, Answer::winnable);
    QCOMPARE(result.nodes, quint64(0));
    QVERIFY(replays(small.board, result.order));
}

// a1 lies on x2 and x1 on a4, so a1 and a4 can never be free at once: x1 must go
// before a4, x2 with it, and a1 before x2. Only the relaxed game shows it.
void SolverTest::probingRulesOutPairings()
{
    const uint32_t a = 0, x = 1, z = 2;
    TestBoard small;
    QVERIFY(build(small,
                  {{2, 0, 0}, {1, 0, 0}, {2, 6, 0}, {1, 6, 0}, {1, 12, 0}, {2, 12, 0}, {1, 18, 0}, {2, 18, 0}},
                  {a, x, x, a, a, z, a, z}));
    std::vector<tleSolverTile> tiles;
    const tleSolverBoard board(tiles, tleSolverBoard::tilesOf(small.board, tiles));
    const tleSolverRules rules(board);
    tleSolverBits all;
    for (int t = 0; t < board.tileCount(); ++t)
        all.set(t);
    const tleSolverBoard::Position position = board.position(all);
    tleSolverRules::Analysis analysis;
    rules.analyse(position, tleSolverRules::Facts(size_t(board.classCount()), 0), analysis);
    QCOMPARE(analysis.open.size(), size_t(1));
    const uint8_t all3 = 0b111;
    QCOMPARE(analysis.open.front().second, all3);

    tleSolverRules::Knowledge knowledge = rules.knowledgeOf(analysis);
    int wipedOut = -1;
    QVERIFY(rules.propagate(position, knowledge, wipedOut));
    // a's members in tile order: a1 (0), a4 (1), two more (2, 3); the pairing of a1 with
    // a4 is the first.
    const uint8_t withoutFirst = 0b110;
    QCOMPARE(knowledge.open.front().second, withoutFirst);
}

void SolverTest::decidesTurtleDeals()
{
    for (const uint32_t seed : {winnableAfterSearch, lostAfterSearch}) {
        tleGameEngine engine;
        dealTurtle(engine, seed);
        const tleSolver::Result result = tleSolver(*engine.board()).solve({});
        QVERIFY(result.nodes > 0);
        QCOMPARE(result.answer, seed == winnableAfterSearch ? Answer::winnable : Answer::notWinnable);
        for (const tleTilePair &pair : result.order)
            QVERIFY(engine.removePair(pair.first, pair.second));
        QCOMPARE(engine.tilesLeft(), seed == winnableAfterSearch ? 0 : tle::setSize);
        if (seed != winnableAfterSearch)
            continue;
        // The solver's own replay refuses an order that is short or out of turn.
        engine.resetGame();
        const tleSolver solver(*engine.board());
        QVERIFY(solver.clears(result.order));
        QVERIFY(!solver.clears(tleTilePairList(result.order.begin(), result.order.end() - 1)));
        QVERIFY(!solver.clears(tleTilePairList(result.order.rbegin(), result.order.rend())));
    }
    // A deal made to be winnable is found so, and the solver leaves the game alone.
    tleGameEngine engine;
    dealTurtle(engine, lostAfterSearch);
    QVERIFY(engine.arrangeTiles());
    const tleSolver::Result result = tleSolver(*engine.board()).solve({});
    QCOMPARE(result.answer, Answer::winnable);
    QCOMPARE(engine.tilesLeft(), tle::setSize);
}

// Halfway through a won game the rest is still winnable, and putting the moves back
// gives the deal's answer again.
void SolverTest::earlierPositionsOfAGame()
{
    tleGameEngine engine;
    dealTurtle(engine, winnableAfterSearch);
    const tleSolver::Result whole = tleSolver(*engine.board()).solve({});
    QCOMPARE(whole.answer, Answer::winnable);
    const size_t halfway = whole.order.size() / 2;
    for (size_t i = 0; i < halfway; ++i)
        QVERIFY(engine.removePair(whole.order[i].first, whole.order[i].second));
    const tleSolver later(*engine.board());
    const tleSolver::Result rest = later.solve({});
    QCOMPARE(rest.answer, Answer::winnable);
    QVERIFY(later.clears(rest.order));

    tleSolver earlier(*engine.board());
    for (const tleTilePair &pair : engine.history())
        earlier.putBack(pair);
    const tleSolver::Result again = earlier.solve({});
    QCOMPARE(again.answer, Answer::winnable);
    QVERIFY(earlier.clears(again.order));
    QVERIFY(!later.clears(again.order));
}

void SolverTest::limitsAndCancel()
{
    tleGameEngine engine;
    dealTurtle(engine, lostAfterSearch);
    const tleSolver solver(*engine.board());

    const tleSolver::Result full = solver.solve({});
    QCOMPARE(full.answer, Answer::notWinnable);
    tleSolver::Limits fewer;
    fewer.nodes = full.nodes - 1;
    const tleSolver::Result cut = solver.solve(fewer);
    QCOMPARE(cut.answer, Answer::unknown);
    QVERIFY(cut.order.empty());

    // A clock that moves on a second every time it is read runs out at once.
    qint64 seconds = 0;
    const tleSolver::Clock clock = [&seconds] { return 1000 * seconds++; };
    tleSolver::Limits shortTime;
    shortTime.milliseconds = 500;
    QCOMPARE(solver.solve(shortTime, nullptr, clock).answer, Answer::unknown);

    const std::atomic<bool> cancelled{true};
    const tleSolver::Result stopped = solver.solve({}, &cancelled);
    QCOMPARE(stopped.answer, Answer::unknown);
    QVERIFY(stopped.nodes < full.nodes);
}

void SolverTest::largeClassesAreLeftUndecided()
{
    TestBoard small;
    QVERIFY(build(small, {{1, 0, 0}, {1, 4, 0}, {1, 8, 0}, {1, 12, 0}, {1, 16, 0}, {1, 20, 0}},
                  {0, 0, 0, 0, 0, 0}));
    QCOMPARE(tleSolver(small.board).solve({}).answer, Answer::unknown);
}

TILVANE_TEST_MAIN(SolverTest, QCoreApplication)
#include "tst_solver.moc"
