#ifndef TLDCOMMANDS_H
#define TLDCOMMANDS_H

#include <QCoreApplication>

class QAction;
class QMenu;
class QMainWindow;
class QUndoStack;

// The designer's commands with their texts, shortcuts and object names, and the menus
// that hold them.
struct tldCommands
{
    Q_DECLARE_TR_FUNCTIONS(tldCommands)

public:
    // Makes every command as a child of `window`; undo and redo follow `history`.
    tldCommands(QMainWindow *window, QUndoStack *history);

    // Fills the window's menu bar.
    void buildMenus(QMainWindow *window) const;

    QAction *newLayout, *open, *save, *saveAs, *tryInGame, *quit;
    QAction *undo, *redo, *cut, *copy, *paste, *remove, *selectAll, *mirrorLeftRight,
        *mirrorTopBottom, *preferences;
    QAction *layerUp, *layerDown, *showAllLayers, *placeOnTop, *transparentBackground;
    QAction *verify, *removalOrder, *analyse;
    QAction *help, *about;
    QMenu *recentFiles, *builtInLayouts;
};

#endif
