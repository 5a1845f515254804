#include "tldCommands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

tldCommands::tldCommands(QMainWindow *window, QUndoStack *history)
{
    const auto make = [window](const char *name, const QString &text,
                               const QKeySequence &shortcut = QKeySequence()) {
        auto *action = new QAction(text, window);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        return action;
    };
    const auto keys = [](const char *text) { return QKeySequence(tr(text), QKeySequence::NativeText); };
    const auto toggle = [](QAction *action) {
        action->setCheckable(true);
        return action;
    };

    newLayout = make("newLayout", tr("New"), QKeySequence::New);
    open = make("open", tr("Open..."), QKeySequence::Open);
    save = make("save", tr("Save"), QKeySequence::Save);
    saveAs = make("saveAs", tr("Save As..."), QKeySequence::SaveAs);
    tryInGame = make("tryInGame", tr("Try in Tilvane"));
    quit = make("quit", tr("Quit"), QKeySequence::Quit);

    undo = history->createUndoAction(window, tr("Undo"));
    undo->setObjectName(QStringLiteral("undo"));
    undo->setShortcut(QKeySequence::Undo);
    redo = history->createRedoAction(window, tr("Redo"));
    redo->setObjectName(QStringLiteral("redo"));
    redo->setShortcut(QKeySequence::Redo);
    cut = make("cut", tr("Cut"), QKeySequence::Cut);
    copy = make("copy", tr("Copy"), QKeySequence::Copy);
    paste = make("paste", tr("Paste"), QKeySequence::Paste);
    remove = make("remove", tr("Delete"), QKeySequence::Delete);
    selectAll = make("selectAll", tr("Select All"), QKeySequence::SelectAll);
    mirrorLeftRight = make("mirrorLeftRight", tr("Mirror Left-Right"), keys("Ctrl+M"));
    mirrorTopBottom = make("mirrorTopBottom", tr("Mirror Top-Bottom"), keys("Ctrl+Shift+M"));
    preferences = make("preferences", tr("Preferences..."), QKeySequence::Preferences);

    layerUp = make("layerUp", tr("Layer Up"), QKeySequence(Qt::Key_PageUp));
    layerDown = make("layerDown", tr("Layer Down"), QKeySequence(Qt::Key_PageDown));
    showAllLayers = toggle(make("showAllLayers", tr("Show All Layers"), keys("Ctrl+L")));
    placeOnTop = toggle(make("placeOnTop", tr("Place Tiles on Top")));
    transparentBackground = toggle(make("transparentBackground", tr("Transparent Background")));

    verify = make("verify", tr("Verify"), keys("Ctrl+Shift+V"));
    removalOrder = make("removalOrder", tr("Show Removal Order"), keys("Ctrl+Shift+R"));
    analyse = make("analyse", tr("Analyse..."), keys("Ctrl+Shift+A"));

    help = make("help", tr("Layout Designer Help"), QKeySequence::HelpContents);
    about = make("about", tr("About Layout Designer"));

    recentFiles = new QMenu(tr("Open Recent"), window);
    recentFiles->setObjectName(QStringLiteral("recentFiles"));
    builtInLayouts = new QMenu(tr("Open Built-in Layout"), window);
    builtInLayouts->setObjectName(QStringLiteral("builtInLayouts"));
}

void tldCommands::buildMenus(QMainWindow *window) const
{
    QMenuBar *bar = window->menuBar();
    QMenu *file = bar->addMenu(tr("&File"));
    file->addActions({newLayout, open});
    file->addMenu(recentFiles);
    file->addMenu(builtInLayouts);
    file->addSeparator();
    file->addActions({save, saveAs});
    file->addSeparator();
    file->addAction(tryInGame);
    file->addSeparator();
    file->addAction(quit);

    QMenu *edit = bar->addMenu(tr("&Edit"));
    edit->addActions({undo, redo});
    edit->addSeparator();
    edit->addActions({cut, copy, paste, remove, selectAll});
    edit->addSeparator();
    edit->addActions({mirrorLeftRight, mirrorTopBottom});
    edit->addSeparator();
    edit->addAction(preferences);

    QMenu *view = bar->addMenu(tr("&View"));
    view->addActions({layerUp, layerDown, showAllLayers});
    view->addSeparator();
    view->addActions({placeOnTop, transparentBackground});

    QMenu *tools = bar->addMenu(tr("&Tools"));
    tools->addActions({verify, removalOrder, analyse});

    QMenu *helpMenu = bar->addMenu(tr("&Help"));
    helpMenu->addActions({help, about});
}
