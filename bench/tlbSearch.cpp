// Times the solution search as the game runs it, under a real progress dialog, against
// the bare engine search on the same deal and seed, and checks that both made the same
// plays.
//
// tilvane-bench-search [--iterations N] [--seed N]

#include "tlCpuTimer.h"
#include "tlLayoutLocator.h"
#include "tlbHistoryFingerprint.h"
#include "tleGameEngine.h"
#include "tlgSearchProgress.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

namespace {

const int defaultPlays = 200000;
const quint32 defaultSeed = 1;
// A deal whose random plays leave many tiles: every search runs its full length.
const quint32 dealSeed = 19;

struct Run
{
    double playsPerSecond = 0;
    uint64_t fingerprint = 0;
};

// One search of at most `plays` plays on the fixed Turtle deal, reported to `progress`.
Run timeSearch(quint32 seed, int plays, tleSearchProgress *progress)
{
    tleGameEngine engine;
    engine.seed(dealSeed);
    if (!engine.init(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)))
        qFatal("cannot build the Turtle board");
    engine.shuffleTiles();
    engine.seed(seed);
    int tilesLeft = 0;
    unsigned iterations = 0;
    const tlCpuTimer timer;
    engine.solve(tilesLeft, iterations, plays, progress);
    Run run;
    run.playsPerSecond = iterations / timer.seconds();
    HistoryFingerprint fingerprint;
    fingerprint.add(int(iterations), tilesLeft, 0);
    for (const tleTilePair &pair : engine.history()) {
        fingerprint.add(pair.first);
        fingerprint.add(pair.second);
    }
    run.fingerprint = fingerprint.result();
    return run;
}

}

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times the in-game solution search against the bare engine search on one Turtle deal."));
    parser.addHelpOption();
    const QCommandLineOption playsOption(QStringLiteral("iterations"), QStringLiteral("Plays at most."),
                                         QStringLiteral("N"), QString::number(defaultPlays));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed of the plays."),
                                        QStringLiteral("N"), QString::number(defaultSeed));
    parser.addOptions({playsOption, seedOption});
    parser.process(app);
    bool playsOk = false, seedOk = false;
    const int plays = parser.value(playsOption).toInt(&playsOk);
    const quint32 seed = parser.value(seedOption).toUInt(&seedOk);
    if (!playsOk || plays < 1 || !seedOk) {
        std::fprintf(stderr, "tilvane-bench-search: --iterations takes a positive number, --seed a "
                             "non-negative one.\n");
        return EXIT_FAILURE;
    }

    // As the window runs it: an application-modal dialog that counts the plays.
    tlgSearchProgress progress(nullptr, plays);
    const Run inGame = timeSearch(seed, plays, &progress);
    const Run bare = timeSearch(seed, plays, nullptr);
    const bool identical = inGame.fingerprint == bare.fingerprint;
    std::printf("in-game search: %.0f plays/s, bare engine %.0f plays/s, ratio %.2f, %s\n",
                inGame.playsPerSecond, bare.playsPerSecond, inGame.playsPerSecond / bare.playsPerSecond,
                identical ? "identical" : "DIFFERENT");
    return identical ? EXIT_SUCCESS : EXIT_FAILURE;
}
