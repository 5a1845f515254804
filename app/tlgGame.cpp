#include "tlgGame.h"

#include "tlClock.h"
#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlTilePictures.h"
#include "tlVersion.h"

#include <QTime>

namespace {

const int clockInterval = 1000;
const int secondsPerMinute = 60;
const qint64 lastShownMinute = 59;
const QString clockPastTheHour = QStringLiteral("--:--");
// The dead-end box keeps its width with blanks after its short headline.
const int deadEndPadding = 35;
const int percentDecimals = 1;
// Searches of up to this many plays are worth repeating with more.
const unsigned extendableSearch = 1000;

QString pluralS(int count)
{
    return count == 1 ? QStringLiteral(" ") : QStringLiteral("s");
}

}

tlgGame::tlgGame(const tlClock &gameClock)
    : clock(gameClock)
{
    ticker.setInterval(clockInterval);
    connect(&ticker, &QTimer::timeout, this, &tlgGame::tick);
}

tlgGame::~tlgGame() = default;

tlgGame::FirstGame tlgGame::firstGame(bool fileRequested, bool commandLineFile, bool restoreLast,
                                      bool backupExists)
{
    if (fileRequested)
        return FirstGame::RequestedFile;
    if (commandLineFile)
        return FirstGame::CommandLineFile;
    if (restoreLast && backupExists)
        return FirstGame::LastGamePlayed;
    return FirstGame::NewDeal;
}

tlgGame::PreferencesReaction tlgGame::preferencesReaction(bool sameLayout, bool imagesChanged)
{
    if (!sameLayout)
        return PreferencesReaction::NewLayout;
    return imagesChanged ? PreferencesReaction::NewImages : PreferencesReaction::Relayout;
}

bool tlgGame::loadChosenLayout(std::optional<RefusedLayout> &refused)
{
    tlSettings &settings = tlSettings::instance();
    const QString layoutFile = tlLayoutLocator::findLayoutFile(settings.layoutName, 0);
    const bool exists = tlLayoutHandler().openExisting(layoutFile);
    if (exists && gameEngine.init(layoutFile))
        return true;
    if (settings.layoutName == settings.defaultLayoutName)
        return false;
    refused = RefusedLayout{layoutFile, exists};
    settings.layoutName = settings.defaultLayoutName;
    return gameEngine.init(tlLayoutLocator::findLayoutFile(settings.layoutName, 0));
}

void tlgGame::deal(bool newDeal)
{
    gameEngine.resetGame();
    if (!newDeal)
        return;
    if (tlSettings::instance().winnableGameMode)
        gameEngine.arrangeTiles();
    else
        gameEngine.shuffleTiles();
}

tlgGame::Announcement tlgGame::announcement(bool newDeal, const QString &fileName)
{
    const tlSettings &settings = tlSettings::instance();
    const QString tileCount = QString::number(settings.maxTiles);
    const QString product = QString::fromLatin1(tl::productName);
    if (fileName.isEmpty()) {
        const QString message = newDeal ? tr("New game started with layout '%1' (%2 tiles)")
                                        : tr("Replay game with layout '%1' (%2 tiles)");
        return {message.arg(settings.layoutName, tileCount), product};
    }
    const QString bareName = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    return {tr("New game from file (%1) with layout '%2' (%3 tiles)")
                .arg(bareName, settings.layoutName, tileCount),
            QStringLiteral("%1 - %2").arg(product, bareName)};
}

tlgGame::SearchResult tlgGame::search(int maxIterations, tleSearchProgress *progress)
{
    SearchResult result;
    gameEngine.solve(result.tilesLeft, result.iterations, maxIterations, progress);
    // Without a single play the fewest tiles left are those of the full board.
    if (result.iterations == 0)
        result.tilesLeft = gameEngine.tilesLeft();
    result.found = result.iterations > 0 && result.tilesLeft == 0;
    if (result.found)
        return result;
    result.worthExtending = result.iterations <= extendableSearch;
    const QString failure =
        result.worthExtending
            ? tr("No solution found after %1 iterations. \n%2 tiles left. Try a more extended search.")
            : tr("No solution found after %1 iterations. \n%2 tiles left.");
    result.failure = failure.arg(result.iterations).arg(result.tilesLeft);
    return result;
}

int tlgGame::fittingTileHeight(const QSize &available, int frame, int reserved) const
{
    const tleBoard *board = gameEngine.board();
    if (!board || !board->layout())
        return tlSettings::instance().tileHeight;
    // Layout coordinates count half tiles.
    const tlLayoutHandler *layout = board->layout();
    const int columns = std::max(1, (layout->ux() - layout->lx() + 2) / 2);
    const int rows = std::max(1, (layout->uy() - layout->ly() + 2) / 2);
    const int byWidth = int(((available.width() - 2 * frame) / columns) * tl::tilePictureRatio);
    const int byHeight = (available.height() - 2 * frame - reserved) / rows;
    return std::min(byWidth, byHeight);
}

QString tlgGame::restoredAnnouncement()
{
    const tlSettings &settings = tlSettings::instance();
    return tr("Restored last game played (%1, %2 tiles)")
        .arg(settings.layoutName, QString::number(settings.maxTiles));
}

void tlgGame::start()
{
    undoCount = hintCount = findMatchCount = peekCount = 0;
    startTime = clock.secondsSinceEpoch();
    endTime = 0;
    minimizedAt = 0;
    started = true;
    ticker.start();
    emit clockChanged(clockFace());
}

tleTilePair tlgGame::nextHint(unsigned &pairCount)
{
    ++hintCount;
    tleTilePairList pairs;
    pairCount = gameEngine.board() ? gameEngine.board()->possiblePairs(pairs) : 0;
    if (pairCount == 0)
        return {nullptr, nullptr};
    if (hintCursor >= pairCount)
        hintCursor = 0;
    return pairs[hintCursor++];
}

tleTilePair tlgGame::nextFinishingPair()
{
    tleTilePairList pairs;
    if (!gameEngine.board() || gameEngine.board()->possiblePairs(pairs) == 0)
        return {nullptr, nullptr};
    ++hintCount;
    return pairs.front();
}

namespace {

// The longest the player waits for one answer of the solver; nearly every position
// takes a few milliseconds.
const tleSolver::Limits interactiveLimits{tleSolver::defaultNodeLimit, 2000};

}

tlgGame::Analysis tlgGame::analysePosition() const
{
    if (!gameEngine.board() || !gameEngine.board()->initialized())
        return {};
    const tleBoard &board = *gameEngine.board();
    const tleTilePairList &history = gameEngine.history();
    // The position after the first `moves` pairs of the history.
    const auto answerAfter = [&](size_t moves) {
        tleSolver solver(board);
        for (size_t i = moves; i < history.size(); ++i)
            solver.putBack(history[i]);
        return solver.solve(interactiveLimits).answer;
    };
    Analysis analysis{answerAfter(history.size()), 0};
    if (analysis.answer != tleSolver::Answer::notWinnable)
        return analysis;
    // A position that can be cleared stays so after one move back (take that move
    // again, then go on), so the winnable positions are a run from the deal on and
    // the last of them is found by halving.
    size_t lost = history.size();  // the earliest position known lost
    size_t won = 0;                // every position before this one is winnable
    while (won < lost) {
        const size_t middle = won + (lost - won) / 2;
        const tleSolver::Answer answer = answerAfter(middle);
        if (answer == tleSolver::Answer::unknown) {
            analysis.movesBack = -1;
            return analysis;
        }
        if (answer == tleSolver::Answer::winnable) {
            won = middle + 1;
        } else {
            lost = middle;
        }
    }
    // Unless even the deal is lost, the last winnable position is the one before `lost`.
    analysis.movesBack = lost > 0 ? int(history.size() - (lost - 1)) : 0;
    return analysis;
}

tleTilePair tlgGame::winningMove(tleSolver::Answer &answer)
{
    answer = tleSolver::Answer::unknown;
    if (!gameEngine.board() || !gameEngine.board()->initialized())
        return {nullptr, nullptr};
    const tleSolver::Result result = tleSolver(*gameEngine.board()).solve(interactiveLimits);
    answer = result.answer;
    if (result.answer != tleSolver::Answer::winnable || result.order.empty())
        return {nullptr, nullptr};
    ++hintCount;
    return result.order.front();
}

QString tlgGame::countersText() const
{
    return QStringLiteral("%1/%2/%3").arg(undoCount).arg(hintCount).arg(findMatchCount);
}

QString tlgGame::clockFace(qint64 elapsedSeconds)
{
    const qint64 minutes = elapsedSeconds / secondsPerMinute;
    if (minutes > lastShownMinute)
        return clockPastTheHour;
    return QTime(0, int(minutes), int(elapsedSeconds % secondsPerMinute))
        .toString(QStringLiteral("mm:ss"));
}

QString tlgGame::clockFace() const
{
    const qint64 now = minimizedAt != 0 ? minimizedAt : clock.secondsSinceEpoch();
    return clockFace((endTime != 0 ? endTime : now) - startTime);
}

void tlgGame::tick()
{
    const QString face = clockFace();
    // Past the hour the game goes on and its full length still counts; the clock stops.
    if (face == clockPastTheHour)
        ticker.stop();
    emit clockChanged(face);
}

void tlgGame::setMinimized(bool minimized)
{
    if (!isRunning() || minimized == (minimizedAt != 0))
        return;
    const qint64 now = clock.secondsSinceEpoch();
    if (minimized) {
        minimizedAt = now;
        return;
    }
    startTime += now - minimizedAt;
    minimizedAt = 0;
    emit clockChanged(clockFace());
}

bool tlgGame::hasEnded() const
{
    return endHandling && isRunning() && gameEngine.isGameOver();
}

tlHighscoreEntry tlgGame::entry() const
{
    tlHighscoreEntry result;
    result.startTime = startTime;
    result.endTime = endTime;
    result.layoutName = tlSettings::instance().layoutName;
    result.tiles = gameEngine.tilesLeft();
    result.hints = hintCount;
    result.undos = undoCount;
    result.findMatches = findMatchCount;
    return result;
}

tlgGame::Result tlgGame::end()
{
    const qint64 now = clock.secondsSinceEpoch();
    // Time spent minimised up to the very end does not count either.
    if (minimizedAt != 0) {
        startTime += now - minimizedAt;
        minimizedAt = 0;
    }
    endTime = now;
    ticker.stop();

    Result result;
    result.entry = entry();
    result.won = result.entry.tiles == 0;
    result.entersHighscores = peekCount == 0 && tlHighscoreList::instance()->qualifies(result.entry);
    const QString highscoreSentence =
        result.entersHighscores ? tr("The game will enter the highscore list.") : QString();
    const int maxTiles = tlSettings::instance().maxTiles;
    if (result.won) {
        result.headline = tr("Congratulations! All %1 tiles removed.").arg(maxTiles);
        result.status = result.headline;
        const qint64 duration = result.entry.duration();
        result.details = tr("You used %1 hint%2, performed %3 undo%4, and searched %5 time%6 "
                            "for a matching tile.\nDuration of game was %7 min and %8 sec. ")
                             .arg(hintCount).arg(pluralS(hintCount))
                             .arg(undoCount).arg(pluralS(undoCount))
                             .arg(findMatchCount).arg(pluralS(findMatchCount))
                             .arg(duration / secondsPerMinute).arg(duration % secondsPerMinute)
            + highscoreSentence;
    } else {
        const int tilesLeft = result.entry.tiles;
        result.headline = tr("Dead end!") + QString(deadEndPadding, QLatin1Char(' '));
        result.details = tr("No more moves. %1 tiles (%2%) left. ")
                             .arg(tilesLeft)
                             .arg(tilesLeft * 100.0 / maxTiles, 0, 'f', percentDecimals)
            + highscoreSentence;
        result.status = result.details;
    }
    return result;
}

void tlgGame::record(const Result &result)
{
    if (result.entersHighscores)
        tlHighscoreList::instance()->addEntry(result.entry);
}
