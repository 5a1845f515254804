// Feeds arbitrary bytes to the game-file reader as a .tlgf file for the Turtle
// layout and plays the game it holds, then peeks at the same file as the recent-games
// list does.

#include "tlFuzzInput.h"
#include "tlFuzzPlay.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QFile>

namespace {

const QString &layoutPath()
{
    static const QString path = QStringLiteral(TILVANE_FUZZ_LAYOUT);
    return path;
}

}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    tlFuzz::silenceStdout();
    // Without its layout every input fails at the same first step and finds nothing.
    tleGameEngine engine;
    if (!engine.init(layoutPath()))
        tlFuzz::fail("the game files' layout cannot be read: " TILVANE_FUZZ_LAYOUT);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const tlFuzz::InputFile input(QStringLiteral("input.tlgf"));
    // One engine for the whole run, as the game keeps one while games are opened.
    static tleGameEngine engine;
    const QString &path = input.write(data, size);

    if (engine.open(path, layoutPath())) {
        for (const tleTile *tile : engine.tiles()) {
            if (tile->type >= uint32_t(tle::kindCount))
                tlFuzz::fail("an opened game holds a tile kind out of range");
        }
        if (engine.tilesLeft() != tle::setSize)
            tlFuzz::fail("an opened game does not hold the whole set");
        tlFuzz::playOutAndUndo(engine);
    }

    QString layoutName;
    uint32_t checksum = 0;
    if (engine.peek(path, layoutName, checksum) && (checksum == 0 || layoutName.isEmpty()))
        tlFuzz::fail("peek accepted a file without layout name or checksum");
    return 0;
}
