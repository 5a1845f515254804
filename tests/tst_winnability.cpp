#include "tlSettings.h"
#include "tlTestClock.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestGames.h"
#include "tlTestLayouts.h"
#include "tlgGame.h"
#include "tlgWinnability.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QThreadPool>

namespace {

using Answer = tleSolver::Answer;

// Every tile free but a stack of three at the first place: engine tiles 0 (bottom),
// 1 and 2 (top). Whatever lies in the stack decides whether a deal can be won.
QVector<tlTilePosition> stackedLayout()
{
    QVector<tlTilePosition> positions = tlTestLayouts::scattered();
    positions[1] = {2, positions[0].x, positions[0].y};
    positions[2] = {3, positions[0].x, positions[0].y};
    return positions;
}

const uint32_t stackedKind = 0;
const size_t stackHeight = 3;

}

class WinnabilityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void analysisFindsTheLastWinnablePosition();
    void winningMoveIsCountedAsAHint();
    void onlyTheLatestDecisionIsTold();

private:
    // Deals with the tiles of `stackedKind` moved onto the engine tiles `places`, the
    // other tiles of that kind free.
    void dealWithKindAt(const std::vector<int> &places);
    // Removes two free tiles of `kind` outside the stack.
    void removeFreePair(uint32_t kind);

    QTemporaryDir dir;
    QString layoutFile;
    tlTestClock clock;
    std::unique_ptr<tlgGame> game;
};

void WinnabilityTest::initTestCase()
{
    tlSettings::instance().readSettings();
    layoutFile = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("Stacked"), stackedLayout());
}

void WinnabilityTest::init()
{
    game = std::make_unique<tlgGame>(clock);
    game->engine().seed(1);
    QVERIFY(game->engine().init(layoutFile));
    game->engine().shuffleTiles();
    game->start();
}

void WinnabilityTest::dealWithKindAt(const std::vector<int> &places)
{
    std::vector<uint32_t> kinds = kindsOf(game->engine());
    // Swap the kind in from the next of its tiles not yet placed.
    for (size_t placed = 0; placed < places.size(); ++placed) {
        const auto unplaced = [&](size_t j) {
            return std::find(places.begin(), places.begin() + long(placed), int(j)) == places.begin() + long(placed);
        };
        size_t j = 0;
        while (kinds[j] != stackedKind || !unplaced(j))
            ++j;
        std::swap(kinds[j], kinds[size_t(places[placed])]);
    }
    // The rest of the kind lies outside the stack.
    for (size_t stacked = 0; stacked < stackHeight; ++stacked) {
        if (kinds[stacked] != stackedKind || std::count(places.begin(), places.end(), int(stacked)))
            continue;
        size_t j = stackHeight;
        while (kinds[j] == stackedKind)
            ++j;
        std::swap(kinds[j], kinds[stacked]);
    }
    // Through a game file, as a player's deal comes in.
    const QString gameFile = dir.filePath(QStringLiteral("deal.tlgf"));
    QVERIFY(game->engine().save(gameFile));
    const QString text = QString::fromUtf8(readTestFile(gameFile));
    int tile = 0;
    QRegularExpressionMatchIterator types =
        QRegularExpression(QStringLiteral("type=\"\\d+\"")).globalMatch(text);
    QString rewritten;
    int last = 0;
    while (types.hasNext()) {
        const QRegularExpressionMatch match = types.next();
        rewritten += text.mid(last, match.capturedStart() - last)
                     + QStringLiteral("type=\"%1\"").arg(kinds[size_t(tile++)]);
        last = match.capturedEnd();
    }
    rewritten += text.mid(last);
    writeTestFile(QDir(dir.path()), QStringLiteral("deal.tlgf"), rewritten.toUtf8());
    QVERIFY(game->engine().open(gameFile, layoutFile));
    QCOMPARE(kindsOf(game->engine()), kinds);
}

void WinnabilityTest::removeFreePair(uint32_t kind)
{
    std::vector<tleTile *> free;
    for (tleTile *tile : game->engine().tiles()) {
        if (tile->type == kind && tile->state == 1 && game->engine().board()->isFree(tile) && tile->layer == 0
            && !(tile->x == 0 && tile->y == 0))
            free.push_back(tile);
    }
    QVERIFY(free.size() >= 2);
    QVERIFY(game->engine().removePair(free[0], free[1]));
}

void WinnabilityTest::analysisFindsTheLastWinnablePosition()
{
    // Two of the kind under the top tile: both must pair with the free two, so taking
    // the free two together loses the game.
    dealWithKindAt({0, 1});
    QCOMPARE(int(game->analysePosition().answer), int(Answer::winnable));
    removeFreePair(stackedKind);
    tlgGame::Analysis analysis = game->analysePosition();
    QCOMPARE(int(analysis.answer), int(Answer::notWinnable));
    QCOMPARE(analysis.movesBack, 1);
    removeFreePair(stackedKind + 1);
    removeFreePair(stackedKind + 2);
    QCOMPARE(game->analysePosition().movesBack, 3);

    // Three of the kind in one stack: no deal order can clear it.
    init();
    dealWithKindAt({0, 1, 2});
    analysis = game->analysePosition();
    QCOMPARE(int(analysis.answer), int(Answer::notWinnable));
    QCOMPARE(analysis.movesBack, 0);
}

void WinnabilityTest::winningMoveIsCountedAsAHint()
{
    dealWithKindAt({0, 1});
    Answer answer = Answer::unknown;
    const tleTilePair move = game->winningMove(answer);
    QCOMPARE(int(answer), int(Answer::winnable));
    QVERIFY(move.first && move.second);
    QCOMPARE(game->countersText(), QStringLiteral("0/1/0"));
    // The move given keeps the game winnable.
    QVERIFY(game->engine().removePair(move.first, move.second));
    QCOMPARE(int(game->analysePosition().answer), int(Answer::winnable));

    removeFreePair(stackedKind);
    const tleTilePair none = game->winningMove(answer);
    QCOMPARE(int(answer), int(Answer::notWinnable));
    QVERIFY(!none.first && !none.second);
    QCOMPARE(game->countersText(), QStringLiteral("0/1/0"));
}

void WinnabilityTest::onlyTheLatestDecisionIsTold()
{
    dealWithKindAt({0, 1});
    tlgWinnability winnability;
    QSignalSpy told(&winnability, &tlgWinnability::decided);
    winnability.decide(*game->engine().board());
    removeFreePair(stackedKind);
    winnability.decide(*game->engine().board());
    QVERIFY(told.wait());
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(told.count(), 1);
    QCOMPARE(told.first().first().value<Answer>(), Answer::notWinnable);

    // Abandoned, a decision says nothing.
    winnability.decide(*game->engine().board());
    winnability.abandon();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(told.count(), 1);
    QVERIFY(!winnability.busy());
}

TILVANE_TEST_MAIN(WinnabilityTest, QCoreApplication)
#include "tst_winnability.moc"
