#ifndef TLESOLVERRULES_H
#define TLESOLVERRULES_H

#include "tleSolverBoard.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// What the classes of a position tell about winning orders from it. Every removal takes
// two tiles of one class, so a winning order splits each class into pairs: the class's
// *pairing*; a class of four has three. The rules below tell which pairings no winning
// order can use, which moves some winning order makes first (so they may be made at
// once), and when no winning order is left at all. Each rule is sound: it never rules
// out the last winning order.
//
// Two facts about the board carry them. A move made later in a winning order may be
// made first instead once both its tiles are free, since every later move still finds
// its tiles free. And a tile that lies under another through a chain of tiles, each on
// the layer directly above the next, can only go after it: the chain is broken only
// from the top.
class tleSolverRules
{
public:
    using Partners = tleSolverBoard::Partners;
    using Position = tleSolverBoard::Position;

    // The pairings of a class of four by its members' places: i with j, k with l.
    struct Pairing
    {
        int i, j, k, l;
    };
    static const std::array<Pairing, 3> pairings;
    // The bit of the pair of places i and j among the six pairs of a class.
    static uint8_t pairBit(int i, int j);
    static uint8_t pairsOf(const Pairing &pairing);

    // Per class, the pairs of its members that no winning order from the position
    // makes, as pairBit bits.
    using Facts = std::vector<uint8_t>;

    using ClassPairings = std::pair<int, uint8_t>;  // a class and a set of its pairings

    struct Analysis
    {
        bool lost = false;
        std::vector<tleSolverPair> certain;  // moves some winning order makes first
        tleSolverPair dominant;              // one more such move, found by comparison
        std::vector<tleSolverPair> moves;    // the choices left
        // The classes of four with more than one possible pairing.
        std::vector<ClassPairings> open;
        // Per tile on the board, the places of the partners possible pairings give it.
        std::vector<Partners> partners;
        // Per tile, the partners that were free or gone as it went in the relaxed game.
        std::vector<Partners> met;
    };

    // What probing found of the open classes: the pairings still possible and, for each
    // that passed, the relaxed game that let it, as `met` masks. A game stays good
    // while the pairings it kept to are still allowed, so it spares probing again.
    struct Knowledge
    {
        std::vector<Partners> partners;
        std::vector<ClassPairings> open;
        std::vector<std::array<std::vector<Partners>, 3>> witness;
    };

    explicit tleSolverRules(const tleSolverBoard &board);

    void analyse(const Position &position, const Facts &facts, Analysis &out) const;
    // Makes the moves some winning order makes first, if any wins, until none is left,
    // appending them to `path`, then plays the relaxed game. False when the position is
    // found lost.
    bool settle(Position &position, const Facts &facts, Analysis &out,
                std::vector<tleSolverPair> &path) const;
    // Plays each open pairing in the relaxed game, its pairs held together, and drops
    // those under which even that fails, until nothing changes. False when a class is
    // left with no pairing, which is then `wipedOut`, or when the game fails outright.
    bool propagate(const Position &position, Knowledge &knowledge, int &wipedOut) const;
    // The partners the given pairings of a class allow its members.
    void setPartners(int cls, uint8_t possible, std::vector<Partners> &partners) const;
    Knowledge knowledgeOf(const Analysis &analysis) const;

private:
    void analyseClass(const Position &position, const Facts &facts, int cls, Analysis &out) const;
    void analyseFour(const Position &position, const Facts &facts, int cls, Analysis &out) const;
    void pickDominant(const Position &position, const std::vector<tleSolverPair> &moves,
                      const std::vector<int> &kept, Analysis &out) const;

    const tleSolverBoard &board;
};

#endif
