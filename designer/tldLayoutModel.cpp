#include "tldLayoutModel.h"

#include "tldLayoutEdits.h"
#include "tldVerifier.h"
#include "tlSettings.h"

#include <QUndoStack>
#include <algorithm>
#include <limits>

namespace {

// A tile covers two half-tile columns and rows: on a board n tiles across, tiles start
// at columns 0 to 2n - 2.
const int halvesPerTile = 2;

int lastStart(int tiles)
{
    return halvesPerTile * tiles - halvesPerTile;
}

int tilesToHold(int lastStartingHalf)
{
    return (lastStartingHalf + halvesPerTile + 1) / halvesPerTile;
}

}

tldLayoutModel::tldLayoutModel(const tldBoardLimits &limits, QObject *parent)
    : QObject(parent)
    , history(std::make_unique<QUndoStack>())
    , cellMap(std::make_unique<tldCellMap>(QVector<tlTilePosition>()))
    , board(limits)
{
}

tldLayoutModel::~tldLayoutModel() = default;

void tldLayoutModel::clear()
{
    load(tldLayoutData());
    file.clear();
    history->clear();
    emit fileNameChanged();
}

tldLayoutFile::Reading tldLayoutModel::open(const QString &fileName)
{
    tldLayoutFile::Reading reading = tldLayoutFile::read(fileName);
    if (!reading.ok)
        return reading;
    load(reading.layout);
    file = fileName;
    history->clear();
    // A layout moved onto the grid differs from its file.
    if (!reading.note.isEmpty())
        history->resetClean();
    emit fileNameChanged();
    return reading;
}

tldLayoutFile::Reading tldLayoutModel::openAsTemplate(const QString &fileName)
{
    tldLayoutFile::Reading reading = open(fileName);
    if (reading.ok) {
        file.clear();
        history->resetClean();
        emit fileNameChanged();
    }
    return reading;
}

void tldLayoutModel::load(const tldLayoutData &layout)
{
    layoutName = layout.name;
    designerName = layout.designer;
    tiles = layout.positions;
    selected.clear();
    // The engine's part of the verification is taken on trust from the file's mark;
    // the shape is checked again, since a file can be edited by hand.
    const bool stillSound = tldVerifier::shapeProblems(tiles).isEmpty();
    verifiedTiles = layout.verified && stillSound ? tiles : QVector<tlTilePosition>();
    tilesReplaced();
    emit selectionChanged();
    emit textsChanged();
}

bool tldLayoutModel::save(const QString &fileName, QString *problem)
{
    if (!tldLayoutFile::write(fileName, data(), problem))
        return false;
    file = fileName;
    history->setClean();
    emit fileNameChanged();
    return true;
}

QString tldLayoutModel::saveProblem() const
{
    if (layoutName.trimmed().isEmpty())
        return tr("The layout has no name yet. Give it a name of its own, then save it.");
    if (tlSettings::isBuiltInLayout(layoutName.trimmed())) {
        return tr("'%1' is the name of a layout that comes with Tilvane. Give the layout a name "
                  "of its own, then save it.").arg(layoutName.trimmed());
    }
    return QString();
}

bool tldLayoutModel::isModified() const
{
    return !history->isClean();
}

int tldLayoutModel::highestLayer() const
{
    int highest = 0;
    for (const tlTilePosition &p : tiles)
        highest = std::max(highest, int(p.layer));
    return highest;
}

tldLayoutData tldLayoutModel::data() const
{
    return {layoutName, designerName, tiles, isVerified()};
}

bool tldLayoutModel::isVerified() const
{
    return !verifiedTiles.isEmpty() && tldLayoutRules::samePlaces(tiles, verifiedTiles);
}

void tldLayoutModel::markVerified(const QVector<tlTilePosition> &passed)
{
    verifiedTiles = passed;
    emit tilesChanged();
}

void tldLayoutModel::setLimits(const tldBoardLimits &limits)
{
    if (limits.tilesAcross == board.tilesAcross && limits.tilesDown == board.tilesDown
        && limits.layers == board.layers)
        return;
    board = limits;
    emit tilesChanged();
}

tldBoardLimits tldLayoutModel::limits() const
{
    tldBoardLimits wide = board;
    for (const tlTilePosition &p : tiles) {
        wide.tilesAcross = std::max(wide.tilesAcross, tilesToHold(p.x));
        wide.tilesDown = std::max(wide.tilesDown, tilesToHold(p.y));
        wide.layers = std::max(wide.layers, int(p.layer));
    }
    return wide;
}

void tldLayoutModel::select(const QSet<int> &tileIndices)
{
    QSet<int> valid;
    for (int index : tileIndices) {
        if (index >= 0 && index < tiles.size())
            valid.insert(index);
    }
    if (valid == selected)
        return;
    selected = valid;
    emit selectionChanged();
}

void tldLayoutModel::restore(const Snapshot &snapshot)
{
    tiles = snapshot.positions;
    selected = snapshot.selection;
    tilesReplaced();
    emit selectionChanged();
}

void tldLayoutModel::restoreText(Text which, const QString &value)
{
    (which == Text::Name ? layoutName : designerName) = value;
    emit textsChanged();
}

void tldLayoutModel::tilesReplaced()
{
    cellMap = std::make_unique<tldCellMap>(tiles);
    overlaps = tldLayoutRules::overlapping(tiles);
    floaters = tldLayoutRules::floating(tiles);
    emit tilesChanged();
}

bool tldLayoutModel::refuse(const QString &why)
{
    lastRefusal = why;
    return false;
}

QString tldLayoutModel::placementProblem(const QVector<tlTilePosition> &after) const
{
    const tldBoardLimits room = limits();
    QSet<QPair<int, QPair<int, int>>> taken;
    for (const tlTilePosition &p : after) {
        if (p.x < 0 || p.y < 0 || p.x > lastStart(room.tilesAcross) || p.y > lastStart(room.tilesDown))
            return tr("A tile would lie off the board.");
        if (p.layer < 1)
            return tr("A tile would lie below the lowest layer.");
        if (p.layer > room.layers)
            return tr("A tile would lie above layer %1, the highest there is.").arg(room.layers);
        const QPair<int, QPair<int, int>> place(p.layer, {p.x, p.y});
        if (taken.contains(place))
            return tr("Two tiles would lie on the same place.");
        taken.insert(place);
    }
    return QString();
}

bool tldLayoutModel::commit(const QString &text, const QVector<tlTilePosition> &after,
                            const QSet<int> &selectionAfter)
{
    const QString problem = placementProblem(after);
    if (!problem.isEmpty())
        return refuse(problem);
    lastRefusal.clear();
    history->push(new tldTilesEdit(*this, text, {tiles, selected}, {after, selectionAfter}));
    return true;
}

int tldLayoutModel::landingShift(const QVector<tlTilePosition> &group, const QSet<int> &ignored) const
{
    int shift = std::numeric_limits<int>::min();
    for (const tlTilePosition &p : group)
        shift = std::max(shift, int(cellMap->highestUnder(p.x, p.y, ignored)) + 1 - int(p.layer));
    return group.isEmpty() ? 0 : shift;
}

bool tldLayoutModel::placeTile(const tlTilePosition &where, tldLayering layering)
{
    tlTilePosition placed = where;
    if (layering == tldLayering::LandOnTop)
        placed.layer = cellMap->highestUnder(where.x, where.y) + 1;
    QVector<tlTilePosition> after = tiles;
    after.append(placed);
    return commit(tr("Place Tile"), after, {after.size() - 1});
}

bool tldLayoutModel::removeTiles(const QSet<int> &tileIndices)
{
    QVector<tlTilePosition> after;
    for (int i = 0; i < tiles.size(); ++i) {
        if (!tileIndices.contains(i))
            after.append(tiles.at(i));
    }
    const int removed = tiles.size() - after.size();
    if (removed == 0)
        return refuse(tr("There is no tile to remove."));
    return commit(removed == 1 ? tr("Remove Tile") : tr("Remove %1 Tiles").arg(removed), after, {});
}

bool tldLayoutModel::moveTiles(const QSet<int> &tileIndices, int dx, int dy, tldLayering layering)
{
    QVector<tlTilePosition> group;
    for (int index : tileIndices) {
        if (index < 0 || index >= tiles.size())
            continue;
        tlTilePosition p = tiles.at(index);
        p.x += dx;
        p.y += dy;
        group.append(p);
    }
    if (group.isEmpty())
        return refuse(tr("There is no tile to move."));
    const int lift = layering == tldLayering::LandOnTop ? landingShift(group, tileIndices) : 0;
    if (dx == 0 && dy == 0 && lift == 0)
        return true;
    QVector<tlTilePosition> after = tiles;
    for (int index : tileIndices) {
        if (index < 0 || index >= tiles.size())
            continue;
        after[index].x += dx;
        after[index].y += dy;
        after[index].layer += lift;
    }
    const QString text = group.size() == 1 ? tr("Move Tile") : tr("Move %1 Tiles").arg(group.size());
    return commit(text, after, tileIndices);
}

bool tldLayoutModel::pasteTiles(const QVector<tlTilePosition> &copied, int dx, int dy,
                                tldLayering layering)
{
    if (copied.isEmpty())
        return refuse(tr("There are no copied tiles to paste."));
    QVector<tlTilePosition> group = copied;
    for (tlTilePosition &p : group) {
        p.x += dx;
        p.y += dy;
    }
    const int lift = layering == tldLayering::LandOnTop ? landingShift(group, {}) : 0;
    QVector<tlTilePosition> after = tiles;
    QSet<int> pasted;
    for (tlTilePosition p : group) {
        p.layer += lift;
        pasted.insert(after.size());
        after.append(p);
    }
    const QString text = group.size() == 1 ? tr("Paste Tile") : tr("Paste %1 Tiles").arg(group.size());
    return commit(text, after, pasted);
}

bool tldLayoutModel::mirrorTiles(const QSet<int> &tileIndices, Qt::Orientation orientation)
{
    const bool leftRight = orientation == Qt::Horizontal;
    const auto coordinate = [leftRight](tlTilePosition &p) -> int32_t & { return leftRight ? p.x : p.y; };
    int32_t low = std::numeric_limits<int32_t>::max();
    int32_t high = std::numeric_limits<int32_t>::min();
    QVector<tlTilePosition> after = tiles;
    for (int index : tileIndices) {
        if (index < 0 || index >= after.size())
            continue;
        low = std::min(low, coordinate(after[index]));
        high = std::max(high, coordinate(after[index]));
    }
    if (low > high)
        return refuse(tr("There is no tile to mirror."));
    // The selection keeps the room it takes: a tile's far edge becomes its near edge.
    for (int index : tileIndices) {
        if (index >= 0 && index < after.size())
            coordinate(after[index]) = low + high - coordinate(after[index]);
    }
    return commit(leftRight ? tr("Mirror Left-Right") : tr("Mirror Top-Bottom"), after, tileIndices);
}

void tldLayoutModel::setName(const QString &name)
{
    setText(Text::Name, name);
}

void tldLayoutModel::setDesigner(const QString &name)
{
    setText(Text::Designer, name);
}

void tldLayoutModel::setText(Text which, const QString &value)
{
    const QString &current = which == Text::Name ? layoutName : designerName;
    if (value != current)
        history->push(new tldTextEdit(*this, which, current, value));
}
