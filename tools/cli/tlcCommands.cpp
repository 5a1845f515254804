#include "tlcCommands.h"

#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlcCommandParser.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

namespace tlc {

namespace {

// Layout coordinates count half tiles; a tile covers two of them each way.
const double halfTilesPerTile = 2.0;

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// The extent of a span of tile positions from `low` to `high`, in whole tiles.
QString tilesAcross(int32_t low, int32_t high)
{
    return QString::number((double(high) - low) / halfTilesPerTile + 1);
}

void printLayout(const tlLayoutHandler &layout)
{
    out() << "name: " << layout.name() << Qt::endl;
    out() << "designer: " << layout.designer() << Qt::endl;
    out() << "tiles: " << layout.positionCount() << Qt::endl;
    out() << "layers: " << layout.maxLayer() << Qt::endl;
    out() << "bounds: lx " << layout.lx() << " ux " << layout.ux() << " ly " << layout.ly()
          << " uy " << layout.uy() << Qt::endl;
    out() << "size: " << tilesAcross(layout.lx(), layout.ux()) << " x "
          << tilesAcross(layout.ly(), layout.uy()) << " tiles" << Qt::endl;
    out() << "checksum: " << layout.checksum() << Qt::endl;
    out() << "verified: " << yesNo(layout.verified()) << Qt::endl;
}

// Why the engine refused a layout the reader accepted, as far as can be told.
QString buildFailure(const tlLayoutHandler &layout)
{
    if (!layout.verified())
        return QStringLiteral("the layout is not marked as verified.");
    if (layout.positionCount() != tle::setSize) {
        return QStringLiteral("the layout has %1 tiles; a board needs %2.")
            .arg(layout.positionCount())
            .arg(tle::setSize);
    }
    return QStringLiteral("the engine could not build a board from it.");
}

}

QString dealGame(tleGameEngine &engine, const QString &layoutPath, quint32 seed, bool winnable)
{
    if (!engine.init(layoutPath))
        return QStringLiteral("cannot build a board from '%1'.").arg(layoutPath);
    engine.seed(seed);
    if (!winnable)
        engine.shuffleTiles();
    else if (!engine.arrangeTiles())
        return QStringLiteral("could not deal a winnable game on '%1'.").arg(layoutPath);
    return QString();
}

bool openGame(tleGameEngine &engine, const QString &gameFile)
{
    QString layoutName;
    uint32_t checksum = 0;
    if (!engine.peek(gameFile, layoutName, checksum)) {
        fail(QStringLiteral("'%1' is not a readable game file with a layout name and checksum.")
                 .arg(gameFile));
        return false;
    }
    loadUserLayouts();
    const QString layoutPath = tlLayoutLocator::findLayoutFile(layoutName, checksum);
    if (layoutPath.isEmpty()) {
        fail(QStringLiteral("found no layout '%1' with checksum %2 for '%3'.")
                 .arg(layoutName)
                 .arg(checksum)
                 .arg(gameFile));
        return false;
    }
    if (!engine.open(gameFile, layoutPath)) {
        fail(QStringLiteral("could not open the game '%1'.").arg(gameFile));
        return false;
    }
    return true;
}

int runCheck(const QStringList &arguments)
{
    tlcCommandParser parser(QStringLiteral("check"),
                            QStringLiteral("Reads a layout with the game's reader and tells "
                                           "whether a board can be built from it.\n"
                                           "Prints one 'key: value' line per property; exits 1 "
                                           "when no board can be built."));
    parser.addArgument(QStringLiteral("LAYOUT"),
                       layoutArgumentDescription());
    if (!parser.parse(arguments))
        return exitFailure;
    const QString path = resolveLayout(parser.argument(0));
    if (path.isEmpty())
        return exitFailure;

    out() << "file: " << path << Qt::endl;
    tlLayoutHandler layout;
    if (!layout.open(path)) {
        out() << "readable: no" << Qt::endl << "can build: no" << Qt::endl;
        return fail(QStringLiteral("'%1' is not a readable layout file.").arg(path));
    }
    out() << "readable: yes" << Qt::endl;
    printLayout(layout);

    tleGameEngine engine;
    const bool built = engine.init(path);
    out() << "can build: " << yesNo(built) << Qt::endl;
    if (!built)
        return fail(QStringLiteral("no board from '%1': %2").arg(path, buildFailure(layout)));
    return exitSuccess;
}

int runDeal(const QStringList &arguments)
{
    tlcCommandParser parser(QStringLiteral("deal"),
                            QStringLiteral("Deals a game on a layout and saves it as a game file. "
                                           "The same seed gives the same deal."));
    parser.addArgument(QStringLiteral("LAYOUT"),
                       layoutArgumentDescription());
    const QCommandLineOption seed = seedOption(QStringLiteral("Seed of the deal (required)."));
    const QCommandLineOption winnable(QStringLiteral("winnable"),
                                      QStringLiteral("Deal a game that can be won."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Game file to write (required)."),
                                    QStringLiteral("GAME.tlgf"));
    parser.addOption(seed);
    parser.addOption(winnable);
    parser.addOption(output);
    quint32 seedValue = 0;
    if (!parser.parse(arguments) || !parser.require(seed) || !parser.require(output)
        || !parser.readNumber(seed, 0, largestSeed, seedValue)) {
        return exitFailure;
    }
    const QString layoutPath = resolveLayout(parser.argument(0));
    if (layoutPath.isEmpty())
        return exitFailure;

    tleGameEngine engine;
    const QString failure = dealGame(engine, layoutPath, seedValue, parser.isSet(winnable));
    if (!failure.isEmpty())
        return fail(failure);

    const QString gameFile = parser.value(output);
    if (!engine.save(gameFile))
        return fail(QStringLiteral("could not save the game as '%1'.").arg(gameFile));
    out() << "layout: " << engine.board()->layout()->name() << Qt::endl;
    out() << "seed: " << seedValue << Qt::endl;
    out() << "winnable: " << yesNo(parser.isSet(winnable)) << Qt::endl;
    out() << "game file: " << gameFile << Qt::endl;
    return exitSuccess;
}

int runSolve(const QStringList &arguments)
{
    tlcCommandParser parser(QStringLiteral("solve"),
                            QStringLiteral("Searches a saved game for a solution by random plays "
                                           "and prints the solution.\n"
                                           "Exits 0 when solved, 3 when no play cleared the "
                                           "board, 1 on errors."));
    parser.addArgument(QStringLiteral("GAME"), QStringLiteral("Game file (.tlgf)."));
    const QCommandLineOption iterations(QStringLiteral("iterations"),
                                        QStringLiteral("Most random plays to try (required)."),
                                        QStringLiteral("N"));
    const QCommandLineOption seed = seedOption(QStringLiteral("Seed of the random plays."));
    parser.addOption(iterations);
    parser.addOption(seed);
    quint32 playLimit = 0;
    quint32 seedValue = 0;
    if (!parser.parse(arguments) || !parser.require(iterations)
        || !parser.readNumber(iterations, 1, largestPlayCount, playLimit)
        || !parser.readNumber(seed, 0, largestSeed, seedValue)) {
        return exitFailure;
    }

    tleGameEngine engine;
    if (!openGame(engine, parser.argument(0)))
        return exitFailure;
    if (parser.isSet(seed))
        engine.seed(seedValue);

    int fewestLeft = 0;
    unsigned played = 0;
    engine.solve(fewestLeft, played, int(playLimit), nullptr);
    if (fewestLeft != 0) {
        out() << QStringLiteral("No solution found after %1 iterations. %2 tiles left.")
                     .arg(played)
                     .arg(fewestLeft)
              << Qt::endl;
        return exitNotSolved;
    }
    out() << QStringLiteral("Solved after %1 iterations.").arg(played) << Qt::endl;
    out() << engine.solutionText() << Qt::flush;
    return exitSuccess;
}

}
