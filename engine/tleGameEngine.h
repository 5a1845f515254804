#ifndef TLEGAMEENGINE_H
#define TLEGAMEENGINE_H

#include "tleBoard.h"
#include "tleTile.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

class QXmlStreamAttributes;
class QXmlStreamReader;

// What the solution search reports to while it runs; the window fills it with its
// progress dialog, so that the engine itself needs no widgets.
class tleSearchProgress
{
public:
    virtual ~tleSearchProgress() = default;
    // Shows that `iteration` plays are done and lets pending events be handled once.
    virtual void iterationDone(int iteration) = 0;
    virtual bool wasCanceled() const = 0;
};

// The model of one game: the 144 tiles, the board, the deal, the history of removed
// pairs and the one random generator every random decision draws from.
class tleGameEngine : public QObject
{
    Q_OBJECT

public:
    // Game files are a few kilobytes; anything far larger is not one.
    static constexpr qint64 maxGameFileBytes = 1 << 20;

    tleGameEngine();
    ~tleGameEngine() override;

    // Repeatable deals for tests, benchmarks and the command-line companion; the game
    // itself keeps the seed it was given by the platform.
    void seed(uint32_t value);

    bool init(const QString &layoutFile);
    void resetGame();
    void shuffleTiles();
    bool arrangeTiles();
    bool removePair(tleTile *a, tleTile *b);
    tleTilePair undo();

    int tilesLeft() const;
    bool isGameOver() const;
    const tleTilePairList &history() const { return removed; }
    tleTilePair lastUndonePair() const { return lastUndone; }
    const std::vector<tleTile *> &tiles() const { return tilePointers; }
    const tleBoard *board() const { return gameBoard.get(); }

    void solve(int &minTilesLeft, unsigned &iterations, int maxIterations,
               tleSearchProgress *progress);
    QString solutionText();

    bool save(const QString &fileName) const;
    bool open(const QString &gameFile, const QString &layoutFile);
    bool peek(const QString &gameFile, QString &layoutName, uint32_t &checksum) const;

    // The kinds of a whole tile set in the order a fresh board holds them, and whether
    // `kinds` is such a set in any order.
    static std::vector<uint32_t> fullSet();
    static bool isFullSet(std::vector<uint32_t> kinds);

private:
    // What a game is, kept aside while a file is read so that a file that cannot be
    // played leaves the running game exactly as it was.
    struct Game
    {
        std::unique_ptr<tleBoard> board;
        std::vector<tleTile> records;
        tleTilePairList removed;
        tleTilePair lastUndone{nullptr, nullptr};
    };
    Game takeGame();
    void restoreGame(Game &&game);
    bool readKinds(const QString &gameFile);
    void readTile(QXmlStreamReader &xml, const QXmlStreamAttributes &attributes,
                  std::vector<bool> &named);

    bool boardReady() const;
    uint32_t uniformIndex(uint32_t n);
    template <typename T> void shuffle(std::vector<T> &items);
    void playRandomly();
    std::vector<uint32_t> kinds() const;
    void setKinds(const std::vector<uint32_t> &kinds);

    std::unique_ptr<tleBoard> gameBoard;
    std::vector<tleTile> tileRecords;  // never resized between inits: pointers stay valid
    std::vector<tleTile *> tilePointers;
    tleTilePairList removed;
    tleTilePair lastUndone{nullptr, nullptr};
    std::mt19937 rng;
    QString report;
};

#endif
