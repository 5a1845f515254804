#include "tlLayoutHandler.h"
#include "tlTestEnvironment.h"
#include "tlTestLayouts.h"
#include "tldAnalysis.h"
#include "tldProgress.h"
#include "tldSolverJudge.h"
#include "tldVerifier.h"
#include "tleBoard.h"
#include "tleGameEngine.h"

#include <QCoreApplication>

Q_DECLARE_METATYPE(tlTilePosition)

namespace {

using Tiles = QVector<tlTilePosition>;

Tiles builtIn(const char *name)
{
    tlLayoutHandler layout;
    if (!layout.open(QStringLiteral(TILVANE_LAYOUTS_DIR "/%1.tllf").arg(QLatin1String(name))))
        qFatal("cannot read a built-in layout");
    return layout.positions();
}

Tiles changed(Tiles tiles, int index, const tlTilePosition &place)
{
    tiles[index] = place;
    return tiles;
}

// 144 tiles of a sound shape of which only the top one is ever free: a stepped pyramid of
// seven layers, each tile covered by the four half-shifted ones above it, with a tower of
// four on its top.
Tiles pyramidWithTower()
{
    const int pyramidLayers = 7;
    const int centre = 6;
    Tiles tiles;
    for (int layer = 1; layer <= pyramidLayers; ++layer) {
        const int reach = pyramidLayers - layer;
        for (int x = centre - reach; x <= centre + reach; x += 2) {
            for (int y = centre - reach; y <= centre + reach; y += 2)
                tiles.append({layer, x, y});
        }
    }
    for (int layer = pyramidLayers + 1; tiles.size() < 144; ++layer)
        tiles.append({layer, centre, centre});
    return tiles;
}

// Answers from a script, deal by deal, and may cancel the analysis after some deals.
// Notes whether every deal it was shown had all its tiles on the board.
class ScriptedJudge : public tldDealJudge
{
public:
    ScriptedJudge(QVector<std::optional<bool>> answers, tldProgress *cancelAfterLast = nullptr)
        : script(std::move(answers)), stopper(cancelAfterLast)
    {
    }

    std::optional<bool> canBeWon(tleGameEngine &engine, const tldProgress &) override
    {
        sawFullBoards = sawFullBoards && engine.tilesLeft() == 144;
        const std::optional<bool> answer = script.value(asked++);
        if (stopper && asked == script.size())
            stopper->cancel();
        return answer;
    }

    bool sawFullBoards = true;

private:
    QVector<std::optional<bool>> script;
    tldProgress *stopper;
    int asked = 0;
};

}

class DesignerChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void shapeRules_data();
    void shapeRules();
    void winnability_data();
    void winnability();
    void removalOrderClearsTheBoard();
    void analysisCounts();
    void analysisOfHopelessAndBrokenLayouts();
    void solverJudgesEveryDeal();
};

void DesignerChecksTest::shapeRules_data()
{
    QTest::addColumn<Tiles>("tiles");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QList<QSet<int>>>("marked");
    const Tiles loose = tlTestLayouts::scattered();
    QTest::newRow("built-in") << builtIn("Turtle") << QStringList() << QList<QSet<int>>();
    QTest::newRow("one short") << builtIn("Turtle").mid(1)
                               << QStringList{"The layout has 143 tiles; it needs exactly 144."}
                               << QList<QSet<int>>{{}};
    QTest::newRow("half a tile over") << changed(loose, 1, {1, 1, 1})
                                      << QStringList{"2 tiles overlap other tiles of their layer."}
                                      << QList<QSet<int>>{{0, 1}};
    QTest::newRow("in the air") << changed(loose, 5, {2, 2, 2})
                                << QStringList{"A tile does not rest fully on the layer below."}
                                << QList<QSet<int>>{{5}};
    QTest::newRow("resting on half a tile") << changed(loose, 1, {2, 1, 0})
                                            << QStringList{"A tile does not rest fully on the layer below."}
                                            << QList<QSet<int>>{{1}};
    Tiles crowded = changed(loose, 1, {1, 1, 0});
    crowded.append({3, 0, 0});
    QTest::newRow("everything") << crowded
                                << QStringList{"The layout has 145 tiles; it needs exactly 144.",
                                               "2 tiles overlap other tiles of their layer.",
                                               "A tile does not rest fully on the layer below."}
                                << QList<QSet<int>>{{}, {0, 1}, {144}};
}

void DesignerChecksTest::shapeRules()
{
    QFETCH(Tiles, tiles);
    QFETCH(QStringList, problems);
    QFETCH(QList<QSet<int>>, marked);
    QStringList texts;
    QList<QSet<int>> tilesMarked;
    for (const tldProblem &problem : tldVerifier::shapeProblems(tiles)) {
        texts << problem.text;
        tilesMarked << problem.tiles;
    }
    QCOMPARE(texts, problems);
    QCOMPARE(tilesMarked, marked);
}

void DesignerChecksTest::winnability_data()
{
    QTest::addColumn<Tiles>("tiles");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<int>("verdict");
    QTest::newRow("all tiles free") << tlTestLayouts::scattered() << false
                                    << int(tldVerifier::Verdict::Winnable);
    QTest::newRow("built-in") << builtIn("Turtle") << false << int(tldVerifier::Verdict::Winnable);
    QTest::newRow("one tile free at a time") << pyramidWithTower() << false
                                             << int(tldVerifier::Verdict::Unwinnable);
    QTest::newRow("cancelled") << pyramidWithTower() << true << int(tldVerifier::Verdict::Canceled);
    QTest::newRow("no board") << builtIn("Turtle").mid(1) << false << int(tldVerifier::Verdict::NoBoard);
}

void DesignerChecksTest::winnability()
{
    QFETCH(Tiles, tiles);
    QFETCH(bool, cancelled);
    QFETCH(int, verdict);
    QVERIFY(tldVerifier::shapeProblems(tiles).size() <= 1);
    tldProgress progress;
    if (cancelled)
        progress.cancel();
    const tldVerifier::Outcome outcome = tldVerifier::findWinnableDeal(tiles, progress);
    QCOMPARE(int(outcome.verdict), verdict);
    QVERIFY(!outcome.text.isEmpty());
}

void DesignerChecksTest::removalOrderClearsTheBoard()
{
    tldProgress progress;
    const int plays = 100000;
    QVERIFY(tldVerifier::findRemovalOrder(pyramidWithTower(), plays, progress).isEmpty());
    const tldVerifier::RemovalOrder order = tldVerifier::findRemovalOrder(builtIn("Turtle"), plays, progress);
    QCOMPARE(order.size(), 72);

    // Taken away pair by pair on a board of the game's own, both tiles are free each time.
    std::vector<tleTile> records(144);
    std::vector<tleTile *> tiles;
    for (tleTile &record : records)
        tiles.push_back(&record);
    tleBoard board;
    QVERIFY(board.init(QStringLiteral(TILVANE_LAYOUTS_DIR "/Turtle.tllf"), tiles));
    for (const auto &pair : order) {
        QVERIFY(pair.first != pair.second);
        QVERIFY(board.isFree(tiles[size_t(pair.first)]) && board.isFree(tiles[size_t(pair.second)]));
        board.removeTile(tiles[size_t(pair.first)]);
        board.removeTile(tiles[size_t(pair.second)]);
    }
    QCOMPARE(board.tilesLeft(), 0);
}

void DesignerChecksTest::analysisCounts()
{
    // Every tile of this layout is free: random play clears every deal.
    tldProgress progress;
    ScriptedJudge judge({true, false, std::nullopt, true});
    const tldAnalysisResult result = tldAnalysis::run(tlTestLayouts::scattered(), 4, progress, &judge);
    QCOMPARE(result.deals, 4);
    QCOMPARE(result.cleared, 4);
    QCOMPARE(result.tilesLeft, 0);
    QCOMPARE(result.winnable, std::optional<int>(2));
    QCOMPARE(result.undecided, 1);
    QVERIFY(judge.sawFullBoards);
    QCOMPARE(progress.stepsDone(), 4);
    const QString report = tldAnalysis::report(result, QStringLiteral("Loose"));
    for (const char *line : {"Layout: Loose", "Deals played: 4", "Cleared by random play: 4 (100.0 %)",
                             "Average tiles left: 0.0", "Winnable deals: 2 (50.0 %)",
                             "Deals the solver could not decide: 1", "Time taken: "})
        QVERIFY2(report.contains(QLatin1String(line)), line);

    // A cancel ends the analysis after the deal under way.
    tldProgress stopped;
    ScriptedJudge stopping({true, true, true}, &stopped);
    const tldAnalysisResult part = tldAnalysis::run(tlTestLayouts::scattered(), 10, stopped, &stopping);
    QCOMPARE(part.deals, 3);
    QVERIFY(tldAnalysis::report(part, QString()).contains(QLatin1String("Cancelled after 3 of 10 deals.")));
}

void DesignerChecksTest::analysisOfHopelessAndBrokenLayouts()
{
    tldProgress progress;
    // Only the top tile is ever free: no deal loses a tile, and without a judge no
    // winnable share is told.
    const tldAnalysisResult stuck = tldAnalysis::run(pyramidWithTower(), 3, progress);
    QCOMPARE(stuck.cleared, 0);
    QCOMPARE(stuck.tilesLeft, 3 * 144);
    QVERIFY(!stuck.winnable);
    QVERIFY(!tldAnalysis::report(stuck, QString()).contains(QLatin1String("Winnable")));

    const tldAnalysisResult broken = tldAnalysis::run(builtIn("Turtle").mid(1), 3, progress);
    QCOMPARE(broken.deals, 0);
    QVERIFY(tldAnalysis::report(broken, QString()).contains(QLatin1String("No games could be dealt")));
}

void DesignerChecksTest::solverJudgesEveryDeal()
{
    tldProgress progress;
    tldSolverJudge judge;
    const tldAnalysisResult loose = tldAnalysis::run(tlTestLayouts::scattered(), 3, progress, &judge);
    QCOMPARE(loose.winnable, std::optional<int>(3));
    const tldAnalysisResult stuck = tldAnalysis::run(pyramidWithTower(), 2, progress, &judge);
    QCOMPARE(stuck.winnable, std::optional<int>(0));
    QCOMPARE(stuck.undecided, 0);
}

TILVANE_TEST_MAIN(DesignerChecksTest, QCoreApplication)
#include "tst_designerchecks.moc"
