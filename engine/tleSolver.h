#ifndef TLESOLVER_H
#define TLESOLVER_H

#include "tleTile.h"

#include <QtGlobal>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class tleBoard;
struct tleSolverTile;

// Decides whether a position can be cleared, with every kind known: winnable (with a
// removal order that clears the board), not winnable, or unknown when the caller's node
// or time limit was reached or the caller cancelled. Every winnable answer comes with an
// order that has been replayed tile by tile before it is returned.
//
// The solver takes a copy of the position when it is made, so `solve` may run on a
// worker thread while the game goes on with its own board; the pairs it returns point
// to the board's tile records and are only named, never read, by the solver.
//
// Boards of more than maxTiles tiles, and positions with more than four tiles of one
// matching class (the tile set has four of each), are not decided: unknown.
class tleSolver
{
public:
    enum class Answer { winnable, notWinnable, unknown };

    // Far more than any random deal of the built-in layouts needs (a few thousand at
    // most), yet a bound on the time a position could take.
    static constexpr quint64 defaultNodeLimit = 100000;
    static constexpr int maxTiles = 192;

    struct Limits
    {
        quint64 nodes = defaultNodeLimit;
        qint64 milliseconds = 0;  // 0: no time limit
    };

    struct Result
    {
        Answer answer = Answer::unknown;
        tleTilePairList order;  // for winnable: the pairs to remove, first first
        quint64 nodes = 0;      // positions and choices the search looked at
    };

    // Milliseconds since any fixed moment; the solver measures its time limit with it.
    using Clock = std::function<qint64()>;

    // The tiles of `board` whose `state` is 1 make the position.
    explicit tleSolver(const tleBoard &board);
    ~tleSolver();
    tleSolver(const tleSolver &other);
    tleSolver &operator=(const tleSolver &other);

    // Puts the two tiles of a removed pair back into the position, so that an earlier
    // position of a game can be decided from the board of a later one.
    void putBack(const tleTilePair &pair);

    // Decides the position. `cancel`, when given, may be set from another thread; the
    // search then ends soon with unknown. Without a clock the system's steady clock is used.
    Result solve(const Limits &limits, const std::atomic<bool> *cancel = nullptr,
                 const Clock &clock = Clock()) const;

    // Whether removing `order` pair by pair from the position clears it, each pair
    // matching and free when it is taken: the board's free rule replayed on the tiles'
    // neighbours, apart from everything the search computes.
    bool clears(const tleTilePairList &order) const;

private:
    Answer decide(std::vector<std::pair<int, int>> &moves, quint64 &nodes, const Limits &limits,
                  const std::atomic<bool> *cancel, const Clock &clock) const;
    int indexOf(const tleTile *record) const;
    bool isFree(int index, const std::vector<bool> &onBoard) const;

    std::vector<tleTile *> records;  // the board's records, to name the pairs found
    std::vector<uint32_t> kinds;
    std::vector<bool> onBoard;
    std::vector<tleSolverTile> tiles;
    int classCount = 0;
    bool decidable = false;
};

#endif
