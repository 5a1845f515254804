// Times random plays on seeded deals through the engine and through the plain
// reference of tlbReferencePlay, and checks that both make the same plays.
//
// tilvane-bench-engine [--iterations N] [--seed N] [LAYOUT]

#include "tlCpuTimer.h"
#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlbHistoryFingerprint.h"
#include "tlbReferencePlay.h"
#include "tlcCommandParser.h"
#include "tleGameEngine.h"

#include <QCoreApplication>
#include <random>

namespace {

const quint32 defaultPlays = 20000;
const quint32 defaultSeed = 1;

struct Figures
{
    double playsPerSecond = 0;
    std::vector<uint64_t> fingerprints;  // one per play
};

// The plays as the solution search makes them: one search of one play at a time.
Figures engineRun(tleGameEngine &engine, quint32 plays, quint32 seed)
{
    Figures figures;
    figures.fingerprints.reserve(plays);
    engine.seed(seed);
    const tlCpuTimer timer;
    for (quint32 play = 0; play < plays; ++play) {
        int left = 0;
        unsigned done = 0;
        engine.solve(left, done, 1, nullptr);
        HistoryFingerprint fingerprint;
        for (const tleTilePair &pair : engine.history()) {
            fingerprint.add(pair.first);
            fingerprint.add(pair.second);
        }
        figures.fingerprints.push_back(fingerprint.result());
    }
    figures.playsPerSecond = plays / timer.seconds();
    engine.resetGame();
    return figures;
}

Figures referenceRun(const tleGameEngine &engine, quint32 plays, quint32 seed)
{
    const std::vector<tleTile *> &tiles = engine.tiles();
    tlbReferencePlay reference(tiles);
    std::mt19937 random(seed);
    Figures figures;
    figures.fingerprints.reserve(plays);
    const tlCpuTimer timer;
    for (quint32 play = 0; play < plays; ++play) {
        HistoryFingerprint fingerprint;
        for (const auto &pair : reference.play(random)) {
            fingerprint.add(tiles[size_t(pair.first)]);
            fingerprint.add(tiles[size_t(pair.second)]);
        }
        figures.fingerprints.push_back(fingerprint.result());
    }
    figures.playsPerSecond = plays / timer.seconds();
    return figures;
}

// One line per layout: both ways timed on the same seeded deal and the same draws.
bool benchLayout(const QString &name, quint32 plays, quint32 seed)
{
    const QString path = tlc::resolveLayout(name);
    tleGameEngine engine;
    if (path.isEmpty() || !engine.init(path)) {
        tlc::fail(QStringLiteral("cannot build a board for '%1'.").arg(name));
        return false;
    }
    engine.seed(seed);
    engine.shuffleTiles();
    const Figures quick = engineRun(engine, plays, seed);
    const Figures plain = referenceRun(engine, plays, seed);
    const bool identical = quick.fingerprints == plain.fingerprints;
    tlc::out() << QStringLiteral("%1: engine %2 plays/s, reference %3 plays/s, ratio %4, %5")
                      .arg(engine.board()->layout()->name())
                      .arg(quick.playsPerSecond, 0, 'f', 0)
                      .arg(plain.playsPerSecond, 0, 'f', 0)
                      .arg(quick.playsPerSecond / plain.playsPerSecond, 0, 'f', 1)
                      .arg(identical ? QStringLiteral("identical") : QStringLiteral("DIFFERENT"))
               << Qt::endl;
    return identical;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tilvane-bench-engine"));

    tlcCommandParser parser(
        QString(),
        QStringLiteral("Times random plays on a seeded deal of each layout, through the engine "
                       "and through a plain reference that tests every tile afresh before each "
                       "move, and checks that both make the same plays. Exits 1 when they differ."));
    parser.addArgument(QStringLiteral("LAYOUT"),
                       tlc::layoutArgumentDescription()
                           + QStringLiteral(" Default: every built-in layout."),
                       true);
    const QCommandLineOption iterations(
        QStringLiteral("iterations"),
        QStringLiteral("Random plays per layout (default %1).").arg(defaultPlays),
        QStringLiteral("N"));
    const QCommandLineOption seed = tlc::seedOption(
        QStringLiteral("Seed of the deals and the plays (default %1).").arg(defaultSeed));
    parser.addOption(iterations);
    parser.addOption(seed);
    quint32 plays = defaultPlays;
    quint32 seedValue = defaultSeed;
    if (!parser.parse(QCoreApplication::arguments())
        || !parser.readNumber(iterations, 1, tlc::largestPlayCount, plays)
        || !parser.readNumber(seed, 0, tlc::largestSeed, seedValue)) {
        return tlc::exitFailure;
    }
    const QString chosen = parser.argument(0);
    const QStringList layouts = chosen.isEmpty() ? tlSettings::builtInLayouts() : QStringList{chosen};
    bool allIdentical = true;
    for (const QString &layout : layouts) {
        if (!benchLayout(layout, plays, seedValue))
            allIdentical = false;
    }
    return allIdentical ? tlc::exitSuccess : tlc::exitFailure;
}
