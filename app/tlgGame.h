#ifndef TLGGAME_H
#define TLGGAME_H

#include "tlHighscoreList.h"
#include "tleGameEngine.h"
#include "tleSolver.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>
#include <optional>

class tlClock;

// What a game is while it runs, free of widgets: the engine with the deal, the help
// counters, the clock, the hint cursor, the peek that bars a result, the judgement of
// the end and the highscore entry. It decides; the window asks the player and shows.
class tlgGame : public QObject
{
    Q_OBJECT

public:
    // Where the first game comes from, by the first rule that applies.
    enum class FirstGame { RequestedFile, CommandLineFile, LastGamePlayed, NewDeal };
    // What changed preferences ask of the game in hand.
    enum class PreferencesReaction { Relayout, NewImages, NewLayout };

    // How a game ended, with the texts that tell the player.
    struct Result
    {
        bool won = false;
        tlHighscoreEntry entry;
        bool entersHighscores = false;
        QString headline;  // the box's text
        QString details;   // its informative text
        QString status;    // the status bar's line
    };

    // What the status bar and the title say when a game starts.
    struct Announcement
    {
        QString message;
        QString title;
    };

    // A chosen layout that could not be used: its file (empty when none was found), and
    // whether the file was there at all.
    struct RefusedLayout
    {
        QString file;
        bool exists = false;
    };

    // What a solution search came to.
    struct SearchResult
    {
        bool found = false;
        unsigned iterations = 0;
        int tilesLeft = 0;           // the fewest any play left
        bool worthExtending = false; // so few plays that a longer search may still succeed
        QString failure;             // what the player is told when nothing was found
    };

    explicit tlgGame(const tlClock &clock);
    ~tlgGame() override;

    static FirstGame firstGame(bool fileRequested, bool commandLineFile, bool restoreLast,
                               bool backupExists);
    static PreferencesReaction preferencesReaction(bool sameLayout, bool imagesChanged);
    // After a file failed to load, a new deal follows only when no game was ever started.
    bool dealsAfterFailedLoad() const { return !started; }

    // Puts the layout that the LayoutName setting names into the engine. One that cannot
    // be found or played gives way to the default layout, LayoutName follows, and
    // `refused` tells which it was. False when the default layout cannot be played
    // either: the installation is broken.
    bool loadChosenLayout(std::optional<RefusedLayout> &refused);
    // The engine's deal for the next game: the same again, or a new one, winnable when
    // the WinnableGameMode setting asks for it.
    void deal(bool newDeal);
    // A game from `fileName` when one is named, else a new deal or a replay.
    static Announcement announcement(bool newDeal, const QString &fileName);
    // The status bar's line after the last game played was restored at start-up.
    static QString restoredAnnouncement();

    // The highest tiles that let the whole layout in hand fit `available` with a frame
    // of `frame` pixels around it and `reserved` pixels of height kept for the window;
    // the TileHeight setting while no layout is loaded.
    int fittingTileHeight(const QSize &available, int frame, int reserved) const;

    // Searches the deal for a clearing play of at most `maxIterations` plays; the
    // engine's history then holds the solution, or the last play's pairs.
    SearchResult search(int maxIterations, tleSearchProgress *progress);

    tleGameEngine &engine() { return gameEngine; }
    const tleGameEngine &engine() const { return gameEngine; }

    // A new game on the engine's deal: counters to zero, the clock from now.
    void start();
    bool isRunning() const { return startTime != 0 && endTime == 0; }

    // The next pair of the walk through the possible pairs, counted as a hint; a pair of
    // nulls when there is none. `pairCount` gets the number of possible pairs.
    tleTilePair nextHint(unsigned &pairCount);
    // The pair the automatic finishing removes next, counted as a hint; nulls when none.
    tleTilePair nextFinishingPair();
    // What the solver says of the position on the board, and when it cannot be cleared,
    // how many of the last moves must be undone to reach one that can: 0 when even the
    // deal could not be won, -1 when the solver could not tell.
    struct Analysis
    {
        tleSolver::Answer answer = tleSolver::Answer::unknown;
        int movesBack = 0;
    };
    Analysis analysePosition() const;
    // A pair whose removal keeps the game winnable, counted as a hint; nulls when there is
    // none or the solver could not tell, which `answer` says.
    tleTilePair winningMove(tleSolver::Answer &answer);
    void countUndo() { ++undoCount; }
    void countFindMatch() { ++findMatchCount; }
    // True for the first peek of the game, which bars it from the highscores.
    bool countPeek() { return ++peekCount == 1; }
    int peeks() const { return peekCount; }
    QString countersText() const;

    // The clock's face now, and after that long a game: "--:--" past the hour.
    QString clockFace() const;
    static QString clockFace(qint64 elapsedSeconds);
    // Stops the clock at its face; the game goes on.
    void stopClock() { ticker.stop(); }
    // Time spent minimised does not count.
    void setMinimized(bool minimized);
    qint64 gameStartTime() const { return startTime; }
    qint64 gameEndTime() const { return endTime; }

    // While a solution is shown on the board, emptying it is no end of a game.
    void setEndHandling(bool enabled) { endHandling = enabled; }
    // Whether the running game has just reached its end: an empty board or no pair.
    bool hasEnded() const;
    // Stops the clock and judges the game; `record` then enters a qualifying result.
    Result end();
    void record(const Result &result);

signals:
    void clockChanged(const QString &face);

private:
    void tick();
    tlHighscoreEntry entry() const;

    const tlClock &clock;
    tleGameEngine gameEngine;
    QTimer ticker;
    qint64 startTime = 0;
    qint64 endTime = 0;
    qint64 minimizedAt = 0;
    int undoCount = 0;
    int hintCount = 0;
    int findMatchCount = 0;
    int peekCount = 0;
    // Successive hints walk through the possible pairs, across games, for the whole run.
    uint32_t hintCursor = 0;
    bool started = false;
    bool endHandling = true;
};

#endif
