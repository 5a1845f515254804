#ifndef TLDLAYOUTMODEL_H
#define TLDLAYOUTMODEL_H

#include "tldLayoutFile.h"
#include "tldLayoutRules.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>
#include <memory>

class QUndoStack;

// How large the drawing board is: tiles across and down, and layers.
struct tldBoardLimits
{
    int tilesAcross = 0;
    int tilesDown = 0;
    int layers = 0;
};

// Where moved, pasted and placed tiles go: on the layers they are given, or on top of
// whatever lies where they land.
enum class tldLayering { KeepLayers, LandOnTop };

// The layout being drawn: its tiles in file order, its name and its designer, the
// selection, the verified mark, and the undo stack that every edit goes through. Knows
// nothing of the screen.
class tldLayoutModel : public QObject
{
    Q_OBJECT

public:
    explicit tldLayoutModel(const tldBoardLimits &limits, QObject *parent = nullptr);
    ~tldLayoutModel() override;

    // A fresh, empty layout. Neither this nor opening can be undone.
    void clear();
    tldLayoutFile::Reading open(const QString &fileName);
    // What the file holds, as the start of a new layout: no file name, not saved yet.
    tldLayoutFile::Reading openAsTemplate(const QString &fileName);
    bool save(const QString &fileName, QString *problem);
    // Why the layout may not be saved under its name; empty when it may. The built-in
    // layouts' names belong to the game's own files.
    QString saveProblem() const;
    QString fileName() const { return file; }
    bool isModified() const;

    QString name() const { return layoutName; }
    QString designer() const { return designerName; }
    const QVector<tlTilePosition> &positions() const { return tiles; }
    int tileCount() const { return tiles.size(); }
    int highestLayer() const;
    const tldCellMap &cells() const { return *cellMap; }
    const QSet<int> &overlapping() const { return overlaps; }
    const QSet<int> &floating() const { return floaters; }
    tldLayoutData data() const;

    // The tiles are those of the last verification that passed, or those of a file that
    // carried the mark and keeps the shape rules.
    bool isVerified() const;
    void markVerified(const QVector<tlTilePosition> &verifiedTiles);

    void setLimits(const tldBoardLimits &limits);
    // The limits set, widened to hold every tile of the layout.
    tldBoardLimits limits() const;

    const QSet<int> &selection() const { return selected; }
    void select(const QSet<int> &tileIndices);

    // Edits, one undo step each. An edit that would put a tile off the board, above the
    // highest layer or on a place another tile holds is refused whole: false, and
    // refusal() says why.
    bool placeTile(const tlTilePosition &where, tldLayering layering);
    bool removeTiles(const QSet<int> &tileIndices);
    bool moveTiles(const QSet<int> &tileIndices, int dx, int dy, tldLayering layering);
    bool pasteTiles(const QVector<tlTilePosition> &copied, int dx, int dy, tldLayering layering);
    bool mirrorTiles(const QSet<int> &tileIndices, Qt::Orientation orientation);
    void setName(const QString &name);
    void setDesigner(const QString &name);
    QString refusal() const { return lastRefusal; }

    QUndoStack *undoStack() const { return history.get(); }

    // The state an edit leaves behind and its undo restores.
    struct Snapshot
    {
        QVector<tlTilePosition> positions;
        QSet<int> selection;
    };
    enum class Text { Name, Designer };
    // For the edits on the undo stack only.
    void restore(const Snapshot &snapshot);
    void restoreText(Text which, const QString &value);

signals:
    void tilesChanged();
    void selectionChanged();
    void textsChanged();
    void fileNameChanged();

private:
    void load(const tldLayoutData &layout);
    bool commit(const QString &text, const QVector<tlTilePosition> &after, const QSet<int> &selectionAfter);
    bool refuse(const QString &why);
    QString placementProblem(const QVector<tlTilePosition> &after) const;
    // How far a group of tiles must rise or sink to lie on what is under it, leaving out
    // the tiles in `ignored`.
    int landingShift(const QVector<tlTilePosition> &group, const QSet<int> &ignored) const;
    void setText(Text which, const QString &value);
    void tilesReplaced();

    std::unique_ptr<QUndoStack> history;
    QString file;
    QString layoutName;
    QString designerName;
    QVector<tlTilePosition> tiles;
    QVector<tlTilePosition> verifiedTiles;
    QSet<int> selected;
    std::unique_ptr<tldCellMap> cellMap;
    QSet<int> overlaps;
    QSet<int> floaters;
    tldBoardLimits board;
    QString lastRefusal;
};

#endif
