#ifndef TLGCOMMANDS_H
#define TLGCOMMANDS_H

#include <QCoreApplication>
#include <QList>

class QAction;
class QMenuBar;
class QWidget;

// The window's commands with their texts, shortcuts and object names (which let tests
// and tools find a command whatever its language), and the menus that hold them.
struct tlgCommands
{
    Q_DECLARE_TR_FUNCTIONS(tlgCommands)

public:
    // Makes every command as a child of `owner`.
    explicit tlgCommands(QWidget *owner);

    // The menu bar with the four menus, for `owner`.
    QMenuBar *menuBar(QWidget *owner) const;
    QList<QAction *> all() const;

    QAction *newGame, *open, *openRecent, *save, *replay, *hint, *findMatch, *undo, *peek, *quit;
    QAction *highscores, *playedTiles, *tileCoordinates, *preferences;
    QAction *finishGame, *findSolution, *analysePosition, *winningMove, *showWinnability;
    QAction *layoutDesigner;
    QAction *checkForUpdates, *about, *help;
};

#endif
