#include "tldEngineTrial.h"

#include "tldLayoutFile.h"
#include "tleTileKinds.h"

#include <algorithm>

tldEngineTrial::tldEngineTrial(const QVector<tlTilePosition> &positions)
{
    if (positions.size() != tle::setSize) {
        failure = tr("The game deals its %1 tiles only on a layout with exactly %1 places; this "
                     "one has %2.").arg(tle::setSize).arg(positions.size());
        return;
    }
    if (!folder.isValid()) {
        failure = tr("No temporary folder for the engine's copy of the layout: %1")
                      .arg(folder.errorString());
        return;
    }
    // The board takes only verified layouts; this copy exists to find out whether it is one.
    const tldLayoutData trial{QString(), QString(), positions, true};
    const QString path = folder.filePath(QStringLiteral("trial.tllf"));
    QString problem;
    if (!tldLayoutFile::write(path, trial, &problem)) {
        failure = problem;
        return;
    }
    if (!game.init(path))
        failure = tr("The game cannot build a board from this layout.");
}

int tldEngineTrial::positionOf(const tleTile *tile) const
{
    const std::vector<tleTile *> &tiles = game.tiles();
    const auto found = std::find(tiles.begin(), tiles.end(), tile);
    return found == tiles.end() ? -1 : int(found - tiles.begin());
}
