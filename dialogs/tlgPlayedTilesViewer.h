#ifndef TLGPLAYEDTILESVIEWER_H
#define TLGPLAYEDTILESVIEWER_H

#include <QDialog>
#include <cstdint>

class QDialogButtonBox;
class QTabWidget;
class QTableWidget;
class tleGameEngine;
class tlgTileHandler;

// The pairs removed so far: in the order of removal on the "History" tab, grouped by
// kind on the "Sorted" tab. It follows the game by the board's and the window's
// signals whether it is shown or not, so that opening it shows the game as it stands.
class tlgPlayedTilesViewer : public QDialog
{
    Q_OBJECT

public:
    // Neither the engine nor the tile pictures are owned.
    tlgPlayedTilesViewer(tleGameEngine *engine, tlgTileHandler *tiles, QWidget *parent = nullptr,
                         Qt::WindowFlags flags = Qt::WindowFlags());

public slots:
    void tilesRemoved();
    void tilesUndoRemoved();
    void prepareNewGame();
    // Shows the board coordinates of the tile in that cell, in place of those shown before.
    void showHistoryItem(int row, int column);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showLatestChange();
    void fillSortedLabels();
    int sortedRow(uint32_t kind) const;
    QSize iconSize() const;
    void finishSortedChange(int row);

    QTabWidget *tabs = nullptr;
    QWidget *historyPage = nullptr;
    QWidget *sortedPage = nullptr;
    QTableWidget *sortedTable = nullptr;
    QTableWidget *historyTable = nullptr;
    QDialogButtonBox *buttons = nullptr;
    tleGameEngine *engine = nullptr;
    tlgTileHandler *tiles = nullptr;
    int shownRow = -1;  // the history row whose coordinates are shown
};

#endif
