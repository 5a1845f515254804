#ifndef TLGWINDOW_H
#define TLGWINDOW_H

#include <QMainWindow>
#include <QVector>
#include <memory>

class QAction;
class QLabel;
class QTimer;
class tleGameEngine;
class tlgBackupHandler;
class tlgBackupViewer;
class tlgBoard;
class tlgBoardView;
class tlgCoordinateOverlay;
class tlgHighscoreViewer;
class tlgTile;
class tlgTileHandler;

// The game's one window: the board, the menus with their commands, the status bar
// with tile count, messages, clock and help counters. It owns the engine, the tile
// pictures, the tile items of the running game and every dialog.
class tlgWindow : public QMainWindow
{
    Q_OBJECT

public:
    // `arguments` is the command line, as QCoreApplication::arguments() gives it.
    explicit tlgWindow(const QStringList &arguments, QWidget *parent = nullptr);
    ~tlgWindow() override;

    void loadGameFile(const QString &file, bool backup);
    int maximumTileHeight() const;
    // The clock's text after that long a game: minutes and seconds, "--:--" past the hour.
    static QString clockFace(qint64 elapsedSeconds);
    void relayoutBoard();

    // Read access for the window's tests and the tools that look at the game.
    tleGameEngine *engine() const { return gameEngine.get(); }
    tlgBoard *board() const { return scene; }
    tlgBoardView *boardView() const { return view; }
    const QVector<tlgTile *> &tileItems() const { return tiles; }
    QAction *action(const QString &text) const;
    QString statusMessage() const;
    QString tilesLeftText() const;
    QString clockText() const;
    QString countersText() const;
    int peeks() const { return peekCount; }
    qint64 gameStartTime() const { return startTime; }
    qint64 gameEndTime() const { return endTime; }
    tlgHighscoreViewer *highscoreViewer() const { return highscores; }
    tlgBackupViewer *backupViewer() const { return backups; }

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
    void viewTileCoordinates(bool on);
    void finishGame();
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
    struct Actions;

    void buildBoardView();
    void buildActions();
    void buildMenus();
    void buildStatusBar();
    void buildDialogs();
    void connectParts();
    void startFirstGame(const QString &commandLineFile);
    void reloadTileImages(const char *origin);
    void replaceTileItems();
    void enableHighscoresAction();
    void gameOver();
    bool gameRunning() const;
    void dealOnDefaultLayout();
    QString layoutPath(const QString &name) const;
    // Puts the layout that the LayoutName setting names into the engine; one that cannot
    // be found or played gives way to the default layout, with a warning when it exists
    // or when `warnWhenMissing`. False when the default layout cannot be played either.
    bool loadChosenLayout(bool warnWhenMissing);
    [[noreturn]] void exitForBrokenInstallation();
    bool widenFrameForCoordinates(bool shown);

    std::unique_ptr<Actions> actions;
    tlgBoardView *view = nullptr;
    tlgBoard *scene = nullptr;
    QLabel *tilesLeftLabel = nullptr;
    QLabel *messageLabel = nullptr;
    QLabel *clockLabel = nullptr;
    QLabel *countersLabel = nullptr;

    std::unique_ptr<tleGameEngine> gameEngine;
    std::unique_ptr<tlgTileHandler> tileHandler;
    std::unique_ptr<tlgBackupHandler> backupHandler;
    tlgHighscoreViewer *highscores = nullptr;
    tlgBackupViewer *backups = nullptr;
    std::unique_ptr<tlgCoordinateOverlay> overlay;

    QVector<tlgTile *> tiles;
    QTimer *clock = nullptr;
    qint64 startTime = 0;
    qint64 endTime = 0;
    qint64 minimizedAt = 0;
    int undoCount = 0;
    int hintCount = 0;
    int findMatchCount = 0;
    int peekCount = 0;
    bool closing = false;  // set once the window is closed; long loops stop on it
};

#endif
