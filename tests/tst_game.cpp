#include "tlHighscoreList.h"
#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlTestClock.h"
#include "tlTestEnvironment.h"
#include "tlTestLayouts.h"
#include "tlgGame.h"

#include <QCoreApplication>
#include <QSignalSpy>

class GameTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstGameAndPreferenceDecisions();
    void hintsWalkThroughThePairsAcrossGames();
    void clockSkipsMinimisedTimeAndStopsPastTheHour();
    void wonGameIsJudgedAndRecorded_data();
    void wonGameIsJudgedAndRecorded();
    void deadEndFromTheStart();
    void endHandlingCanBeSwitchedOff();
    void chosenLayoutGivesWayToTheDefault();
    void announcements();
    void searchOutcomes();

private:
    // Starts a game on a layout written for the test, dealt with a fixed seed.
    void startOn(const QString &name, const QVector<tlTilePosition> &positions);
    // Removes every pair through the finishing steps; returns how many were taken.
    int finish();

    QTemporaryDir dir;
    tlTestClock clock;
    std::unique_ptr<tlgGame> game;
};

void GameTest::initTestCase()
{
    tlSettings::instance().readSettings();
}

void GameTest::init()
{
    game = std::make_unique<tlgGame>(clock);
    tlHighscoreList::instance()->setCapacity(tlSettings::instance().defaultMaxHighscoreEntries);
}

void GameTest::startOn(const QString &name, const QVector<tlTilePosition> &positions)
{
    tlSettings::instance().layoutName = name;
    tlHighscoreList::instance()->removeLayout(name);
    game->engine().seed(1);
    QVERIFY(game->engine().init(tlTestLayouts::write(QDir(dir.path()), name, positions)));
    game->engine().shuffleTiles();
    game->start();
}

int GameTest::finish()
{
    int pairs = 0;
    for (tleTilePair pair = game->nextFinishingPair(); pair.first; pair = game->nextFinishingPair()) {
        game->engine().removePair(pair.first, pair.second);
        ++pairs;
    }
    return pairs;
}

void GameTest::firstGameAndPreferenceDecisions()
{
    using First = tlgGame::FirstGame;
    // requested file, command-line file, restore last, backup exists -> first game
    const struct { bool request, line, restore, backup; First expected; } firsts[] = {
        {true, true, true, true, First::RequestedFile},
        {false, true, true, true, First::CommandLineFile},
        {false, false, true, true, First::LastGamePlayed},
        {false, false, true, false, First::NewDeal},
        {false, false, false, true, First::NewDeal},
    };
    for (const auto &row : firsts)
        QCOMPARE(tlgGame::firstGame(row.request, row.line, row.restore, row.backup), row.expected);

    using Reaction = tlgGame::PreferencesReaction;
    QCOMPARE(tlgGame::preferencesReaction(true, false), Reaction::Relayout);
    QCOMPARE(tlgGame::preferencesReaction(true, true), Reaction::NewImages);
    QCOMPARE(tlgGame::preferencesReaction(false, false), Reaction::NewLayout);

    // Only before any game has started does a failed file lead to a new deal.
    QVERIFY(game->dealsAfterFailedLoad());
    startOn(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    QVERIFY(!game->dealsAfterFailedLoad());
}

void GameTest::hintsWalkThroughThePairsAcrossGames()
{
    startOn(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tleTilePairList pairs;
    const unsigned total = game->engine().board()->possiblePairs(pairs);
    unsigned count = 0;
    QCOMPARE(game->nextHint(count), pairs[0]);
    QCOMPARE(count, total);
    QCOMPARE(game->nextHint(count), pairs[1]);
    QCOMPARE(game->countersText(), QStringLiteral("0/2/0"));

    // A new game goes on from where the walk stood, and wraps when the list is shorter.
    game->start();
    QCOMPARE(game->countersText(), QStringLiteral("0/0/0"));
    QCOMPARE(game->nextHint(count), pairs[2]);
    finish();
    QVERIFY(!game->nextHint(count).first);
    QCOMPARE(count, 0u);
    game->engine().resetGame();
    for (unsigned i = 3; i < total; ++i)
        game->nextHint(count);
    QCOMPARE(game->nextHint(count), pairs[0]);
}

void GameTest::clockSkipsMinimisedTimeAndStopsPastTheHour()
{
    const struct { qint64 seconds; const char *face; } faces[] = {
        {0, "00:00"}, {65, "01:05"}, {59 * 60 + 59, "59:59"}, {60 * 60, "--:--"},
    };
    for (const auto &row : faces)
        QCOMPARE(tlgGame::clockFace(row.seconds), QLatin1String(row.face));

    startOn(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    QSignalSpy faces2(game.get(), &tlgGame::clockChanged);
    const qint64 start = game->gameStartTime();
    clock.advance(10);
    game->setMinimized(true);
    clock.advance(500);
    QCOMPARE(game->clockFace(), QStringLiteral("00:10"));  // stands still while minimised
    game->setMinimized(false);
    QCOMPARE(game->gameStartTime(), start + 500);
    QCOMPARE(faces2.takeLast().at(0).toString(), QStringLiteral("00:10"));

    // Minimised when it ends: that time does not count either.
    game->setMinimized(true);
    clock.advance(30);
    finish();
    QVERIFY(game->hasEnded());
    const tlgGame::Result result = game->end();
    QCOMPARE(result.entry.endTime - result.entry.startTime, qint64(10));
    // Minimising after the end changes nothing.
    game->setMinimized(true);
    clock.advance(40);
    game->setMinimized(false);
    QCOMPARE(game->gameStartTime(), start + 530);
}

void GameTest::wonGameIsJudgedAndRecorded_data()
{
    QTest::addColumn<int>("undos");
    QTest::addColumn<int>("searches");
    QTest::addColumn<bool>("peeked");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("details");
    const QString enters = QStringLiteral("The game will enter the highscore list.");
    QTest::newRow("plain") << 0 << 0 << false << qint64(58)
        << QStringLiteral("You used 72 hints, performed 0 undos, and searched 0 times for a matching tile.\n"
                          "Duration of game was 0 min and 59 sec. ") + enters;
    QTest::newRow("one of each") << 1 << 1 << false << qint64(59)
        << QStringLiteral("You used 72 hints, performed 1 undo , and searched 1 time  for a matching tile.\n"
                          "Duration of game was 1 min and 0 sec. ") + enters;
    QTest::newRow("peeked") << 2 << 0 << true << qint64(0)
        << QStringLiteral("You used 72 hints, performed 2 undos, and searched 0 times for a matching tile.\n"
                          "Duration of game was 0 min and 1 sec. ");
}

void GameTest::wonGameIsJudgedAndRecorded()
{
    QFETCH(int, undos);
    QFETCH(int, searches);
    QFETCH(bool, peeked);
    QFETCH(qint64, seconds);
    QFETCH(QString, details);
    const QString layout = QStringLiteral("Scattered");
    startOn(layout, tlTestLayouts::scattered());
    for (int i = 0; i < undos; ++i)
        game->countUndo();
    for (int i = 0; i < searches; ++i)
        game->countFindMatch();
    if (peeked) {
        QVERIFY(game->countPeek());
        QVERIFY(!game->countPeek());  // only the first peek is news
    }
    clock.advance(seconds);
    QCOMPARE(finish(), 72);
    QVERIFY(game->hasEnded());
    const tlgGame::Result result = game->end();
    QVERIFY(!game->isRunning());
    QVERIFY(!game->hasEnded());
    QVERIFY(result.won);
    QCOMPARE(result.headline, QStringLiteral("Congratulations! All 144 tiles removed."));
    QCOMPARE(result.status, result.headline);
    QCOMPARE(result.details, details);
    QCOMPARE(result.entersHighscores, !peeked);
    QCOMPARE(result.entry.layoutName, layout);
    QCOMPARE(result.entry.hints, 72);
    QCOMPARE(result.entry.undos, undos);
    game->record(result);
    QCOMPARE(tlHighscoreList::instance()->entries(layout).size(), peeked ? 0 : 1);
    tlHighscoreList::instance()->removeLayout(layout);
}

void GameTest::deadEndFromTheStart()
{
    startOn(QStringLiteral("Hopeless"), tlTestLayouts::hopeless());
    QVERIFY(game->hasEnded());
    const tlgGame::Result result = game->end();
    QVERIFY(!result.won);
    QCOMPARE(result.headline, QStringLiteral("Dead end!") + QString(35, QLatin1Char(' ')));
    QCOMPARE(result.details, QStringLiteral("No more moves. 144 tiles (100.0%) left. "
                                            "The game will enter the highscore list."));
    QCOMPARE(result.status, result.details);

    // A full list takes a dead end only when it ranks before the last entry.
    tlHighscoreList::instance()->setCapacity(1);
    game->record(result);
    game->start();
    QVERIFY(!game->end().entersHighscores);
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Hopeless"));
}

void GameTest::endHandlingCanBeSwitchedOff()
{
    startOn(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    game->setEndHandling(false);
    finish();
    QVERIFY(!game->hasEnded());
    QVERIFY(game->isRunning());
    game->setEndHandling(true);
    QVERIFY(game->hasEnded());
}

void GameTest::chosenLayoutGivesWayToTheDefault()
{
    tlSettings &settings = tlSettings::instance();
    settings.lendUserLayoutsToLocator();
    const QString unverified = tlTestLayouts::write(QDir(dir.path()), QStringLiteral("Unverified"),
                                                    tlTestLayouts::scattered(), false);
    settings.addUserLayoutFile(QStringLiteral("Unverified"), unverified);
    // chosen layout, the file refused (none when it is used), whether that file exists
    const struct { const char *chosen; QString refused; bool exists; } rows[] = {
        {"Turtle", QString(), false},
        {"Gone", QString(), false},
        {"Unverified", unverified, true},
    };
    for (const auto &row : rows) {
        settings.layoutName = QLatin1String(row.chosen);
        std::optional<tlgGame::RefusedLayout> refused;
        QVERIFY(game->loadChosenLayout(refused));
        QCOMPARE(settings.layoutName, QStringLiteral("Turtle"));
        QCOMPARE(game->engine().board()->layout()->name(), QStringLiteral("Turtle"));
        QCOMPARE(refused.has_value(), QLatin1String(row.chosen) != QLatin1String("Turtle"));
        if (refused) {
            QCOMPARE(refused->file, row.refused);
            QCOMPARE(refused->exists, row.exists);
        }
    }
    settings.removeUserLayoutFile(QStringLiteral("Unverified"));
}

void GameTest::announcements()
{
    tlSettings::instance().layoutName = QStringLiteral("Flower");
    // new deal, file name, message, title
    const struct { bool newDeal; const char *file; const char *message; const char *title; } rows[] = {
        {true, "", "New game started with layout 'Flower' (144 tiles)", "Tilvane"},
        {false, "", "Replay game with layout 'Flower' (144 tiles)", "Tilvane"},
        {false, "/games/50%1 of %2.tlgf", "New game from file (50%1 of %2.tlgf) with layout 'Flower' (144 tiles)",
         "Tilvane - 50%1 of %2.tlgf"},
        {false, "bare.tlgf", "New game from file (bare.tlgf) with layout 'Flower' (144 tiles)", "Tilvane - bare.tlgf"},
    };
    for (const auto &row : rows) {
        const tlgGame::Announcement said = tlgGame::announcement(row.newDeal, QLatin1String(row.file));
        QCOMPARE(said.message, QLatin1String(row.message));
        QCOMPARE(said.title, QLatin1String(row.title));
    }
    QCOMPARE(tlgGame::restoredAnnouncement(), QStringLiteral("Restored last game played (Flower, 144 tiles)"));
}

void GameTest::searchOutcomes()
{
    // Stops the search once a given number of plays are done, as a Cancel would.
    class CancelAt : public tleSearchProgress
    {
    public:
        explicit CancelAt(int plays) : last(plays) {}
        void iterationDone(int iteration) override { done = iteration; }
        bool wasCanceled() const override { return done >= last; }

    private:
        const int last;
        int done = 0;
    };

    startOn(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    const tlgGame::SearchResult found = game->search(10, nullptr);
    QVERIFY(found.found);
    QCOMPARE(found.iterations, 1u);
    QCOMPARE(game->engine().history().size(), size_t(72));

    startOn(QStringLiteral("Hopeless"), tlTestLayouts::hopeless());
    const QString failure = QStringLiteral("No solution found after %1 iterations. \n144 tiles left.");
    // plays asked for, plays after which the player cancels, plays made, worth extending
    const struct { int asked, cancelAt; unsigned made; bool extend; } rows[] = {
        {1000, 0, 1000, true}, {1001, 0, 1001, false}, {100000, 300, 300, true}, {5, 1, 1, true},
    };
    for (const auto &row : rows) {
        CancelAt progress(row.cancelAt ? row.cancelAt : row.asked + 1);
        const tlgGame::SearchResult result = game->search(row.asked, &progress);
        QVERIFY(!result.found);
        QCOMPARE(result.iterations, row.made);
        QCOMPARE(result.worthExtending, row.extend);
        QCOMPARE(result.failure, failure.arg(row.made)
                                     + (row.extend ? QStringLiteral(" Try a more extended search.") : QString()));
    }
}

TILVANE_TEST_MAIN(GameTest, QCoreApplication)
#include "tst_game.moc"
