#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlStdoutCapture.h"
#include "tlTestEnvironment.h"
#include "tlTestLayouts.h"
#include "tleBoard.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QCoreApplication>
#include <random>

namespace {

// The free-tile rule written out plainly from the grid, to hold the board's
// incremental bookkeeping against.
bool occupied(const tleBoard &board, int layer, int x, int y)
{
    const tleTile *tile = board.tileAt(layer, x, y);
    return tile && tile->state == 1;
}

bool plainlyFree(const tleBoard &board, const tleTile *tile)
{
    if (!tile || tile->state != 1)
        return false;
    bool leftTaken = false, rightTaken = false, covered = false;
    for (int dy = -1; dy <= 1; ++dy) {
        leftTaken = leftTaken || occupied(board, tile->layer, tile->x - 2, tile->y + dy);
        rightTaken = rightTaken || occupied(board, tile->layer, tile->x + 2, tile->y + dy);
        for (int dx = -1; dx <= 1; ++dx)
            covered = covered || occupied(board, tile->layer + 1, tile->x + dx, tile->y + dy);
    }
    return !(leftTaken && rightTaken) && !covered;
}

}

class BoardTest : public QObject
{
    Q_OBJECT

private slots:
    void sideNeighboursBlock();
    void tilesAboveBlock();
    void initRefusesUnfitLayouts();
    void pairsInTileOrder();
    void seasonsAndFlowersPair();
    void bookkeepingMatchesThePlainRule_data();
    void bookkeepingMatchesThePlainRule();

private:
    struct Fixture
    {
        std::vector<tleTile> records;
        std::vector<tleTile *> pointers;
        tleBoard board;
    };
    bool build(Fixture &fixture, const QVector<tlTilePosition> &positions,
               const std::vector<uint32_t> &kinds = {});
    QTemporaryDir dir;
};

bool BoardTest::build(Fixture &fixture, const QVector<tlTilePosition> &positions,
                      const std::vector<uint32_t> &kinds)
{
    fixture.records.assign(size_t(positions.size()), tleTile());
    for (size_t i = 0; i < fixture.records.size(); ++i) {
        fixture.records[i].type = i < kinds.size() ? kinds[i] : uint32_t(i);
        fixture.pointers.push_back(&fixture.records[i]);
    }
    return fixture.board.init(tlTestLayouts::write(QDir(dir.path()), QStringLiteral("board"), positions),
                              fixture.pointers);
}

void BoardTest::sideNeighboursBlock()
{
    // A tile with a neighbour half a row lower on the left and half a row higher on the
    // right is blocked; either alone leaves it free. A tile one unit over blocks nothing.
    Fixture f;
    QVERIFY(build(f, {{1, 4, 2}, {1, 2, 3}, {1, 6, 1}, {1, 5, 6}, {1, 0, 8}}));
    tleTile *middle = f.pointers[0];
    // Grid rows count from the layout's smallest y, here 1.
    QCOMPARE(middle->x, 4);
    QCOMPARE(middle->y, 1);
    QVERIFY(!f.board.isFree(middle));
    f.board.removeTile(f.pointers[2]);
    QVERIFY(f.board.isFree(middle));
    f.board.restoreTile(f.pointers[2]);
    f.board.removeTile(f.pointers[1]);
    QVERIFY(f.board.isFree(middle));
    QCOMPARE(f.board.tilesLeft(), 4);
    // The tile at the left edge can only be blocked from above.
    QVERIFY(f.board.isFree(f.pointers[4]));
    QVERIFY(!f.board.isFree(nullptr));
    QVERIFY(!f.board.isFree(f.pointers[1]));
}

void BoardTest::tilesAboveBlock()
{
    Fixture f;
    // Bottom tile at (4,2); one half-shifted up-right on the layer above, one straight
    // above it two layers up, and one on a layer of its own far away.
    QVERIFY(build(f, {{1, 4, 2}, {2, 5, 1}, {3, 4, 2}, {1, 20, 2}, {3, 20, 2}}));
    QCOMPARE(f.board.layerCount(), 3);
    QVERIFY(!f.board.isFree(f.pointers[0]));
    f.board.removeTile(f.pointers[1]);
    QVERIFY2(f.board.isFree(f.pointers[0]), "two layers up does not cover by itself");
    QVERIFY(f.board.isFree(f.pointers[3]));
    QVERIFY(f.board.isFree(f.pointers[2]));  // highest layer: nothing lies on it
}

void BoardTest::initRefusesUnfitLayouts()
{
    const QString unverified = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("unverified"),
                                                    {{1, 0, 0}}, false);
    std::vector<tleTile> records(2);
    std::vector<tleTile *> two{&records[0], &records[1]};
    tleBoard board;
    {
        tlStdoutCapture capture;
        QVERIFY(!board.init(unverified, two));
        QCOMPARE(capture.text(),
                 QStringLiteral("tleBoard::init(): layout file is not verified. Cannot use it.\n"));
    }
    const QString single = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("single"), {{1, 0, 0}});
    {
        tlStdoutCapture capture;
        QVERIFY(!board.init(single, two));
        QCOMPARE(capture.text(), QStringLiteral("tleBoard::init(): number of tiles in layout does not "
                                                "match number of tiles received.\n"));
    }
    QVERIFY(!board.initialized());
    tleTilePairList pairs{{nullptr, nullptr}};
    QCOMPARE(board.possiblePairs(pairs), 0u);
    QCOMPARE(pairs.size(), size_t(1));  // left untouched
    {
        tlStdoutCapture capture;
        QVERIFY(!board.init(dir.filePath(QStringLiteral("absent.tllf")), two));
        QVERIFY(capture.text().endsWith(
            QStringLiteral("tleBoard::init(): failed to open file '%1'.\n").arg(dir.filePath(QStringLiteral("absent.tllf")))));
    }
}

void BoardTest::pairsInTileOrder()
{
    // Three tiles of kind 5, the middle one covered by a tile of kind 9.
    Fixture f;
    QVERIFY(build(f, {{1, 0, 0}, {1, 10, 0}, {1, 20, 0}, {2, 10, 0}}, {5, 5, 5, 9}));
    tleTilePairList pairs;
    QCOMPARE(f.board.possiblePairs(pairs), 1u);
    QCOMPARE(pairs, (tleTilePairList{{f.pointers[0], f.pointers[2]}}));
    QCOMPARE(f.board.pairCount(), 1u);

    f.board.removeTile(f.pointers[3]);
    QCOMPARE(f.board.possiblePairs(pairs), 3u);
    const tleTilePairList expected{{f.pointers[0], f.pointers[1]},
                                   {f.pointers[0], f.pointers[2]},
                                   {f.pointers[1], f.pointers[2]}};
    QCOMPARE(pairs, expected);
    for (unsigned k = 0; k < 3; ++k)
        QCOMPARE(f.board.pairAt(k), expected[k]);
    QCOMPARE(f.board.pairAt(3), tleTilePair(nullptr, nullptr));
    tleTilePairList again;
    f.board.possiblePairs(again);
    QCOMPARE(again, pairs);

    // With every tile gone nothing pairs.
    for (tleTile *tile : f.pointers) {
        if (tile->state == 1)
            f.board.removeTile(tile);
    }
    QCOMPARE(f.board.tilesLeft(), 0);
    QCOMPARE(f.board.possiblePairs(pairs), 0u);
}

void BoardTest::seasonsAndFlowersPair()
{
    Fixture f;
    // Spring, Winter, Flower 1, Flower 4, White Dragon, Spring: all free.
    QVERIFY(build(f, {{1, 0, 0}, {1, 10, 0}, {1, 20, 0}, {1, 30, 0}, {1, 40, 0}, {1, 50, 0}},
                  {34, 37, 38, 41, 33, 34}));
    tleTilePairList pairs;
    QCOMPARE(f.board.possiblePairs(pairs), 4u);
    const tleTilePairList expected{{f.pointers[0], f.pointers[1]},
                                   {f.pointers[0], f.pointers[5]},
                                   {f.pointers[1], f.pointers[5]},
                                   {f.pointers[2], f.pointers[3]}};
    QCOMPARE(pairs, expected);
}

void BoardTest::bookkeepingMatchesThePlainRule_data()
{
    QTest::addColumn<QString>("layout");
    for (const QString &name : tlSettings::builtInLayouts())
        QTest::newRow(qPrintable(name)) << name;
}

void BoardTest::bookkeepingMatchesThePlainRule()
{
    // Random play with undos on a real layout: after every step the board's free tiles,
    // its pair count and every indexed pair equal what the plain rule gives.
    QFETCH(QString, layout);
    tleGameEngine engine;
    engine.seed(7);
    QVERIFY(engine.init(tlLayoutLocator::findLayoutFile(layout, 0)));
    engine.shuffleTiles();
    const tleBoard &board = *engine.board();
    std::mt19937 choose(11);
    for (int step = 0; step < 200 && !engine.isGameOver(); ++step) {
        tleTilePairList pairs;
        const unsigned count = board.possiblePairs(pairs);
        for (const tleTile *tile : board.tiles())
            QCOMPARE(board.isFree(tile), plainlyFree(board, tile));
        unsigned plainCount = 0;
        for (size_t i = 0; i < board.tiles().size(); ++i) {
            for (size_t j = i + 1; j < board.tiles().size(); ++j) {
                const tleTile *a = board.tiles()[i];
                const tleTile *b = board.tiles()[j];
                plainCount += plainlyFree(board, a) && plainlyFree(board, b) && tilesMatch(a, b);
            }
        }
        QCOMPARE(count, plainCount);
        QCOMPARE(board.pairCount(), count);
        for (unsigned k = 0; k < count; ++k)
            QCOMPARE(board.pairAt(k), pairs[k]);
        if (choose() % 4 == 0 && !engine.history().empty()) {
            engine.undo();
        } else if (count > 0) {
            const tleTilePair pick = pairs[choose() % count];
            QVERIFY(engine.removePair(pick.first, pick.second));
        }
    }

    // Random play takes its pairs the quick way: every one of them must be a legal
    // removal by the checked way, leaving the same board.
    int left = 0;
    unsigned plays = 0;
    engine.solve(left, plays, 1, nullptr);
    tleGameEngine checked;
    QVERIFY(checked.init(tlLayoutLocator::findLayoutFile(layout, 0)));
    for (size_t i = 0; i < engine.tiles().size(); ++i)
        checked.tiles()[i]->type = engine.tiles()[i]->type;
    const auto twin = [&](const tleTile *tile) {
        return checked.tiles()[size_t(tile - engine.tiles().front())];
    };
    for (const tleTilePair &pair : engine.history())
        QVERIFY(checked.removePair(twin(pair.first), twin(pair.second)));
    QCOMPARE(checked.tilesLeft(), engine.tilesLeft());
    for (const tleTile *tile : board.tiles())
        QCOMPARE(checked.board()->isFree(twin(tile)), board.isFree(tile));
}

TILVANE_TEST_MAIN(BoardTest, QCoreApplication)
#include "tst_board.moc"
