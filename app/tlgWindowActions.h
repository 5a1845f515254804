#ifndef TLGWINDOWACTIONS_H
#define TLGWINDOWACTIONS_H

#include "tlgWindow.h"

#include <QAction>
#include <QList>

// The window's commands, named so that the code reads like its menus.
struct tlgWindow::Actions
{
    QAction *newGame, *open, *openRecent, *save, *replay, *hint, *findMatch, *undo, *peek, *quit;
    QAction *highscores, *playedTiles, *tileCoordinates, *preferences;
    QAction *finishGame, *findSolution, *layoutDesigner;
    QAction *checkForUpdates, *about, *help;

    QList<QAction *> all() const
    {
        return {newGame,     open,        openRecent,      save,        replay,       hint,
                findMatch,   undo,        peek,            quit,        highscores,   playedTiles,
                tileCoordinates, preferences, finishGame, findSolution, layoutDesigner,
                checkForUpdates, about,    help};
    }
};

#endif
