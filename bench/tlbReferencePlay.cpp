#include "tlbReferencePlay.h"

#include "tleTileKinds.h"

#include <algorithm>
#include <limits>

tlbReferencePlay::tlbReferencePlay(const std::vector<tleTile *> &boardTiles)
{
    for (const tleTile *tile : boardTiles) {
        tiles.push_back({tile->type, tile->layer, tile->x, tile->y});
        layers = std::max(layers, tile->layer + 1);
        width = std::max(width, tile->x + 1);
        height = std::max(height, tile->y + 1);
    }
    grid.assign(size_t(layers * width * height), -1);
    for (size_t i = 0; i < tiles.size(); ++i)
        grid[size_t((tiles[i].layer * width + tiles[i].x) * height + tiles[i].y)] = int(i);
}

bool tlbReferencePlay::occupied(int layer, int x, int y) const
{
    if (layer < 0 || layer >= layers || x < 0 || x >= width || y < 0 || y >= height)
        return false;
    const int index = grid[size_t((layer * width + x) * height + y)];
    return index >= 0 && onBoard[size_t(index)];
}

bool tlbReferencePlay::isFree(int index) const
{
    if (!onBoard[size_t(index)])
        return false;
    const Tile &tile = tiles[size_t(index)];
    bool leftTaken = false, rightTaken = false;
    for (int dy = -1; dy <= 1; ++dy) {
        leftTaken = leftTaken || occupied(tile.layer, tile.x - 2, tile.y + dy);
        rightTaken = rightTaken || occupied(tile.layer, tile.x + 2, tile.y + dy);
    }
    if (leftTaken && rightTaken)
        return false;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (occupied(tile.layer + 1, tile.x + dx, tile.y + dy))
                return false;
        }
    }
    return true;
}

std::vector<std::pair<int, int>> tlbReferencePlay::removablePairs() const
{
    std::vector<int> freeTiles;
    for (int i = 0; i < int(tiles.size()); ++i) {
        if (isFree(i))
            freeTiles.push_back(i);
    }
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i + 1 < freeTiles.size(); ++i) {
        for (size_t j = i + 1; j < freeTiles.size(); ++j) {
            if (tle::kindsMatch(tiles[size_t(freeTiles[i])].kind, tiles[size_t(freeTiles[j])].kind))
                pairs.emplace_back(freeTiles[i], freeTiles[j]);
        }
    }
    return pairs;
}

uint32_t tlbReferencePlay::uniformIndex(std::mt19937 &random, uint32_t n)
{
    if (n == 1)
        return 0;
    const uint64_t range = uint64_t(1) << 32;
    uint32_t v = random();
    if (range % n != 0) {
        while (v / n >= std::numeric_limits<uint32_t>::max() / n)
            v = random();
    }
    return v % n;
}

std::vector<std::pair<int, int>> tlbReferencePlay::play(std::mt19937 &random)
{
    onBoard.assign(tiles.size(), true);
    std::vector<std::pair<int, int>> removed;
    for (;;) {
        const std::vector<std::pair<int, int>> pairs = removablePairs();
        if (pairs.empty())
            return removed;
        const std::pair<int, int> pick = pairs[uniformIndex(random, uint32_t(pairs.size()))];
        onBoard[size_t(pick.first)] = false;
        onBoard[size_t(pick.second)] = false;
        removed.push_back(pick);
    }
}
