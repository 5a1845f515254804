#include "tlHighscoreList.h"
#include "tlLayoutHandler.h"
#include "tlModalAnswerer.h"
#include "tlSettings.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestLayouts.h"
#include "tlgApplication.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgHighscoreViewer.h"
#include "tlgTile.h"
#include "tlgWindow.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QAction>
#include <QFileOpenEvent>
#include <QRegularExpression>
#include <QTableWidget>

namespace {

const QStringList noArguments{QStringLiteral("tilvane")};

// Backups are named by the second they were made in; a test that counts them starts
// in a fresh second so that no backup overwrites another.
void waitForNextSecond()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > now, 2000);
}

// The backups are the files in the backup folder, which is the current directory.
int backupCount()
{
    return QDir::current().entryList({QStringLiteral("*.tlgf")}, QDir::Files).size();
}

std::vector<uint32_t> kindsOf(const tlgWindow &window)
{
    std::vector<uint32_t> kinds;
    for (const tleTile *tile : window.engine()->tiles())
        kinds.push_back(tile->type);
    return kinds;
}

tleTilePairList pairsOf(const tlgWindow &window)
{
    tleTilePairList pairs;
    window.engine()->board()->possiblePairs(pairs);
    return pairs;
}

// Clicks the middle of a tile's face, clear of the edge strips a neighbour may cover.
void click(tlgWindow &window, const tleTile *tile, Qt::MouseButton button = Qt::LeftButton)
{
    const tlgTile *item = window.board()->itemForTile(tile);
    QVERIFY(item);
    const QRectF face = item->sceneBoundingRect();
    const QPointF middle = face.topLeft() + QPointF(face.width() * 0.4, face.height() * 0.4);
    QTest::mouseClick(window.boardView()->viewport(), button, {},
                      window.boardView()->mapFromScene(middle));
}

bool enabled(const tlgWindow &window, const char *text)
{
    QAction *action = window.action(QString::fromLatin1(text));
    return action && action->isEnabled();
}

}

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void newDealAtStartUp();
    void clickingAPairRemovesIt();
    void hintsWalkThroughThePairs();
    void undoAndReplay();
    void findMatchAndPeek();
    void saveAndOpenAgain();
    void missingLayoutAnsweredWithCancel();
    void damagedGameStartsANewDeal();
    void wonGameEntersTheHighscores();
    void deadEndIsAnnounced();
    void layoutChangeDealsAtOnce();
    void coordinateOverlayWidensTheFrame();
    void clockShowsTheFirstHour();
    void minimisingAfterTheGameKeepsItsStart();
    // Last: the file-open request it hands to the application stays there.
    void startUpRules();

private:
    void useLayout(const QString &name, const QVector<tlTilePosition> &positions);
    QTemporaryDir dir;
};

void WindowTest::initTestCase()
{
    tlSettings::instance().readSettings();
}

void WindowTest::init()
{
    tlSettings &settings = tlSettings::instance();
    settings.layoutName = settings.defaultLayoutName;
    settings.winnableGameMode = false;
    settings.startWithLastGamePlayedAtLaunch = false;
    settings.boardFrameWidth = settings.defaultBoardFrameWidth;
}

void WindowTest::useLayout(const QString &name, const QVector<tlTilePosition> &positions)
{
    tlSettings &settings = tlSettings::instance();
    settings.removeUserLayoutFile(name);
    settings.addUserLayoutFile(name, tlTestLayouts::write(QDir(dir.path()), name, positions));
    settings.layoutName = name;
}

void WindowTest::newDealAtStartUp()
{
    waitForNextSecond();
    const int backupsBefore = backupCount();
    tlgWindow window(noArguments);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane"));
    QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Turtle' (144 tiles)"));
    QCOMPARE(window.tilesLeftText(), QStringLiteral("144"));
    QCOMPARE(window.countersText(), QStringLiteral("0/0/0"));
    QCOMPARE(window.clockText(), QStringLiteral("00:00"));
    QVERIFY(enabled(window, "Hint"));
    QVERIFY(enabled(window, "Finish Game"));
    for (const char *off : {"Undo", "Peek", "Replay", "Find Match", "Highscores..."})
        QVERIFY2(!enabled(window, off), off);
    QCOMPARE(window.tileItems().size(), 144);
    QCOMPARE(backupCount(), backupsBefore + 1);
    // The window is fixed to the board.
    QCOMPARE(window.minimumSize(), window.maximumSize());
}

void WindowTest::clickingAPairRemovesIt()
{
    tlgWindow window(noArguments);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const tleTilePair pair = pairsOf(window).front();
    click(window, pair.first);
    QCOMPARE(window.board()->firstSelected()->tile(), pair.first);
    QCOMPARE(window.statusMessage(), QString::fromLatin1(tle::descriptiveKindNames[pair.first->type]));
    QVERIFY(enabled(window, "Find Match"));
    click(window, pair.second);
    QCOMPARE(window.board()->secondSelected()->tile(), pair.second);
    click(window, pair.second, Qt::RightButton);
    QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
    QCOMPARE(pair.first->state, 0);
    QVERIFY(!window.board()->itemForTile(pair.first)->isVisible());
    QVERIFY(enabled(window, "Undo"));
    QVERIFY(enabled(window, "Replay"));
    QVERIFY(window.statusMessage().isEmpty());
}

void WindowTest::hintsWalkThroughThePairs()
{
    tlgWindow window(noArguments);
    const tleTilePairList pairs = pairsOf(window);
    QVERIFY(pairs.size() >= 2);
    const auto shownIndex = [&] {
        const tleTilePair shown(window.board()->firstSelected()->tile(),
                                window.board()->secondSelected()->tile());
        return int(std::find(pairs.begin(), pairs.end(), shown) - pairs.begin());
    };
    window.hint();
    const int first = shownIndex();
    window.hint();
    QCOMPARE(shownIndex(), (first + 1) % int(pairs.size()));
    window.hint();
    QCOMPARE(shownIndex(), (first + 2) % int(pairs.size()));
    QCOMPARE(window.statusMessage(), QStringLiteral("There are %1 possible moves").arg(pairs.size()));
    QCOMPARE(window.countersText(), QStringLiteral("0/3/0"));

    tlSettings::instance().hintAlsoReportsTotalMoves = false;
    window.hint();
    QVERIFY(window.statusMessage().isEmpty());
    tlSettings::instance().hintAlsoReportsTotalMoves = true;
}

void WindowTest::undoAndReplay()
{
    tlgWindow window(noArguments);
    const auto deal = kindsOf(window);
    window.hint();
    window.board()->removeSelectedPair();
    window.hint();
    window.board()->removeSelectedPair();
    QCOMPARE(window.tilesLeftText(), QStringLiteral("140"));
    window.undo();
    QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
    QCOMPARE(window.countersText(), QStringLiteral("1/2/0"));
    QVERIFY(enabled(window, "Undo"));

    const int backupsBefore = backupCount();
    window.replay();
    QCOMPARE(kindsOf(window), deal);
    QCOMPARE(window.tilesLeftText(), QStringLiteral("144"));
    QCOMPARE(window.countersText(), QStringLiteral("0/0/0"));
    QCOMPARE(window.clockText(), QStringLiteral("00:00"));
    QCOMPARE(window.statusMessage(), QStringLiteral("Replay game with layout 'Turtle' (144 tiles)"));
    QCOMPARE(backupCount(), backupsBefore);
    QVERIFY(!enabled(window, "Undo"));
}

void WindowTest::findMatchAndPeek()
{
    tlgWindow window(noArguments);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const tleTilePair pair = pairsOf(window).front();
    click(window, pair.first);
    window.findMatch();
    QCOMPARE(window.statusMessage(), QStringLiteral("Matching tile found"));
    QCOMPARE(window.countersText(), QStringLiteral("0/0/1"));
    QVERIFY(window.board()->secondSelected());

    // The turtle's top tile lies above layer 0, so it can be peeked under.
    click(window, pair.second);  // deselect the found partner...
    click(window, pair.first);   // ...and the first tile
    tleTile *top = window.engine()->tiles().back();
    click(window, top);
    QVERIFY(enabled(window, "Peek"));
    window.peek();
    QCOMPARE(window.peeks(), 1);
    QCOMPARE(window.statusMessage(),
             QStringLiteral("Current game barred from entering the highscore list due to use of peek cheat."));
    window.peek();  // still sliding: refused, not counted
    QCOMPARE(window.peeks(), 1);
}

void WindowTest::saveAndOpenAgain()
{
    tlgWindow window(noArguments);
    const auto deal = kindsOf(window);
    const QString path = dir.filePath(QStringLiteral("mine.tlgf"));
    tlModalAnswerer answerer;
    answerer.answerFile(path);
    window.save();
    QCOMPARE(answerer.fileDialogs, 1);
    QVERIFY(QFile::exists(path));
    QCOMPARE(tlSettings::instance().saveGameDirectory, dir.path());

    window.newGame();
    QVERIFY(kindsOf(window) != deal);
    waitForNextSecond();
    const int backupsBefore = backupCount();
    window.loadGameFile(path, true);
    QCOMPARE(kindsOf(window), deal);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - mine.tlgf"));
    QCOMPARE(window.statusMessage(), QStringLiteral("New game from file (mine.tlgf) with layout 'Turtle' (144 tiles)"));
    QCOMPARE(backupCount(), backupsBefore + 1);

    // A file that is no game is refused and the game in hand goes on.
    const QString text = dir.filePath(QStringLiteral("notes.tlgf"));
    QFile notes(text);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("shopping list");
    notes.close();
    window.loadGameFile(text, true);
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("File '%1' does not contain a valid Tilvane game.").arg(text));
    QCOMPARE(kindsOf(window), deal);
}

void WindowTest::missingLayoutAnsweredWithCancel()
{
    useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tlgWindow window(noArguments);
    const QString path = dir.filePath(QStringLiteral("scattered.tlgf"));
    QVERIFY(window.engine()->save(path));
    tlSettings::instance().removeUserLayoutFile(QStringLiteral("Scattered"));

    tlModalAnswerer answerer;
    answerer.answerBox(QMessageBox::Open);
    answerer.answerFile(QString());  // the file dialog is cancelled: the question comes again
    answerer.answerBox(QMessageBox::Cancel);
    waitForNextSecond();
    const int backupsBefore = backupCount();
    window.loadGameFile(path, true);
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].text,
             QStringLiteral("Cannot find required layout 'Scattered'. Please open the corresponding "
                            "layout file to continue or cancel to fall back to default layout."));
    QCOMPARE(answerer.fileDialogs, 1);
    QCOMPARE(tlSettings::instance().layoutName, QStringLiteral("Turtle"));
    QCOMPARE(window.engine()->board()->layout()->name(), QStringLiteral("Turtle"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane"));
    QCOMPARE(backupCount(), backupsBefore + 1);
}

void WindowTest::damagedGameStartsANewDeal()
{
    tlgWindow window(noArguments);
    tlLayoutHandler turtle;
    QVERIFY(turtle.open(tlLayoutHandler::findLayoutFile(QStringLiteral("Turtle"), 0)));
    const QString path = dir.filePath(QStringLiteral("damaged.tlgf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<game><layout name=\"Turtle\" cs=\"%1\"/><tile layer=\"0\" x=\"0\" y=\"0\" type=\"99\"/></game>")
                   .arg(turtle.checksum()).toUtf8());
    file.close();

    tlModalAnswerer answerer;
    window.loadGameFile(path, true);
    QCOMPARE(answerer.boxes.size(), 1);
    QVERIFY(answerer.boxes[0].text.startsWith(QStringLiteral("Could not load the game from file '%1'.").arg(path)));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane"));
    QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Turtle' (144 tiles)"));
    std::map<uint32_t, int> counts;
    for (uint32_t kind : kindsOf(window))
        ++counts[kind];
    QCOMPARE(counts.size(), size_t(42));  // a real deal, not a half-read file
}

void WindowTest::wonGameEntersTheHighscores()
{
    useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tlgWindow window(noArguments);
    QCOMPARE(window.engine()->board()->layout()->name(), QStringLiteral("Scattered"));
    tlModalAnswerer answerer;
    window.undo();
    window.finishGame();
    QCOMPARE(window.tilesLeftText(), QStringLiteral("0"));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Congratulations! All 144 tiles removed."));
    QVERIFY2(QRegularExpression(QStringLiteral(
                 "^You used 72 hints, performed 1 undo , and searched 0 times for a matching tile\\.\n"
                 "Duration of game was 0 min and \\d+ sec\\. The game will enter the highscore list\\.$"))
                 .match(answerer.boxes[0].informative).hasMatch(),
             qPrintable(answerer.boxes[0].informative));
    QCOMPARE(window.statusMessage(), QStringLiteral("Congratulations! All 144 tiles removed."));
    for (const char *off : {"Finish Game", "Undo", "Hint", "Find Match", "Peek"})
        QVERIFY2(!enabled(window, off), off);
    QVERIFY(enabled(window, "Replay"));
    QVERIFY(enabled(window, "Highscores..."));
    QVERIFY(!window.boardView()->isEnabled());
    QVERIFY(window.highscoreViewer()->isVisible());
    // The viewer comes up with the fresh result marked.
    auto *table = window.highscoreViewer()->findChild<QTableWidget *>();
    QVERIFY(table && table->item(0, 0));
    QCOMPARE(table->item(0, 0)->foreground().color(), QColor(Qt::red));
    const auto entries = tlHighscoreList::instance()->entries(QStringLiteral("Scattered"));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].tiles, 0);
    QCOMPARE(entries[0].hints, 72);
    QCOMPARE(entries[0].undos, 1);
    QCOMPARE(entries[0].endTime, window.gameEndTime());
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Scattered"));
}

void WindowTest::deadEndIsAnnounced()
{
    useLayout(QStringLiteral("Hopeless"), tlTestLayouts::hopeless());
    tlModalAnswerer answerer;
    tlgWindow window(noArguments);
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Dead end!") + QString(35, QLatin1Char(' ')));
    QCOMPARE(answerer.boxes[0].informative,
             QStringLiteral("No more moves. 144 tiles (100.0%) left. The game will enter the highscore list."));
    QCOMPARE(window.statusMessage(), answerer.boxes[0].informative);
    QVERIFY(!enabled(window, "Hint"));
    QVERIFY(window.gameEndTime() != 0);
    QCOMPARE(tlHighscoreList::instance()->entries(QStringLiteral("Hopeless")).size(), 1);
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Hopeless"));
}

void WindowTest::layoutChangeDealsAtOnce()
{
    tlgWindow window(noArguments);
    const QSize turtleSize = window.size();
    tlSettings::instance().layoutName = QStringLiteral("Montezuma");
    window.preferencesChanged();
    QCOMPARE(window.engine()->board()->layout()->name(), QStringLiteral("Montezuma"));
    QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Montezuma' (144 tiles)"));
    QVERIFY(window.size() != turtleSize);

    // A colour change keeps the game in hand.
    window.hint();
    window.board()->removeSelectedPair();
    tlSettings::instance().backgroundColor = QColor(10, 20, 30);
    window.preferencesChanged();
    QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
    QCOMPARE(window.board()->backgroundBrush().color(), QColor(10, 20, 30));
    tlSettings::instance().backgroundColor = tlSettings::instance().defaultBackgroundColor;
}

void WindowTest::coordinateOverlayWidensTheFrame()
{
    tlSettings::instance().boardFrameWidth = 10;
    tlgWindow window(noArguments);
    const QSize narrow = window.size();
    window.viewTileCoordinates(true);
    QCOMPARE(tlSettings::instance().boardFrameWidth, 25);
    QCOMPARE(window.size(), narrow + QSize(30, 30));
    QVERIFY(tlSettings::instance().viewTileCoordinates);
    window.viewTileCoordinates(false);
    QCOMPARE(tlSettings::instance().boardFrameWidth, 25);
    QVERIFY(!tlSettings::instance().viewTileCoordinates);
}

void WindowTest::startUpRules()
{
    tlSettings &settings = tlSettings::instance();
    // The newest backup, when the player asked for it.
    QString saveFolder;
    std::vector<uint32_t> lastDeal;
    {
        tlgWindow previous(noArguments);
        lastDeal = kindsOf(previous);
        saveFolder = settings.saveGameDirectory;
    }
    settings.startWithLastGamePlayedAtLaunch = true;
    {
        tlgWindow window(noArguments);
        QCOMPARE(kindsOf(window), lastDeal);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane"));
        QCOMPARE(window.statusMessage(), QStringLiteral("Restored last game played (Turtle, 144 tiles)"));
        QCOMPARE(settings.saveGameDirectory, saveFolder);
    }
    settings.startWithLastGamePlayedAtLaunch = false;

    // A game file on the command line, refused when its extension is wrong.
    const QString path = dir.filePath(QStringLiteral("start.tlgf"));
    std::vector<uint32_t> fileDeal;
    {
        tlgWindow window(noArguments);
        QVERIFY(window.engine()->save(path));
        fileDeal = kindsOf(window);
    }
    {
        tlgWindow window({QStringLiteral("tilvane"), path});
        QCOMPARE(kindsOf(window), fileDeal);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - start.tlgf"));
    }

    // One that is no game is refused, and a new deal starts instead of an empty board.
    {
        const QString notes = writeTestFile(QDir(dir.path()), QStringLiteral("notes.tlgf"), "not a game");
        tlModalAnswerer answerer;
        tlgWindow window({QStringLiteral("tilvane"), notes});
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(window.tileItems().size(), 144);
        QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Turtle' (144 tiles)"));
    }

    // A file handed over by the operating system goes first, and one that arrives while
    // the window is up loads at once.
    const QString other = dir.filePath(QStringLiteral("other.tlgf"));
    QFile::copy(path, other);
    auto *app = qobject_cast<tlgApplication *>(QCoreApplication::instance());
    QFileOpenEvent request(other);
    QVERIFY(QCoreApplication::sendEvent(app, &request));
    tlgWindow window({QStringLiteral("tilvane"), dir.filePath(QStringLiteral("ignored.tlgf"))});
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - other.tlgf"));
    app->installEventFilter(&window);
    QFileOpenEvent later(path);
    QVERIFY(QCoreApplication::sendEvent(app, &later));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - start.tlgf"));
    app->removeEventFilter(&window);
}

void WindowTest::clockShowsTheFirstHour()
{
    QCOMPARE(tlgWindow::clockFace(0), QStringLiteral("00:00"));
    QCOMPARE(tlgWindow::clockFace(65), QStringLiteral("01:05"));
    QCOMPARE(tlgWindow::clockFace(59 * 60 + 59), QStringLiteral("59:59"));
    QCOMPARE(tlgWindow::clockFace(60 * 60), QStringLiteral("--:--"));
}

void WindowTest::minimisingAfterTheGameKeepsItsStart()
{
    useLayout(QStringLiteral("Hopeless"), tlTestLayouts::hopeless());
    tlModalAnswerer answerer;
    tlgWindow window(noArguments);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.gameEndTime() != 0);  // a dead end from the start
    const qint64 start = window.gameStartTime();
    window.showMinimized();
    QTest::qWait(50);
    window.showNormal();
    QTest::qWait(50);
    QCOMPARE(window.gameStartTime(), start);
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Hopeless"));
}

TILVANE_TEST_MAIN(WindowTest, tlgApplication)
#include "tst_window.moc"
