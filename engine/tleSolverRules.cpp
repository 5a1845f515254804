#include "tleSolverRules.h"

namespace {
constexpr int noTile = -1;
}

const std::array<tleSolverRules::Pairing, 3> tleSolverRules::pairings{{{0, 1, 2, 3}, {0, 2, 1, 3}, {0, 3, 1, 2}}};

uint8_t tleSolverRules::pairBit(int i, int j)
{
    // The six pairs of four places: (0, 1) is 0, (0, 2) 1, (0, 3) 2, (1, 2) 3, (1, 3) 4
    // and (2, 3) 5; a place is never paired with itself.
    static const int ids[tleSolverBoard::maxClassSize][tleSolverBoard::maxClassSize] = {
        {0, 0, 1, 2}, {0, 0, 3, 4}, {1, 3, 0, 5}, {2, 4, 5, 0}};
    return uint8_t(1u << unsigned(ids[i][j]));
}

uint8_t tleSolverRules::pairsOf(const Pairing &pairing)
{
    return uint8_t(pairBit(pairing.i, pairing.j) | pairBit(pairing.k, pairing.l));
}

tleSolverRules::tleSolverRules(const tleSolverBoard &solverBoard)
    : board(solverBoard)
{
}

void tleSolverRules::analyse(const Position &position, const Facts &facts, Analysis &out) const
{
    out.lost = false;
    out.certain.clear();
    out.dominant = tleSolverPair();
    out.moves.clear();
    out.open.clear();
    out.partners.assign(size_t(board.tileCount()), 0);
    for (int cls = 0; cls < board.classCount() && !out.lost; ++cls)
        analyseClass(position, facts, cls, out);
}

void tleSolverRules::analyseClass(const Position &position, const Facts &facts, int cls,
                                  Analysis &out) const
{
    const std::vector<int> &members = board.classMembers(cls);
    std::array<int, tleSolverBoard::maxClassSize> present{};
    int count = 0;
    for (int place = 0; place < int(members.size()); ++place) {
        if (position.onBoard.test(members[size_t(place)]))
            present[size_t(count++)] = place;
    }
    // Tiles go in twos of one class: an odd number can never all go.
    if (count % 2 != 0) {
        out.lost = true;
        return;
    }
    if (count == tleSolverBoard::maxClassSize) {
        analyseFour(position, facts, cls, out);
        return;
    }
    if (count == 0)
        return;
    // The last two of a class go together: never when that pair is known to fail or
    // when one must follow the other. Both free, they may go first.
    const int a = members[size_t(present[0])];
    const int b = members[size_t(present[1])];
    out.partners[size_t(a)] = tleSolverBoard::placeBit(present[1]);
    out.partners[size_t(b)] = tleSolverBoard::placeBit(present[0]);
    if (facts[size_t(cls)] & pairBit(present[0], present[1])) {
        out.lost = true;
    } else if (position.free.test(a) && position.free.test(b)) {
        out.certain.push_back({a, b});
    } else if (board.mustPrecede(a, position.onBoard).test(b)
               || board.mustPrecede(b, position.onBoard).test(a)) {
        out.lost = true;
    }
}

// A class of four on the board. A pairing is impossible when one of its pairs is known
// to fail, when a pair has a tile that must follow the other, or when each pair has a
// tile that must follow a tile of the other pair (neither pair could go first).
void tleSolverRules::analyseFour(const Position &position, const Facts &facts, int cls,
                                 Analysis &out) const
{
    const std::vector<int> &members = board.classMembers(cls);
    std::array<tleSolverBits, tleSolverBoard::maxClassSize> before;  // what each must follow
    std::array<bool, tleSolverBoard::maxClassSize> free{};
    int freeCount = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        free[i] = position.free.test(members[i]);
        freeCount += free[i] ? 1 : 0;
        if (!free[i])
            before[i] = board.mustPrecede(members[i], position.onBoard);
    }
    const auto follows = [&](int i, int j) { return before[size_t(i)].test(members[size_t(j)]); };
    const auto pairPossible = [&](int i, int j) {
        return !(facts[size_t(cls)] & pairBit(i, j)) && !follows(i, j) && !follows(j, i);
    };
    const auto pairWaits = [&](int i, int j, int k, int l) {
        return follows(i, k) || follows(i, l) || follows(j, k) || follows(j, l);
    };

    uint8_t possible = 0;
    std::vector<tleSolverPair> freePairs;  // the pair of free tiles of possible pairings
    std::vector<int> kept;                 // the free tile each such move leaves
    for (size_t p = 0; p < pairings.size(); ++p) {
        const Pairing &q = pairings[p];
        if (!pairPossible(q.i, q.j) || !pairPossible(q.k, q.l)
            || (pairWaits(q.i, q.j, q.k, q.l) && pairWaits(q.k, q.l, q.i, q.j))) {
            continue;
        }
        possible = uint8_t(possible | (1u << p));
        for (const std::array<int, 2> half : {std::array<int, 2>{q.i, q.j}, std::array<int, 2>{q.k, q.l}}) {
            out.partners[size_t(members[size_t(half[0])])] |= tleSolverBoard::placeBit(half[1]);
            out.partners[size_t(members[size_t(half[1])])] |= tleSolverBoard::placeBit(half[0]);
            if (!free[size_t(half[0])] || !free[size_t(half[1])])
                continue;
            freePairs.push_back({members[size_t(half[0])], members[size_t(half[1])]});
            kept.push_back(noTile);
            for (int m = 0; m < tleSolverBoard::maxClassSize; ++m) {
                if (free[size_t(m)] && m != half[0] && m != half[1])
                    kept.back() = members[size_t(m)];
            }
        }
    }
    if (possible == 0) {
        out.lost = true;
        return;
    }
    // All four free: some winning order makes the class's two moves first, in any
    // possible pairing.
    if (freeCount == tleSolverBoard::maxClassSize) {
        const Pairing &q = pairings[size_t(__builtin_ctz(possible))];
        out.certain.push_back({members[size_t(q.i)], members[size_t(q.j)]});
        out.certain.push_back({members[size_t(q.k)], members[size_t(q.l)]});
        return;
    }
    // One possible pairing: every winning order makes its pairs, and a free one can
    // go first.
    if (!(possible & (possible - 1))) {
        if (!freePairs.empty())
            out.certain.push_back(freePairs.front());
        return;
    }
    out.open.emplace_back(cls, possible);
    if (freePairs.size() > 1)
        pickDominant(position, freePairs, kept, out);
    else
        out.moves.insert(out.moves.end(), freePairs.begin(), freePairs.end());
}

// Three of a class free, the fourth not: the moves differ only in the free tile they
// leave, which the fourth must then pair with. Of two such tiles, one that blocks no
// more than the other is at least as good to leave: a winning order that leaves the
// other wins with the two exchanged. When one move beats all others it is made.
void tleSolverRules::pickDominant(const Position &position, const std::vector<tleSolverPair> &moves,
                                  const std::vector<int> &kept, Analysis &out) const
{
    std::vector<size_t> best;
    for (size_t m = 0; m < moves.size(); ++m) {
        bool beaten = false;
        for (size_t other = 0; other < moves.size() && !beaten; ++other) {
            if (other == m || !board.leavesNoWorse(kept[other], kept[m], position.onBoard))
                continue;
            // Of two equally good, the first stays.
            beaten = other < m || !board.leavesNoWorse(kept[m], kept[other], position.onBoard);
        }
        if (!beaten)
            best.push_back(m);
    }
    if (best.size() == 1) {
        out.dominant = moves[best.front()];
        return;
    }
    for (size_t m : best)
        out.moves.push_back(moves[m]);
}

bool tleSolverRules::settle(Position &position, const Facts &facts, Analysis &out,
                            std::vector<tleSolverPair> &path) const
{
    for (;;) {
        if (!position.onBoard.any())
            return true;
        analyse(position, facts, out);
        if (out.lost)
            return false;
        if (!out.certain.empty()) {
            for (tleSolverPair pair : out.certain) {
                board.take(position, pair);
                path.push_back(pair);
            }
            continue;
        }
        if (out.dominant.a == noTile)
            break;
        board.take(position, out.dominant);
        path.push_back(out.dominant);
    }
    out.met.assign(size_t(board.tileCount()), 0);
    return board.relaxedClears(position, out.partners, position.onBoard, &out.met);
}

void tleSolverRules::setPartners(int cls, uint8_t possible, std::vector<Partners> &partners) const
{
    const std::vector<int> &members = board.classMembers(cls);
    for (int m : members)
        partners[size_t(m)] = 0;
    for (size_t p = 0; p < pairings.size(); ++p) {
        if (!(possible & (1u << p)))
            continue;
        const Pairing &q = pairings[p];
        for (const std::array<int, 2> half : {std::array<int, 2>{q.i, q.j}, std::array<int, 2>{q.k, q.l}}) {
            partners[size_t(members[size_t(half[0])])] |= tleSolverBoard::placeBit(half[1]);
            partners[size_t(members[size_t(half[1])])] |= tleSolverBoard::placeBit(half[0]);
        }
    }
}

tleSolverRules::Knowledge tleSolverRules::knowledgeOf(const Analysis &analysis) const
{
    return Knowledge{analysis.partners, analysis.open, {}};
}

bool tleSolverRules::propagate(const Position &position, Knowledge &knowledge, int &wipedOut) const
{
    std::vector<Partners> &partners = knowledge.partners;
    if (knowledge.witness.size() != knowledge.open.size())
        knowledge.witness.assign(knowledge.open.size(), {});
    const auto stillGood = [&](const std::vector<Partners> &game) {
        if (game.empty())
            return false;
        for (size_t t = 0; t < game.size(); ++t) {
            if (game[t] && !(game[t] & partners[t]))
                return false;
        }
        return true;
    };
    std::vector<Partners> whole(size_t(board.tileCount()));
    std::vector<Partners> probed(size_t(board.tileCount()));
    for (bool changed = true; changed;) {
        changed = false;
        std::fill(whole.begin(), whole.end(), 0);
        if (!board.relaxedClears(position, partners, position.onBoard, &whole))
            return false;
        for (size_t c = 0; c < knowledge.open.size(); ++c) {
            const int cls = knowledge.open[c].first;
            uint8_t &possible = knowledge.open[c].second;
            if (!(possible & (possible - 1)))
                continue;
            const std::vector<int> &members = board.classMembers(cls);
            tleSolverBits watched;
            for (int m : members)
                watched.set(m);
            for (size_t p = 0; p < pairings.size(); ++p) {
                if (!(possible & (1u << p)))
                    continue;
                setPartners(cls, uint8_t(1u << p), partners);
                std::vector<Partners> &witness = knowledge.witness[c][p];
                if (stillGood(witness))
                    continue;
                if (stillGood(whole)) {
                    witness = whole;
                    continue;
                }
                std::fill(probed.begin(), probed.end(), 0);
                if (board.relaxedClears(position, partners, watched, &probed)) {
                    witness = probed;
                } else {
                    possible = uint8_t(possible & ~(1u << p));
                    changed = true;
                }
            }
            setPartners(cls, possible, partners);
            if (possible == 0) {
                wipedOut = cls;
                return false;
            }
        }
    }
    return true;
}
