#include "tleGameEngine.h"

#include "tlDiagnostics.h"
#include "tleTileKinds.h"

#include <algorithm>
#include <limits>

namespace {
// A solvable deal gives up after this many failed trial plays.
const int lastArrangeAttempt = 20;
}

tleGameEngine::tleGameEngine()
    : rng(std::random_device{}())
{
}

tleGameEngine::~tleGameEngine() = default;

void tleGameEngine::seed(uint32_t value)
{
    rng.seed(value);
}

bool tleGameEngine::boardReady() const
{
    return gameBoard && gameBoard->initialized();
}

std::vector<uint32_t> tleGameEngine::fullSet()
{
    std::vector<uint32_t> set;
    const int regularTiles = int(tle::regularKindCount) * tle::copiesOfRegularKind;
    for (int i = 0; i < tle::setSize; ++i) {
        set.push_back(i < regularTiles ? uint32_t(i) % tle::regularKindCount
                                       : tle::firstSeason + uint32_t(i - regularTiles));
    }
    return set;
}

bool tleGameEngine::isFullSet(std::vector<uint32_t> kinds)
{
    std::sort(kinds.begin(), kinds.end());
    std::vector<uint32_t> expected = fullSet();
    std::sort(expected.begin(), expected.end());
    return kinds == expected;
}

bool tleGameEngine::init(const QString &layoutFile)
{
    gameBoard = std::make_unique<tleBoard>();
    // The same size every time, so the buffer and every pointer into it stay put.
    tileRecords.assign(size_t(tle::setSize), tleTile());
    tilePointers.clear();
    const std::vector<uint32_t> set = fullSet();
    for (size_t i = 0; i < tileRecords.size(); ++i) {
        tileRecords[i].type = set[i];
        tilePointers.push_back(&tileRecords[i]);
    }
    removed.clear();
    lastUndone = {nullptr, nullptr};

    if (!gameBoard->init(layoutFile, tilePointers)) {
        tl::diagnose("tleGameEngine::init",
                     {QStringLiteral("The game engine could not be be initialized. "),
                      QStringLiteral("This is possibly due to an invalid layout file.")});
        return false;
    }
    removed.clear();
    lastUndone = {nullptr, nullptr};
    return true;
}

void tleGameEngine::resetGame()
{
    if (gameBoard) {
        // When the history accounts for every tile off the board, which is how play
        // goes, the full board is put back at once; random play resets thousands of
        // times a second.
        const size_t offBoard = size_t(int64_t(gameBoard->tileCount()) - gameBoard->tilesLeft());
        if (gameBoard->initialized() && 2 * removed.size() == offBoard) {
            gameBoard->restoreAll();
        } else {
            for (const tleTilePair &pair : removed) {
                gameBoard->restoreTile(pair.first);
                gameBoard->restoreTile(pair.second);
            }
        }
    }
    removed.clear();
    lastUndone = {nullptr, nullptr};
}

uint32_t tleGameEngine::uniformIndex(uint32_t n)
{
    if (n <= 1)
        return 0;
    // 2^32 is a multiple of n exactly when n is a power of two: every draw is fair.
    if ((n & (n - 1)) == 0)
        return rng() % n;
    const uint32_t limit = std::numeric_limits<uint32_t>::max() / n;
    uint32_t v = rng();
    while (v / n >= limit)
        v = rng();
    return v % n;
}

template <typename T> void tleGameEngine::shuffle(std::vector<T> &items)
{
    for (size_t i = 1; i < items.size(); ++i)
        std::swap(items[i], items[uniformIndex(uint32_t(i + 1))]);
}

std::vector<uint32_t> tleGameEngine::kinds() const
{
    std::vector<uint32_t> result;
    for (const tleTile &tile : tileRecords)
        result.push_back(tile.type);
    return result;
}

void tleGameEngine::setKinds(const std::vector<uint32_t> &newKinds)
{
    for (size_t i = 0; i < tileRecords.size() && i < newKinds.size(); ++i)
        tileRecords[i].type = newKinds[i];
    if (gameBoard)
        gameBoard->kindsChanged();
}

void tleGameEngine::shuffleTiles()
{
    if (!boardReady())
        return;
    // Every deal starts from the whole set, whatever kinds a game file left behind.
    std::vector<uint32_t> dealt = fullSet();
    shuffle(dealt);
    setKinds(dealt);
}

void tleGameEngine::playRandomly()
{
    if (!boardReady())
        return;
    while (gameBoard->tilesLeft() > 0) {
        const unsigned count = gameBoard->pairCount();
        if (count == 0)
            return;
        // The board hands out only free matching pairs, so removePair's checks can go.
        removed.push_back(gameBoard->removePairAt(uniformIndex(count)));
    }
}

bool tleGameEngine::arrangeTiles()
{
    if (!boardReady()) {
        tl::diagnose("tleGameEngine::arrangeTiles", {QStringLiteral("no layout is loaded.")});
        return false;
    }
    resetGame();
    std::vector<uint32_t> sorted = fullSet();
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (size_t i = 0; i + 1 < sorted.size(); i += 2)
        pairs.emplace_back(sorted[i], sorted[i + 1]);
    shuffle(pairs);

    // With one kind on every tile any two free tiles match, so a play that clears the
    // board is a removal order that any deal of matching pairs along it can follow.
    const std::vector<uint32_t> before = kinds();
    setKinds(std::vector<uint32_t>(tileRecords.size(), tle::bamboo1));
    int attempts = 0;
    while (tilesLeft() > 0) {
        playRandomly();
        ++attempts;
        if (tilesLeft() == 0)
            break;
        resetGame();
        if (attempts > lastArrangeAttempt) {
            tl::diagnose("tleGameEngine::arrangeTiles",
                         {QStringLiteral("cannot build a winnable game.")});
            setKinds(before);
            return false;
        }
    }
    for (size_t i = 0; i < removed.size() && i < pairs.size(); ++i) {
        removed[i].first->type = pairs[i].first;
        removed[i].second->type = pairs[i].second;
    }
    resetGame();
    gameBoard->kindsChanged();
    return true;
}

bool tleGameEngine::removePair(tleTile *a, tleTile *b)
{
    if (!a || !b || a == b || a->state != 1 || b->state != 1 || !boardReady()
        || !tilesMatch(a, b) || !gameBoard->isFree(a) || !gameBoard->isFree(b)) {
        return false;
    }
    gameBoard->removeTile(a);
    gameBoard->removeTile(b);
    removed.emplace_back(a, b);
    return true;
}

tleTilePair tleGameEngine::undo()
{
    if (removed.empty())
        return {nullptr, nullptr};
    lastUndone = removed.back();
    removed.pop_back();
    gameBoard->restoreTile(lastUndone.first);
    gameBoard->restoreTile(lastUndone.second);
    return lastUndone;
}

int tleGameEngine::tilesLeft() const
{
    return gameBoard ? gameBoard->tilesLeft() : 0;
}

bool tleGameEngine::isGameOver() const
{
    if (!boardReady())
        return true;
    return gameBoard->pairCount() == 0 || tilesLeft() == 0;
}
