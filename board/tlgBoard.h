#ifndef TLGBOARD_H
#define TLGBOARD_H

#include <QGraphicsScene>

#include <QVector>

class QPropertyAnimation;
class tleGameEngine;
class tlgTile;
class tlgTileHandler;
struct tleTile;

// The board scene: turns clicks into the selection of free tiles and the removal of
// matching pairs through the engine, shows pairs on request, slides a tile aside for a
// peek, and tells the window by signals what changed.
class tlgBoard : public QGraphicsScene
{
    Q_OBJECT

public:
    // A peek slides the tile out, rests, and slides it back within this time.
    static constexpr int peekMilliseconds = 1000;

    explicit tlgBoard(QObject *parent = nullptr);
    ~tlgBoard() override;

    void setEngine(tleGameEngine *gameEngine) { engine = gameEngine; }

    // One hidden tile item per record of the engine, in engine order, with the pictures
    // of its kind, in place of the last game's items.
    void replaceTiles(const tlgTileHandler &pictures);
    void removeTiles();
    // New pictures for every item, after the tile style or size changed.
    void changePictures(const tlgTileHandler &pictures);
    // Puts every item at its place and fits the scene to them with `frame` pixels around.
    void placeTiles(int frame);
    // Shows every item, none highlighted: the start of a game.
    void showTiles();
    const QVector<tlgTile *> &tiles() const { return tileList; }

    tlgTile *tileAt(const QPointF &scenePos) const;
    tlgTile *itemForTile(const tleTile *tile) const;
    void removeSelectedPair();
    void showPair(tleTile *a, tleTile *b);
    bool findMatchingTile();
    void undoLastPair();
    bool peekAnimation();

    tlgTile *firstSelected() const { return first; }
    tlgTile *secondSelected() const { return second; }

signals:
    void updateCounters();
    void tileSelected(int kind);
    void activateUndo(bool on);
    void activateFindMatching(bool on);
    void activatePeek(bool on);
    void activateReplay(bool on);
    void tilesRemoved();
    void tilesUndoRemoved();

public slots:
    void newGame();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void selectWithLeftClick(const QPointF &scenePos);
    void clearSelection();
    void emitSelectionFlags();
    void emitUndoFlags();
    QList<tlgTile *> tileItems(Qt::SortOrder order) const;

    QVector<tlgTile *> tileList;  // the running game's, in engine order
    tlgTile *first = nullptr;
    tlgTile *second = nullptr;
    tleGameEngine *engine = nullptr;
    QPropertyAnimation *peek = nullptr;
};

#endif
