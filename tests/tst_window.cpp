#include "tlDataDirectory.h"
#include "tlHighscoreList.h"
#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlModalAnswerer.h"
#include "tlPreferencesDialog.h"
#include "tlSettings.h"
#include "tlTestClock.h"
#include "tlTestEnvironment.h"
#include "tlTestFiles.h"
#include "tlTestGames.h"
#include "tlTestLayouts.h"
#include "tlgApplication.h"
#include "tlgBackupHandler.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgDialogs.h"
#include "tlgFindSolutionDialog.h"
#include "tlgGame.h"
#include "tlgHighscoreViewer.h"
#include "tlgSolutionViewer.h"
#include "tlgTile.h"
#include "tlgWindow.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QAction>
#include <QComboBox>
#include <QFileOpenEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTableWidget>

namespace {

const QStringList noArguments{QStringLiteral("tilvane")};

// The backups are the files in the backup folder, which is the current directory.
int backupCount()
{
    return QDir::current().entryList({QStringLiteral("*.tlgf")}, QDir::Files).size();
}

std::vector<uint32_t> kindsOf(const tlgWindow &window)
{
    return kindsOf(*window.engine());
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

bool enabled(const tlgWindow &window, const char *name)
{
    QAction *action = window.action(QString::fromLatin1(name));
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
    void unplayableFileKeepsTheGame();
    void unplayableLayoutGivesWayToTheDefault();
    void fileDialogsAndNames();
    void quittingStopsFinishingAndTellsOfLostSettings();
    void garbageStoreStillPlays();
    void startupFailuresAreReportedUp();
    void solutionSearchOutcomes();
    void wonGameEntersTheHighscores();
    void deadEndIsAnnounced();
    void layoutChangeDealsAtOnce();
    void coordinateOverlayWidensTheFrame();
    void minimisedTimeDoesNotCount();
    void winnabilityCommands();
    // Last: the file-open request it hands to the application stays there.
    void startUpRules();

private:
    void useLayout(const QString &name, const QVector<tlTilePosition> &positions);
    QTemporaryDir dir;
    tlTestClock clock;
};

void WindowTest::initTestCase()
{
    // As at the game's start-up, so that the window finds the layouts added below.
    tlSettings::instance().readSettings();
    tlSettings::instance().lendUserLayoutsToLocator();
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
    clock.advance();  // backups are named by their second
    const int backupsBefore = backupCount();
    tlgWindow window(noArguments, clock);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane"));
    QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Turtle' (144 tiles)"));
    QCOMPARE(window.tilesLeftText(), QStringLiteral("144"));
    QCOMPARE(window.countersText(), QStringLiteral("0/0/0"));
    QCOMPARE(window.clockText(), QStringLiteral("00:00"));
    // Every command: its menu, its shortcut and whether a fresh game offers it.
    using Keys = QKeySequence;
    const struct { const char *name, *menu; QKeySequence keys; bool on; } commands[] = {
        {"newGame", "Game", Keys::New, true}, {"open", "Game", Keys::Open, true},
        {"openRecent", "Game", Keys(QStringLiteral("Ctrl+R")), true}, {"save", "Game", Keys::Save, true},
        {"replay", "Game", Keys(), false}, {"hint", "Game", Keys(QStringLiteral("Ctrl+I")), true},
        {"findMatch", "Game", Keys::Find, false}, {"undo", "Game", Keys::Undo, false},
        {"peek", "Game", Keys(QStringLiteral("Ctrl+E")), false}, {"quit", "Game", Keys::Quit, true},
        {"highscores", "View", Keys(), false}, {"tileCoordinates", "View", Keys(), true},
        {"finishGame", "Tools", Keys(), true}, {"layoutDesigner", "Tools", Keys(), true},
        {"playedTiles", "View", Keys(QStringLiteral("Ctrl+P")), true},
        {"preferences", "View", Keys(QStringLiteral("Ctrl+,")), true},
        {"findSolution", "Tools", Keys(), true}, {"checkForUpdates", "Help", Keys(), true},
        {"analysePosition", "Tools", Keys(QStringLiteral("Ctrl+Shift+A")), true},
        {"winningMove", "Tools", Keys(QStringLiteral("Ctrl+Shift+I")), true},
        {"showWinnability", "Tools", Keys(), true},
        {"about", "Help", Keys(), true}, {"help", "Help", Keys(), true},
    };
    for (const auto &command : commands) {
        QAction *action = window.action(QLatin1String(command.name));
        QVERIFY2(action, command.name);
        QCOMPARE(action->shortcut(), command.keys);
        QCOMPARE(action->isEnabled(), command.on);
        const auto menus = action->associatedWidgets();
        QVERIFY2(std::any_of(menus.begin(), menus.end(), [&](QWidget *menu) {
                     auto *m = qobject_cast<QMenu *>(menu);
                     return m && m->title() == QLatin1String(command.menu);
                 }), command.name);
    }
    QCOMPARE(window.tileItems().size(), 144);
    QCOMPARE(backupCount(), backupsBefore + 1);
    // The window is fixed to the board.
    QCOMPARE(window.minimumSize(), window.maximumSize());
}

void WindowTest::clickingAPairRemovesIt()
{
    tlgWindow window(noArguments, clock);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const tleTilePair pair = pairsOf(window).front();
    click(window, pair.first);
    QCOMPARE(window.board()->firstSelected()->tile(), pair.first);
    QCOMPARE(window.statusMessage(), QString::fromLatin1(tle::descriptiveKindNames[pair.first->type]));
    QVERIFY(enabled(window, "findMatch"));
    click(window, pair.second);
    QCOMPARE(window.board()->secondSelected()->tile(), pair.second);
    click(window, pair.second, Qt::RightButton);
    QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
    QCOMPARE(pair.first->state, 0);
    QVERIFY(!window.board()->itemForTile(pair.first)->isVisible());
    QVERIFY(enabled(window, "undo"));
    QVERIFY(enabled(window, "replay"));
    QVERIFY(window.statusMessage().isEmpty());
}

void WindowTest::hintsWalkThroughThePairs()
{
    tlgWindow window(noArguments, clock);
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
    tlgWindow window(noArguments, clock);
    const auto deal = kindsOf(window);
    window.hint();
    window.board()->removeSelectedPair();
    window.hint();
    window.board()->removeSelectedPair();
    QCOMPARE(window.tilesLeftText(), QStringLiteral("140"));
    window.undo();
    QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
    QCOMPARE(window.countersText(), QStringLiteral("1/2/0"));
    QVERIFY(enabled(window, "undo"));

    const int backupsBefore = backupCount();
    window.replay();
    QCOMPARE(kindsOf(window), deal);
    QCOMPARE(window.tilesLeftText(), QStringLiteral("144"));
    QCOMPARE(window.countersText(), QStringLiteral("0/0/0"));
    QCOMPARE(window.clockText(), QStringLiteral("00:00"));
    QCOMPARE(window.statusMessage(), QStringLiteral("Replay game with layout 'Turtle' (144 tiles)"));
    QCOMPARE(backupCount(), backupsBefore);
    QVERIFY(!enabled(window, "undo"));
}

void WindowTest::findMatchAndPeek()
{
    tlgWindow window(noArguments, clock);
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
    QVERIFY(enabled(window, "peek"));
    window.peek();
    QCOMPARE(window.game().peeks(), 1);
    QCOMPARE(window.statusMessage(),
             QStringLiteral("Current game barred from entering the highscore list due to use of peek cheat."));
    window.peek();  // still sliding: refused, not counted
    QCOMPARE(window.game().peeks(), 1);
}

void WindowTest::saveAndOpenAgain()
{
    tlgWindow window(noArguments, clock);
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
    clock.advance();  // backups are named by their second
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
    tlgWindow window(noArguments, clock);
    const QString path = dir.filePath(QStringLiteral("scattered.tlgf"));
    QVERIFY(window.engine()->save(path));
    tlSettings::instance().removeUserLayoutFile(QStringLiteral("Scattered"));

    tlModalAnswerer answerer;
    answerer.answerBox(QMessageBox::Open);
    answerer.answerFile(QString());  // the file dialog is cancelled: the question comes again
    answerer.answerBox(QMessageBox::Cancel);
    clock.advance();  // backups are named by their second
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

void WindowTest::unplayableFileKeepsTheGame()
{
    tlLayoutHandler turtle;
    QVERIFY(turtle.open(tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)));
    const QString damaged = writeTestFile(QDir(dir.path()), QStringLiteral("damaged.tlgf"),
        QStringLiteral("<game><layout name=\"Turtle\" cs=\"%1\"/><tile layer=\"4\" x=\"13\" y=\"7\" type=\"99\"/></game>")
            .arg(turtle.checksum()).toUtf8());
    const QString message = QStringLiteral("Could not load the game from file '%1'. The file may be "
                                           "damaged, or the layout does not belong to it.\n%2");
    tlModalAnswerer answerer;
    {
        // In the middle of a game, everything of it stays as it was.
        tlgWindow window(noArguments, clock);
        window.hint();
        window.board()->removeSelectedPair();
        const auto deal = kindsOf(window);
        window.loadGameFile(damaged, true);
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, message.arg(damaged, QStringLiteral("The current game goes on.")));
        QCOMPARE(kindsOf(window), deal);
        QCOMPARE(window.engine()->history().size(), size_t(1));
        QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
        QCOMPARE(window.countersText(), QStringLiteral("0/1/0"));
        QCOMPARE(window.tileItems().size(), 144);
        QVERIFY(enabled(window, "undo"));
    }
    {
        // At start-up a fresh deal of the whole set follows, and that is what is backed up.
        tlgWindow window({QStringLiteral("tilvane"), damaged}, clock);
        QCOMPARE(answerer.boxes.size(), 2);
        QCOMPARE(answerer.boxes[1].text, message.arg(damaged, QStringLiteral("A new game is started instead.")));
        QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Turtle' (144 tiles)"));
        QVERIFY(tleGameEngine::isFullSet(kindsOf(window)));
        tlgBackupInfo latest;
        QVERIFY(tlgBackupHandler(clock).latestBackup(latest));
        tleGameEngine backup;
        QVERIFY(backup.open(latest.path, tlLayoutLocator::findLayoutFile(QStringLiteral("Turtle"), 0)));
    }
}

void WindowTest::unplayableLayoutGivesWayToTheDefault()
{
    tlSettings &settings = tlSettings::instance();
    const QString name = QStringLiteral("Unverified");
    settings.removeUserLayoutFile(name);
    const QString file = tlTestLayouts::write(QDir(dir.path()), name, tlTestLayouts::scattered(), false);
    settings.addUserLayoutFile(name, file);
    const QString warning = QStringLiteral("Cannot load layout '%1'. Please check that the file is accessible or "
                                           "remove it from the list of available layouts in the Preferences "
                                           "dialog.\n\nUsing default layout instead.").arg(file);
    tlModalAnswerer answerer;
    settings.layoutName = name;
    tlgWindow window(noArguments, clock);
    settings.layoutName = name;
    window.preferencesChanged();
    QCOMPARE(answerer.boxes.size(), 2);  // at start-up and after the change
    for (const auto &box : qAsConst(answerer.boxes))
        QCOMPARE(box.text, warning);
    QCOMPARE(settings.layoutName, QStringLiteral("Turtle"));
    QCOMPARE(window.engine()->board()->layout()->name(), QStringLiteral("Turtle"));
    QCOMPARE(window.statusMessage(), QStringLiteral("New game started with layout 'Turtle' (144 tiles)"));
    settings.removeUserLayoutFile(name);
}

void WindowTest::fileDialogsAndNames()
{
    tlSettings &settings = tlSettings::instance();
    tlgWindow window(noArguments, clock);
    const auto deal = kindsOf(window);
    tlModalAnswerer answerer;
    // A remembered folder that is gone gives way to home, not to the backup folder.
    settings.saveGameDirectory = dir.filePath(QStringLiteral("gone"));
    answerer.answerFile(dir.filePath(QStringLiteral("50%1 of %2")));
    window.save();
    answerer.answerFile(QString());
    window.open();
    QCOMPARE(answerer.fileDialogFolders, QStringList({QDir::homePath(), QDir(dir.path()).absolutePath()}));

    // The extension is added to a name typed without it, and the name survives the
    // status message whole.
    const QString saved = dir.filePath(QStringLiteral("50%1 of %2.tlgf"));
    QVERIFY(QFile::exists(saved));
    window.newGame();
    window.loadGameFile(saved, true);
    QCOMPARE(kindsOf(window), deal);
    QCOMPARE(window.statusMessage(),
             QStringLiteral("New game from file (50%1 of %2.tlgf) with layout 'Turtle' (144 tiles)"));
}

void WindowTest::quittingStopsFinishingAndTellsOfLostSettings()
{
    useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tlgWindow window(noArguments, clock);
    tlModalAnswerer answerer;
    // A file where the store's folder should be: the store cannot be written, even by root.
    const QString store = tlSettings::instance().storeFileName();
    const QString folder = QFileInfo(store).absolutePath();
    QVERIFY(QDir().rename(folder, folder + QStringLiteral(".aside")));
    writeTestFile(QFileInfo(folder).dir(), QFileInfo(folder).fileName(), "not a folder");
    QTimer::singleShot(0, &window, &QWidget::close);
    window.finishGame();
    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().rename(folder + QStringLiteral(".aside"), folder));
    QCOMPARE(window.tilesLeftText(), QStringLiteral("142"));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Your highscores and preferences could not be saved: "
                                                    "the settings file '%1' cannot be written.").arg(store));
    QVERIFY(!window.dialogs().highscores->isVisible());
    QVERIFY(!tlHighscoreList::instance()->hasLayout(QStringLiteral("Scattered")));
    // Closing the window ended the event loop for good, as quitting must; the tests
    // after this one run loops of their own again.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

void WindowTest::winnabilityCommands()
{
    // Every deal of this layout can be won.
    useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tlgWindow window(noArguments, clock);
    tlModalAnswerer answerer;
    window.analysePosition();
    QCOMPARE(answerer.texts(), QStringList{QStringLiteral("The tiles on the board can still be cleared.")});

    window.winningMove();
    QCOMPARE(window.statusMessage(), QStringLiteral("This pair keeps the game winnable"));
    QCOMPARE(window.countersText(), QStringLiteral("0/1/0"));
    QVERIFY(window.board()->firstSelected() && window.board()->secondSelected());

    QVERIFY(window.winnabilityText().isNull());
    window.action(QStringLiteral("showWinnability"))->trigger();
    QVERIFY(tlSettings::instance().showWinnability);
    QTRY_COMPARE(window.winnabilityText(), QStringLiteral("Winnable"));
    window.action(QStringLiteral("showWinnability"))->trigger();
    QVERIFY(!tlSettings::instance().showWinnability);
    QVERIFY(window.winnabilityText().isNull());
}

void WindowTest::garbageStoreStillPlays()
{
    const QString general = QStringLiteral("Tilvane/General/Preferences/");
    const QString game = QStringLiteral("Tilvane/Game/Preferences/");
    const QVector<QPair<QString, QVariant>> garbage = {
        {general + QStringLiteral("MaxTiles"), 0},
        {general + QStringLiteral("MaxHighscoreEntries"), -1},
        {game + QStringLiteral("TileHeight"), -5},
        {game + QStringLiteral("BoardFrameWidth"), -1000},
        {game + QStringLiteral("TileStyle"), 7},
        {game + QStringLiteral("ThumbnailHeight"), QStringLiteral("abc")},
        {game + QStringLiteral("BackgroundColor/green"), 999},
    };
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vk"), QStringLiteral("Tilvane"));
        for (const auto &entry : garbage)
            raw.setValue(entry.first, entry.second);
    }
    tlSettings &settings = tlSettings::instance();
    settings.readSettings();
    settings.layoutName = settings.defaultLayoutName;  // an earlier test stored another
    tlgWindow window(noArguments, clock);
    QVERIFY(window.board()->itemsBoundingRect().height() > 5 * settings.defaultThumbnailHeight);
    QCOMPARE(window.board()->backgroundBrush().color(), QColor(Qt::darkGreen));
    tlModalAnswerer answerer;
    window.finishGame();
    QCOMPARE(answerer.boxes.size(), 1);
    const QString told = answerer.boxes[0].text + answerer.boxes[0].informative;
    QVERIFY2(QRegularExpression(QStringLiteral("^Congratulations! All 144 tiles removed\\.|"
                                               "No more moves\\. \\d+ tiles \\(\\d+\\.\\d%\\) left\\. "
                                               "The game will enter the highscore list\\.$"))
                 .match(told).hasMatch(), qPrintable(told));
    QCOMPARE(tlHighscoreList::instance()->entries(QStringLiteral("Turtle")).size(), 1);

    // The defaults, not the garbage, go back into the store.
    QVERIFY(settings.writeSettings());
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vk"), QStringLiteral("Tilvane"));
    for (const auto &entry : garbage)
        QVERIFY2(raw.value(entry.first) != entry.second, qPrintable(entry.first));
    QCOMPARE(raw.value(general + QStringLiteral("MaxTiles")).toInt(), 144);
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Turtle"));
}

void WindowTest::startupFailuresAreReportedUp()
{
    // The data search looks into this folder first, and into the source tree no more.
    QTemporaryDir data;
    qputenv("TILVANE_DATA_DIR", data.path().toLocal8Bit());
    const auto restore = qScopeGuard([] { qunsetenv("TILVANE_DATA_DIR"); });
    if (dataDirectoryFound(findDataDirectory("layouts")))
        QSKIP("An installed copy of the game's data is in the way.");
    tlModalAnswerer answerer;
    {
        tlgWindow window(noArguments, clock);
        QCOMPARE(window.startupFailure(), tlLayoutLocator::missingDirectoryMessage());
        // Help is a loss the game survives.
        QVERIFY(!window.dialogs().help);
        QVERIFY(answerer.texts().value(0).startsWith(
            QStringLiteral("Cannot find the directory holding the documentation (docs).")));
        window.help();
        QVERIFY(answerer.texts().value(1).startsWith(QStringLiteral("Sorry no help available.")));
    }
    QVERIFY(QFile::link(QStringLiteral(TILVANE_LAYOUTS_DIR), data.filePath(QStringLiteral("layouts"))));
    tlgWindow window(noArguments, clock);
    QVERIFY2(window.startupFailure().startsWith(QStringLiteral("Cannot find the directory holding the tile sets.")),
             qPrintable(window.startupFailure()));
}

void WindowTest::solutionSearchOutcomes()
{
    // Chooses a search mode in the dialog and confirms it, as the player would.
    const auto searchWith = [](tlgWindow &window, int mode) {
        window.findSolution();
        tlgFindSolutionDialog *dialog = window.dialogs().searchChoice;
        QVERIFY(dialog->isVisible());
        dialog->findChild<QComboBox *>()->setCurrentIndex(mode);
        dialog->accept();
    };
    const int standardSearch = 1;  // 1000 plays
    const int extendedSearch = 2;  // 10000 plays
    tlModalAnswerer answerer;
    {
        useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
        tlgWindow window(noArguments, clock);
        window.hint();
        window.board()->removeSelectedPair();
        searchWith(window, standardSearch);
        QVERIFY(window.dialogs().solution->isVisible());
        QCOMPARE(window.tilesLeftText(), QStringLiteral("144"));
        QCOMPARE(window.countersText(), QStringLiteral("0/0/0"));
        QCOMPARE(window.clockText(), QStringLiteral("00:00"));
        // Walking the solution to the empty board is no win while the viewer shows.
        QVERIFY(!window.game().hasEnded());
        window.dialogs().solution->hide();
        QCOMPARE(window.tilesLeftText(), QStringLiteral("144"));
        QVERIFY(answerer.boxes.isEmpty());
    }
    useLayout(QStringLiteral("Hopeless"), tlTestLayouts::hopeless());
    tlgWindow window(noArguments, clock);
    const QString failure = QStringLiteral("No solution found after %1 iterations. \n144 tiles left.");
    searchWith(window, standardSearch);
    QCOMPARE(answerer.boxes.size(), 2);  // the dead end at the start, then the search
    QCOMPARE(answerer.boxes[1].title, QStringLiteral("Tilvane - Solution Search"));
    QCOMPARE(answerer.boxes[1].text, failure.arg(1000) + QStringLiteral(" Try a more extended search."));
    QVERIFY(window.dialogs().searchChoice->isVisible());
    searchWith(window, extendedSearch);
    QCOMPARE(answerer.boxes[2].text, failure.arg(10000));
    QVERIFY(!window.dialogs().searchChoice->isVisible());
    QVERIFY(answerer.boxes.last().text.startsWith(QStringLiteral("Dead end!")));  // the deal again
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Hopeless"));
}

void WindowTest::wonGameEntersTheHighscores()
{
    useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tlgWindow window(noArguments, clock);
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
    for (const char *off : {"finishGame", "undo", "hint", "findMatch", "peek"})
        QVERIFY2(!enabled(window, off), off);
    QVERIFY(enabled(window, "replay"));
    QVERIFY(enabled(window, "highscores"));
    QVERIFY(!window.boardView()->isEnabled());
    QVERIFY(window.dialogs().highscores->isVisible());
    // The viewer comes up with the fresh result marked.
    auto *table = window.dialogs().highscores->findChild<QTableWidget *>();
    QVERIFY(table && table->item(0, 0));
    QCOMPARE(table->item(0, 0)->foreground().color(), QColor(Qt::red));
    const auto entries = tlHighscoreList::instance()->entries(QStringLiteral("Scattered"));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].tiles, 0);
    QCOMPARE(entries[0].hints, 72);
    QCOMPARE(entries[0].undos, 1);
    QCOMPARE(entries[0].endTime, window.game().gameEndTime());
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Scattered"));
}

void WindowTest::deadEndIsAnnounced()
{
    useLayout(QStringLiteral("Hopeless"), tlTestLayouts::hopeless());
    tlModalAnswerer answerer;
    tlgWindow window(noArguments, clock);
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Dead end!") + QString(35, QLatin1Char(' ')));
    QCOMPARE(answerer.boxes[0].informative,
             QStringLiteral("No more moves. 144 tiles (100.0%) left. The game will enter the highscore list."));
    QCOMPARE(window.statusMessage(), answerer.boxes[0].informative);
    QVERIFY(!enabled(window, "hint"));
    QVERIFY(window.game().gameEndTime() != 0);
    QCOMPARE(tlHighscoreList::instance()->entries(QStringLiteral("Hopeless")).size(), 1);
    tlHighscoreList::instance()->removeLayout(QStringLiteral("Hopeless"));
}

void WindowTest::layoutChangeDealsAtOnce()
{
    tlgWindow window(noArguments, clock);
    const QSize turtleSize = window.size();
    tlSettings::instance().layoutName = QStringLiteral("Montezuma");
    emit window.dialogs().preferences->preferencesChanged();
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
    tlgWindow window(noArguments, clock);
    const QSize narrow = window.size();
    window.viewTileCoordinates(true);
    QCOMPARE(tlSettings::instance().boardFrameWidth, 25);
    QCOMPARE(window.size(), narrow + QSize(30, 30));
    QVERIFY(tlSettings::instance().viewTileCoordinates);
    window.viewTileCoordinates(false);
    QCOMPARE(tlSettings::instance().boardFrameWidth, 25);
    QVERIFY(!tlSettings::instance().viewTileCoordinates);

    // Shown from the start, the labels get their room at once.
    tlSettings::instance().boardFrameWidth = 10;
    tlSettings::instance().viewTileCoordinates = true;
    tlgWindow shown(noArguments, clock);
    QCOMPARE(tlSettings::instance().boardFrameWidth, 25);
    QCOMPARE(shown.size(), narrow + QSize(30, 30));
    tlSettings::instance().viewTileCoordinates = false;
}

void WindowTest::startUpRules()
{
    tlSettings &settings = tlSettings::instance();
    // The newest backup, when the player asked for it.
    QString saveFolder;
    std::vector<uint32_t> lastDeal;
    {
        tlgWindow previous(noArguments, clock);
        lastDeal = kindsOf(previous);
        saveFolder = settings.saveGameDirectory;
    }
    settings.startWithLastGamePlayedAtLaunch = true;
    {
        tlgWindow window(noArguments, clock);
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
        tlgWindow window(noArguments, clock);
        QVERIFY(window.engine()->save(path));
        fileDeal = kindsOf(window);
    }
    {
        tlgWindow window({QStringLiteral("tilvane"), path}, clock);
        QCOMPARE(kindsOf(window), fileDeal);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - start.tlgf"));
    }

    // One that is no game is refused, and a new deal starts instead of an empty board.
    {
        const QString notes = writeTestFile(QDir(dir.path()), QStringLiteral("notes.tlgf"), "not a game");
        tlModalAnswerer answerer;
        tlgWindow window({QStringLiteral("tilvane"), notes}, clock);
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
    tlgWindow window({QStringLiteral("tilvane"), dir.filePath(QStringLiteral("ignored.tlgf"))}, clock);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - other.tlgf"));
    app->installEventFilter(&window);
    QFileOpenEvent later(path);
    QVERIFY(QCoreApplication::sendEvent(app, &later));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tilvane - start.tlgf"));
    app->removeEventFilter(&window);
}

void WindowTest::minimisedTimeDoesNotCount()
{
    useLayout(QStringLiteral("Scattered"), tlTestLayouts::scattered());
    tlgWindow window(noArguments, clock);
    clock.advance(5);
    window.showMinimized();
    clock.advance(100);
    window.showNormal();
    QCOMPARE(window.clockText(), QStringLiteral("00:05"));
}

TILVANE_TEST_MAIN(WindowTest, tlgApplication)
#include "tst_window.moc"
