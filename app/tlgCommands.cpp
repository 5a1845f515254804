#include "tlgCommands.h"

#include "tlSettings.h"

#include <QAction>
#include <QMenuBar>

namespace {

const QRect menuBarGeometry(0, 0, 800, 22);

}

tlgCommands::tlgCommands(QWidget *owner)
{
    const auto make = [owner](const char *name, const QString &text,
                              const QKeySequence &shortcut = QKeySequence()) {
        auto *action = new QAction(text, owner);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        return action;
    };
    const auto keys = [](const char *text) {
        return QKeySequence(tr(text), QKeySequence::NativeText);
    };
    newGame = make("newGame", tr("New Game"), QKeySequence::New);
    open = make("open", tr("Open..."), QKeySequence::Open);
    openRecent = make("openRecent", tr("Open Recent..."), keys("Ctrl+R"));
    save = make("save", tr("Save..."), QKeySequence::Save);
    replay = make("replay", tr("Replay"));
    hint = make("hint", tr("Hint"), keys("Ctrl+I"));
    findMatch = make("findMatch", tr("Find Match"), QKeySequence::Find);
    undo = make("undo", tr("Undo"), QKeySequence::Undo);
    peek = make("peek", tr("Peek"), keys("Ctrl+E"));
    quit = make("quit", tr("Quit"), QKeySequence::Quit);
    highscores = make("highscores", tr("Highscores..."));
    playedTiles = make("playedTiles", tr("Played Tiles..."), keys("Ctrl+P"));
    tileCoordinates = make("tileCoordinates", tr("Tile Coordinates"));
    tileCoordinates->setCheckable(true);
    tileCoordinates->setChecked(tlSettings::instance().viewTileCoordinates);
    preferences = make("preferences", tr("Preferences..."), keys("Ctrl+,"));
    finishGame = make("finishGame", tr("Finish Game"));
    findSolution = make("findSolution", tr("Find Solution..."));
    analysePosition = make("analysePosition", tr("Analyse Position"), keys("Ctrl+Shift+A"));
    winningMove = make("winningMove", tr("Winning Move"), keys("Ctrl+Shift+I"));
    showWinnability = make("showWinnability", tr("Show Whether Winnable"));
    showWinnability->setCheckable(true);
    showWinnability->setChecked(tlSettings::instance().showWinnability);
    layoutDesigner = make("layoutDesigner", tr("Layout Designer"));
    checkForUpdates = make("checkForUpdates", tr("Check For Updates..."));
    about = make("about", tr("About"));
    help = make("help", tr("Tilvane Help"));
}

QList<QAction *> tlgCommands::all() const
{
    return {newGame,         open,        openRecent, save,         replay,         hint,
            findMatch,       undo,        peek,       quit,         highscores,     playedTiles,
            tileCoordinates, preferences, finishGame, findSolution, analysePosition,
            winningMove,     showWinnability, layoutDesigner, checkForUpdates, about, help};
}

QMenuBar *tlgCommands::menuBar(QWidget *owner) const
{
    auto *bar = new QMenuBar(owner);
    bar->setGeometry(menuBarGeometry);
    QMenu *game = bar->addMenu(tr("Game"));
    game->addActions({newGame, open, openRecent, save});
    game->addSeparator();
    game->addAction(replay);
    game->addSeparator();
    game->addActions({hint, findMatch, undo, peek});
    game->addSeparator();
    game->addAction(quit);
    QMenu *view = bar->addMenu(tr("View"));
    view->addActions({highscores, playedTiles});
    view->addSeparator();
    view->addAction(tileCoordinates);
    view->addSeparator();
    view->addAction(preferences);
    QMenu *tools = bar->addMenu(tr("Tools"));
    tools->addActions({finishGame, findSolution});
    tools->addSeparator();
    tools->addActions({analysePosition, winningMove, showWinnability});
    tools->addSeparator();
    tools->addAction(layoutDesigner);
    QMenu *helpMenu = bar->addMenu(tr("Help"));
    helpMenu->addAction(checkForUpdates);
    helpMenu->addSeparator();
    helpMenu->addActions({about, help});
    return bar;
}
