#include "tlcCommands.h"

#include "tlcCommandParser.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <limits>
#include <random>

namespace tlc {

namespace {

const quint32 defaultPlays = 100000;
const quint32 defaultSeed = 1;
const char defaultLayout[] = "Turtle";

// Random plays whose every position is timed: enough positions of every stage of a
// game for steady figures, few enough to take well under a second.
const int timedPlays = 100;
// One timer reading covers this many calls, so that reading the clock costs little
// beside them.
const int callsPerReading = 16;
// Random walks whose every position is compared; a step takes a pair back one time in
// `undoOneIn` so that restoring tiles is compared as well as removing them.
const int comparedWalks = 40;
const int stepsPerWalk = 100;
const unsigned undoOneIn = 4;

const double nanosecondsPerSecond = 1e9;
const double nanosecondsPerMillisecond = 1e6;

struct BenchSetup
{
    QString layoutPath;
    quint32 plays = defaultPlays;
    quint32 seed = defaultSeed;
};

// Removes a pair drawn at random from the removable ones; false when there is none.
bool removeRandomPair(tleGameEngine &engine, std::mt19937 &random)
{
    const tleBoard *board = engine.board();
    const unsigned count = board->pairCount();
    if (count == 0)
        return false;
    std::uniform_int_distribution<unsigned> index(0, count - 1);
    const tleTilePair pair = board->pairAt(index(random));
    return engine.removePair(pair.first, pair.second);
}

// A fresh deal on the engine's layout with nothing removed.
void redeal(tleGameEngine &engine)
{
    engine.resetGame();
    engine.shuffleTiles();
}

bool initEngine(tleGameEngine &engine, const BenchSetup &setup)
{
    if (!engine.init(setup.layoutPath)) {
        fail(QStringLiteral("cannot build a board from '%1'.").arg(setup.layoutPath));
        return false;
    }
    engine.seed(setup.seed);
    return true;
}

// The solution search as the game runs it. A search ends at the first play that
// clears the board, so it is searched on from there until all plays are made.
bool timeSearch(const BenchSetup &setup)
{
    tleGameEngine engine;
    if (!initEngine(engine, setup))
        return false;
    engine.shuffleTiles();
    unsigned played = 0;
    int clearing = 0;
    int fewestLeft = std::numeric_limits<int>::max();
    QElapsedTimer timer;
    timer.start();
    while (played < setup.plays) {
        int left = 0;
        unsigned done = 0;
        engine.solve(left, done, int(setup.plays - played), nullptr);
        if (done == 0) {
            fail(QStringLiteral("the search made no play."));
            return false;
        }
        played += done;
        clearing += left == 0 ? 1 : 0;
        fewestLeft = std::min(fewestLeft, left);
    }
    const double nanoseconds = double(timer.nsecsElapsed());

    out() << "random plays: " << played << Qt::endl;
    out() << "plays that cleared the board: " << clearing << Qt::endl;
    out() << "fewest tiles left: " << fewestLeft << Qt::endl;
    out() << "search time: " << QString::number(nanoseconds / nanosecondsPerMillisecond, 'f', 1)
          << " ms" << Qt::endl;
    out() << "plays per second: "
          << QString::number(played * nanosecondsPerSecond / nanoseconds, 'f', 0) << Qt::endl;
    return true;
}

struct CallTimes
{
    qint64 pickNanoseconds = 0;
    qint64 enumerationNanoseconds = 0;
    qint64 calls = 0;
    qint64 pairsSeen = 0;  // keeps the results in use
};

// Times one random pick (count, then the pair at a random index) against listing every
// removable pair, at the board's present position.
void timePosition(const tleBoard &board, std::mt19937 &random, tleTilePairList &list,
                  CallTimes &times)
{
    std::array<uint32_t, callsPerReading> draws;
    for (uint32_t &draw : draws)
        draw = uint32_t(random());

    QElapsedTimer timer;
    timer.start();
    for (uint32_t draw : draws) {
        const unsigned count = board.pairCount();
        times.pairsSeen += board.pairAt(draw % count).first != nullptr;
    }
    times.pickNanoseconds += timer.nsecsElapsed();

    timer.restart();
    for (int i = 0; i < callsPerReading; ++i)
        times.pairsSeen += board.possiblePairs(list);
    times.enumerationNanoseconds += timer.nsecsElapsed();
    times.calls += callsPerReading;
}

// What a random play pays per move for either way of choosing it.
bool timeMoveChoice(const BenchSetup &setup)
{
    tleGameEngine engine;
    if (!initEngine(engine, setup))
        return false;
    std::mt19937 random(setup.seed);
    tleTilePairList list;
    CallTimes times;
    for (int play = 0; play < timedPlays; ++play) {
        redeal(engine);
        while (engine.board()->pairCount() > 0) {
            timePosition(*engine.board(), random, list, times);
            // A pick the engine refuses is for the comparison to explain.
            if (!removeRandomPair(engine, random))
                break;
        }
    }
    const double calls = double(std::max<qint64>(times.calls, 1));
    out() << "positions timed: " << times.calls / callsPerReading << Qt::endl;
    out() << "pick (pairCount + pairAt): "
          << QString::number(double(times.pickNanoseconds) / calls, 'f', 1) << " ns per call"
          << Qt::endl;
    out() << "enumeration (possiblePairs): "
          << QString::number(double(times.enumerationNanoseconds) / calls, 'f', 1)
          << " ns per call" << Qt::endl;
    return true;
}

// The removable pairs found afresh: every tile tested for freedom, every two compared,
// in tile order.
tleTilePairList freshPairs(const tleBoard &board)
{
    std::vector<tleTile *> freeTiles;
    for (tleTile *tile : board.tiles()) {
        if (board.isFree(tile))
            freeTiles.push_back(tile);
    }
    tleTilePairList pairs;
    for (size_t i = 0; i < freeTiles.size(); ++i) {
        for (size_t j = i + 1; j < freeTiles.size(); ++j) {
            if (tilesMatch(freeTiles[i], freeTiles[j]))
                pairs.emplace_back(freeTiles[i], freeTiles[j]);
        }
    }
    return pairs;
}

// What differs between the three ways of finding the removable pairs; empty when
// they agree.
QString disagreement(const tleBoard &board, tleTilePairList &list)
{
    const unsigned count = board.pairCount();
    if (board.possiblePairs(list) != list.size() || list.size() != count) {
        return QStringLiteral("possiblePairs lists %1 pairs, pairCount counts %2")
            .arg(list.size())
            .arg(count);
    }
    if (list != freshPairs(board))
        return QStringLiteral("the listed pairs differ from those of testing every tile afresh");
    for (unsigned k = 0; k < count; ++k) {
        if (board.pairAt(k) != list[k])
            return QStringLiteral("pairAt(%1) differs from the listed pair %1").arg(k);
    }
    if (board.pairAt(count) != tleTilePair(nullptr, nullptr))
        return QStringLiteral("pairAt(%1) gives a pair past the last").arg(count);
    return QString();
}

// One step of a walk: mostly a random removal, now and then or at a dead end a pair
// taken back. False when neither is possible.
bool walkStep(tleGameEngine &engine, std::mt19937 &random)
{
    const bool takeBack = !engine.history().empty() && random() % undoOneIn == 0;
    if (!takeBack && removeRandomPair(engine, random))
        return true;
    return engine.undo().first != nullptr;
}

// Whether the quick pick and the full list agree, on random walks through games.
bool compareMoveChoice(const BenchSetup &setup)
{
    tleGameEngine engine;
    if (!initEngine(engine, setup))
        return false;
    std::mt19937 random(setup.seed);
    tleTilePairList list;
    int compared = 0;
    for (int walk = 0; walk < comparedWalks; ++walk) {
        redeal(engine);
        for (int step = 0; step < stepsPerWalk; ++step) {
            const QString difference = disagreement(*engine.board(), list);
            ++compared;
            if (!difference.isEmpty()) {
                out() << "pairAt and possiblePairs: disagree" << Qt::endl;
                fail(QStringLiteral("walk %1, step %2: %3.").arg(walk).arg(step).arg(difference));
                return false;
            }
            if (!walkStep(engine, random))
                break;
        }
    }
    out() << "positions compared: " << compared << Qt::endl;
    out() << "pairAt and possiblePairs: agree" << Qt::endl;
    return true;
}

}

int runBench(const QStringList &arguments)
{
    tlcCommandParser parser(
        QStringLiteral("bench"),
        QStringLiteral("Measures the engine on a seeded deal: the solution search's random plays, "
                       "one random pick of a move against listing all moves, and whether both "
                       "ways find the same moves. Exits 1 when they differ."));
    parser.addArgument(QStringLiteral("LAYOUT"),
                       layoutArgumentDescription()
                           + QStringLiteral(" Default: %1.").arg(QLatin1String(defaultLayout)),
                       true);
    const QCommandLineOption iterations(
        QStringLiteral("iterations"),
        QStringLiteral("Random plays of the search (default %1).").arg(defaultPlays),
        QStringLiteral("N"));
    const QCommandLineOption seed = seedOption(
        QStringLiteral("Seed of the deal and the plays (default %1).").arg(defaultSeed));
    parser.addOption(iterations);
    parser.addOption(seed);
    BenchSetup setup;
    if (!parser.parse(arguments)
        || !parser.readNumber(iterations, 1, largestPlayCount, setup.plays)
        || !parser.readNumber(seed, 0, largestSeed, setup.seed)) {
        return exitFailure;
    }
    const QString layout = parser.argument(0);
    setup.layoutPath = resolveLayout(layout.isEmpty() ? QLatin1String(defaultLayout) : layout);
    if (setup.layoutPath.isEmpty())
        return exitFailure;

    out() << "layout: " << setup.layoutPath << Qt::endl;
    out() << "seed: " << setup.seed << Qt::endl;
    const bool done = timeSearch(setup) && timeMoveChoice(setup) && compareMoveChoice(setup);
    return done ? exitSuccess : exitFailure;
}

}
