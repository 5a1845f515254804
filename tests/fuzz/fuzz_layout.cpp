// Feeds arbitrary bytes to the layout reader as a .tllf file. Whatever the reader
// accepts must hold what the board relies on; a board is then built from it, dealt
// and played as the game would.

#include "tlFuzzInput.h"
#include "tlFuzzPlay.h"
#include "tlLayoutHandler.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <set>
#include <tuple>

namespace {

// Deals must not depend on the time of the run, or findings would not reproduce.
const uint32_t dealSeed = 1;

void checkAccepted(const tlLayoutHandler &layout)
{
    if (layout.positionCount() > tlLayoutHandler::maxTiles)
        tlFuzz::fail("accepted a layout with too many tiles");
    if (qint64(layout.ux()) - layout.lx() > tlLayoutHandler::maxSpan
        || qint64(layout.uy()) - layout.ly() > tlLayoutHandler::maxSpan
        || layout.ux() < layout.lx() || layout.uy() < layout.ly()) {
        tlFuzz::fail("accepted a layout with bounds out of range");
    }
    std::set<std::tuple<int32_t, int32_t, int32_t>> taken;
    for (const tlTilePosition &p : layout.positions()) {
        if (p.layer < 1 || p.layer > tlLayoutHandler::maxLayers)
            tlFuzz::fail("accepted a tile layer out of range");
        if (p.x < layout.lx() || p.x > layout.ux() || p.y < layout.ly() || p.y > layout.uy())
            tlFuzz::fail("accepted a tile outside the bounds");
        if (!taken.insert(std::make_tuple(p.layer, p.x, p.y)).second)
            tlFuzz::fail("accepted two tiles in one place");
    }
    if (layout.maxLayer() > tlLayoutHandler::maxLayers)
        tlFuzz::fail("maxLayer beyond the layer limit");
    (void)layout.checksum();
}

}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    tlFuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const tlFuzz::InputFile input(QStringLiteral("input.tllf"));
    const QString &path = input.write(data, size);

    tlLayoutHandler layout;
    if (!layout.open(path))
        return 0;
    checkAccepted(layout);

    if (layout.positionCount() == tle::setSize) {
        tleGameEngine engine;
        engine.seed(dealSeed);
        if (engine.init(path)) {
            engine.shuffleTiles();
            if (engine.tilesLeft() != tle::setSize)
                tlFuzz::fail("a fresh board does not hold the whole set");
            tlFuzz::playOutAndUndo(engine);
            // A solvable deal plays the layout out several times with other checks.
            (void)engine.arrangeTiles();
        }
    }
    return 0;
}
