#ifndef TLGWINDOW_H
#define TLGWINDOW_H

#include <QMainWindow>
#include <QVector>
#include <memory>

class QAction;
class tleGameEngine;
class tlClock;
class tlgBackupHandler;
class tlgBoard;
class tlgBoardView;
struct tlgCommands;
class tlgCoordinateOverlay;
struct tlgDialogs;
class tlgGame;
class tlgLayoutDesignerClient;
struct tlgStatusBar;
class tlgTile;
class tlgTileHandler;
class tlgWinnability;

// The game's one window: the board, the menus with their commands, the status bar
// with tile count, messages, clock and help counters. It shows what the game object
// decides, asks the player what only the player can answer, and owns the tile
// pictures, the tile items of the running game and every dialog.
class tlgWindow : public QMainWindow
{
    Q_OBJECT

public:
    // `arguments` is the command line, as QCoreApplication::arguments() gives it.
    explicit tlgWindow(const QStringList &arguments, QWidget *parent = nullptr);
    tlgWindow(const QStringList &arguments, const tlClock &clock, QWidget *parent = nullptr);
    ~tlgWindow() override;

    // What stopped the start-up for good (no layouts, no tile pictures, an engine that
    // cannot start), for main() to show; empty when the game is ready.
    QString startupFailure() const { return failure; }

    void loadGameFile(const QString &file, bool backup);
    int maximumTileHeight() const;
    void relayoutBoard();

    // Read access for the window's tests and the tools that look at the game.
    tlgGame &game() const { return *running; }
    tleGameEngine *engine() const;
    tlgBoard *board() const { return scene; }
    tlgBoardView *boardView() const { return view; }
    const QVector<tlgTile *> &tileItems() const;
    QAction *action(const QString &objectName) const;
    QString statusMessage() const;
    QString tilesLeftText() const;
    QString clockText() const;
    QString countersText() const;
    // The status bar's answer to whether the game can still be won; null while hidden.
    QString winnabilityText() const;
    const tlgDialogs &dialogs() const { return *windows; }

signals:
    void prepareNewGame();

public slots:
    void newGame(bool newDeal = true, QString fileName = QString(), bool backup = true);
    void open();
    void save();
    void replay();
    void hint();
    void findMatch();
    void peek();
    void undo();
    void viewHighscores();
    void viewBackups();
    void viewPlayedTiles();
    void findSolution();
    void searchSolution();
    void analysePosition();
    void winningMove();
    void showWinnability(bool on);
    void viewTileCoordinates(bool on);
    void finishGame();
    void help();
    void checkForUpdates();
    void preferences();
    void launchLayoutDesigner();
    void updateCounters();
    void updateClock();
    void showSelectedTileName(int kind);
    void activateUndo(bool on);
    void activateFindMatching(bool on);
    void activatePeek(bool on);
    void activateReplay(bool on);
    void openDroppedGame(QString file);
    void preferencesChanged();
    void restoreBackupFile(QString file);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildBoardView();
    void connectParts();
    void setUpHelp();
    void startFirstGame(const QString &commandLineFile);
    bool reloadTileImages(const char *origin);
    void enableHighscoresAction();
    void gameOver();
    void dealOnDefaultLayout();
    // Puts the layout that the LayoutName setting names into the engine; one that cannot
    // be found or played gives way to the default layout, with a warning when it exists
    // or when `warnWhenMissing`. False when the default layout cannot be played either.
    bool loadChosenLayout(bool warnWhenMissing);
    // Stops for good: at start-up main() shows `message`; later the window says it and
    // the program ends.
    void failForGood(const QString &message);
    bool widenFrameForCoordinates(bool shown);
    // Asks anew whether the game in hand can still be won, when the player shows that.
    void decideWinnability();

    const tlClock &clock;
    std::unique_ptr<tlgCommands> actions;
    std::unique_ptr<tlgGame> running;
    tlgBoardView *view = nullptr;
    tlgBoard *scene = nullptr;
    std::unique_ptr<tlgStatusBar> status;

    std::unique_ptr<tlgTileHandler> tileHandler;
    std::unique_ptr<tlgBackupHandler> backupHandler;
    std::unique_ptr<tlgLayoutDesignerClient> designer;
    std::unique_ptr<tlgDialogs> windows;
    std::unique_ptr<tlgCoordinateOverlay> overlay;
    tlgWinnability *winnability = nullptr;

    QString failure;
    bool closing = false;  // set once the window is closed; long loops stop on it
};

#endif
