#include "tlLayoutLocator.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestGames.h"
#include "tlTestLayouts.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <bitset>
#include <map>
#include <unordered_set>

namespace {

QString turtle()
{
    return tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0);
}

std::map<uint32_t, int> kindCounts(const tleGameEngine &engine)
{
    std::map<uint32_t, int> counts;
    for (const tleTile *tile : engine.tiles())
        ++counts[tile->type];
    return counts;
}

// Whether some order of removals clears the board: a depth-first search that never
// visits the same set of remaining tiles twice.
class ClearingSearch
{
public:
    explicit ClearingSearch(tleGameEngine &game) : engine(game) {}

    bool run()
    {
        if (engine.tilesLeft() == 0)
            return true;
        if (!seen.insert(remaining()).second || ++visits > maxVisits)
            return false;
        tleTilePairList pairs;
        engine.board()->possiblePairs(pairs);
        for (const tleTilePair &pair : pairs) {
            engine.removePair(pair.first, pair.second);
            const bool cleared = run();
            engine.undo();
            if (cleared)
                return true;
        }
        return false;
    }

private:
    static constexpr int maxVisits = 200000;

    std::string remaining() const
    {
        std::bitset<tle::setSize> bits;
        for (size_t i = 0; i < engine.tiles().size(); ++i)
            bits[i] = engine.tiles()[i]->state == 1;
        return bits.to_string();
    }

    tleGameEngine &engine;
    std::unordered_set<std::string> seen;
    int visits = 0;
};

class CancelAfterFirst : public tleSearchProgress
{
public:
    void iterationDone(int iteration) override { reported.push_back(iteration); }
    bool wasCanceled() const override { return true; }
    std::vector<int> reported;
};

}

class GameEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void initGivesDefaultKinds();
    void initFailureIsReported();
    void shuffleKeepsTheSetAndFollowsTheSeed();
    void removePairChecksEverything();
    void undoAndReset();
    void arrangedDealsAreSolvable();
    void arrangeGivesUpAndKeepsTheDeal();
    void solveFindsAndReports();
    void solveReportsBestAndStopsWhenCancelled();

private:
    QTemporaryDir dir;
};

void GameEngineTest::initGivesDefaultKinds()
{
    tleGameEngine engine;
    QVERIFY(engine.init(turtle()));
    QCOMPARE(engine.tiles().size(), size_t(144));
    QCOMPARE(engine.tiles()[0]->type, 0u);
    QCOMPARE(engine.tiles()[33]->type, 33u);
    QCOMPARE(engine.tiles()[34]->type, 0u);
    QCOMPARE(engine.tiles()[136]->type, 34u);
    QCOMPARE(engine.tiles()[143]->type, 41u);
    QCOMPARE(engine.tilesLeft(), 144);
    QVERIFY(engine.history().empty());
    std::map<uint32_t, int> expected;
    for (uint32_t kind = 0; kind < 42; ++kind)
        expected[kind] = kind < 34 ? 4 : 1;
    QCOMPARE(kindCounts(engine), expected);
}

void GameEngineTest::initFailureIsReported()
{
    tleGameEngine engine;
    const QString small = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("small"), {{1, 0, 0}});
    tlStdoutCapture capture;
    QVERIFY(!engine.init(small));
    QVERIFY(capture.text().endsWith(
        QStringLiteral("tleGameEngine::init(): The game engine could not be be initialized. \n"
                       "                       This is possibly due to an invalid layout file.\n")));
    QVERIFY(engine.isGameOver());
    QVERIFY(!engine.removePair(engine.tiles()[0], engine.tiles()[34]));
    int best = -1;
    unsigned iterations = 9;
    engine.solve(best, iterations, 10, nullptr);
    QCOMPARE(best, 0);
    QCOMPARE(iterations, 0u);

    // Neither this engine nor one never initialised deals or plays, nor crashes trying.
    tleGameEngine never;
    for (tleGameEngine *idle : {&engine, &never}) {
        const auto kinds = kindsOf(*idle);
        idle->shuffleTiles();
        QVERIFY(!idle->arrangeTiles());
        QCOMPARE(kindsOf(*idle), kinds);
        idle->solve(best, iterations, 10, nullptr);
        QCOMPARE(iterations, 0u);
    }
}

void GameEngineTest::shuffleKeepsTheSetAndFollowsTheSeed()
{
    tleGameEngine first, second;
    QVERIFY(first.init(turtle()));
    QVERIFY(second.init(turtle()));
    const auto fullSet = kindCounts(first);
    first.seed(42);
    second.seed(42);
    first.shuffleTiles();
    second.shuffleTiles();
    QCOMPARE(kindCounts(first), fullSet);
    QCOMPARE(kindsOf(first), kindsOf(second));

    // Successive deals continue one sequence; another seed gives another deal.
    const auto dealt = kindsOf(first);
    first.shuffleTiles();
    QVERIFY(kindsOf(first) != dealt);
    second.seed(43);
    QVERIFY(second.init(turtle()));
    second.shuffleTiles();
    QVERIFY(kindsOf(second) != dealt);

    // The draws are the rejection rule's: a shuffle of the default kinds with seed 42
    // done step by step here gives the same deal.
    std::mt19937 rng(42);
    const auto uniform = [&rng](uint32_t n) {
        if (n == 1)
            return 0u;
        uint32_t v = rng();
        if ((uint64_t(1) << 32) % n != 0) {
            while (v / n >= 0xFFFFFFFFu / n)
                v = rng();
        }
        return v % n;
    };
    tleGameEngine fresh;
    QVERIFY(fresh.init(turtle()));
    std::vector<uint32_t> expected = kindsOf(fresh);
    for (size_t i = 1; i < expected.size(); ++i)
        std::swap(expected[i], expected[uniform(uint32_t(i + 1))]);
    QCOMPARE(dealt, expected);
}

void GameEngineTest::removePairChecksEverything()
{
    tleGameEngine engine;
    QVERIFY(engine.init(tlTestLayouts::write(QDir(dir.path()), QStringLiteral("scattered"),
                                             tlTestLayouts::scattered())));
    const auto &tiles = engine.tiles();
    // Default kinds: tile 136 is Spring (34), 138 is Fall... 136 + 2 = Fall (36).
    QVERIFY(engine.removePair(tiles[136], tiles[138]));
    QCOMPARE(engine.history().back(), tleTilePair(tiles[136], tiles[138]));
    QVERIFY(!engine.removePair(tiles[136], tiles[137]));  // already removed
    QVERIFY(!engine.removePair(tiles[0], tiles[1]));      // kinds 0 and 1
    QVERIFY(!engine.removePair(tiles[0], tiles[0]));      // one tile is no pair
    QVERIFY(!engine.removePair(tiles[0], nullptr));
    QCOMPARE(engine.tilesLeft(), 142);

    // On the turtle a free tile and a covered tile of the same kind do not pair.
    tleGameEngine game;
    QVERIFY(game.init(turtle()));
    tleTile *top = game.tiles().back();
    tleTile *covered = nullptr;
    for (tleTile *tile : game.tiles()) {
        if (tile != top && tilesMatch(tile, top) && !game.board()->isFree(tile))
            covered = tile;
    }
    QVERIFY(game.board()->isFree(top));
    QVERIFY(covered);
    QVERIFY(!game.removePair(top, covered));
    QCOMPARE(game.tilesLeft(), 144);
    QVERIFY(game.history().empty());
}

void GameEngineTest::undoAndReset()
{
    tleGameEngine engine;
    engine.seed(5);
    QVERIFY(engine.init(turtle()));
    engine.shuffleTiles();
    const auto deal = kindsOf(engine);
    QCOMPARE(engine.undo(), tleTilePair(nullptr, nullptr));
    tleTilePairList played;
    for (int i = 0; i < 3; ++i) {
        tleTilePairList pairs;
        QVERIFY(engine.board()->possiblePairs(pairs) > 0);
        QVERIFY(engine.removePair(pairs[0].first, pairs[0].second));
        played.push_back(pairs[0]);
    }
    QCOMPARE(engine.history(), played);
    QCOMPARE(engine.undo(), played[2]);
    QCOMPARE(engine.lastUndonePair(), played[2]);
    QCOMPARE(played[2].first->state, 1);
    QCOMPARE(engine.undo(), played[1]);
    QCOMPARE(engine.undo(), played[0]);
    QCOMPARE(engine.undo(), tleTilePair(nullptr, nullptr));
    QCOMPARE(engine.lastUndonePair(), played[0]);  // an empty history changes nothing

    engine.removePair(played[0].first, played[0].second);
    engine.removePair(played[1].first, played[1].second);
    engine.resetGame();
    QCOMPARE(engine.tilesLeft(), 144);
    QVERIFY(engine.history().empty());
    QCOMPARE(engine.lastUndonePair(), tleTilePair(nullptr, nullptr));
    QCOMPARE(kindsOf(engine), deal);
}

void GameEngineTest::arrangedDealsAreSolvable()
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        tleGameEngine engine;
        engine.seed(seed);
        QVERIFY(engine.init(turtle()));
        const auto fullSet = kindCounts(engine);
        QVERIFY(engine.arrangeTiles());
        QVERIFY(engine.history().empty());
        QCOMPARE(engine.tilesLeft(), 144);
        QCOMPARE(kindCounts(engine), fullSet);
        QVERIFY2(ClearingSearch(engine).run(), qPrintable(QStringLiteral("seed %1").arg(seed)));
    }
}

void GameEngineTest::arrangeGivesUpAndKeepsTheDeal()
{
    tleGameEngine engine;
    engine.seed(3);
    QVERIFY(engine.init(tlTestLayouts::write(QDir(dir.path()), QStringLiteral("hopeless"),
                                             tlTestLayouts::hopeless())));
    engine.shuffleTiles();
    const auto deal = kindsOf(engine);
    tlStdoutCapture capture;
    QVERIFY(!engine.arrangeTiles());
    QCOMPARE(capture.text(), QStringLiteral("tleGameEngine::arrangeTiles(): cannot build a winnable game.\n"));
    QCOMPARE(kindsOf(engine), deal);
    QCOMPARE(engine.tilesLeft(), 144);
    QVERIFY(engine.history().empty());
}

void GameEngineTest::solveFindsAndReports()
{
    tleGameEngine engine;
    engine.seed(9);
    QVERIFY(engine.init(tlTestLayouts::write(QDir(dir.path()), QStringLiteral("scattered"),
                                             tlTestLayouts::scattered())));
    engine.shuffleTiles();
    const auto &tiles = engine.tiles();
    engine.removePair(tiles[0], tiles[34]);  // the player's own move is taken back
    int best = -1;
    unsigned iterations = 0;
    engine.solve(best, iterations, 100, nullptr);
    QCOMPARE(best, 0);
    QCOMPARE(iterations, 1u);
    QCOMPARE(engine.history().size(), size_t(72));

    const QString report = engine.solutionText();
    const QStringList lines = report.split(QLatin1Char('\n'));
    QVERIFY2(QRegularExpression(QStringLiteral("^Date: [A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}$"))
                 .match(lines[0]).hasMatch(),
             qPrintable(lines[0]));
    QCOMPARE(lines[1], QString());
    const tleTilePair first = engine.history().front();
    QCOMPARE(lines[2], QStringLiteral(" 1.") + QStringLiteral("%1").arg(QLatin1String(tle::plainKindNames[first.first->type]), 14)
                           + QStringLiteral(": layer=1, x=%1, y=%2").arg(first.first->x).arg(first.first->y));
    QCOMPARE(lines[3], QStringLiteral("%1").arg(QLatin1String(tle::plainKindNames[first.second->type]), 17)
                           + QStringLiteral(": layer=1, x=%1, y=%2").arg(first.second->x).arg(first.second->y));
    QCOMPARE(lines[4], QString());
    QVERIFY(lines[5].startsWith(QStringLiteral(" 2.")));
    QVERIFY(report.contains(QStringLiteral("\n 9.")));
    QVERIFY(report.contains(QStringLiteral("\n72.")));
    QCOMPARE(lines.size(), 2 + 72 * 3 + 1);

    // A pair of the classic form, with the second name ending under the first.
    engine.resetGame();
    for (tleTile *tile : engine.tiles())
        tile->type = 0;
    engine.removePair(tiles[0], tiles[1]);
    QVERIFY(engine.solutionText().endsWith(
        QStringLiteral(" 1.   Character 1: layer=1, x=0, y=0\n      Character 1: layer=1, x=4, y=0\n\n")));
}

void GameEngineTest::solveReportsBestAndStopsWhenCancelled()
{
    tleGameEngine engine;
    QVERIFY(engine.init(tlTestLayouts::write(QDir(dir.path()), QStringLiteral("hopeless"),
                                             tlTestLayouts::hopeless())));
    int best = 0;
    unsigned iterations = 0;
    engine.solve(best, iterations, 5, nullptr);
    QCOMPARE(iterations, 5u);
    QCOMPARE(best, 144);

    tleGameEngine turtleGame;
    turtleGame.seed(12);
    QVERIFY(turtleGame.init(turtle()));
    turtleGame.shuffleTiles();
    CancelAfterFirst cancel;
    turtleGame.solve(best, iterations, 100000, &cancel);
    QCOMPARE(iterations, 1u);
    QCOMPARE(cancel.reported, std::vector<int>{1});
    QCOMPARE(best, turtleGame.tilesLeft());
    QVERIFY(best % 2 == 0);
    turtleGame.solve(best, iterations, 1, nullptr);
    QCOMPARE(iterations, 1u);
    QCOMPARE(best, turtleGame.tilesLeft());
}

TILVANE_TEST_MAIN(GameEngineTest, QCoreApplication)
#include "tst_gameengine.moc"
