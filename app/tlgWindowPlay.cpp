// The commands that help while playing (hint, find match, peek, undo, finish), the
// status bar after every move, and the end of a game.

#include "tlgWindow.h"
#include "tlgWindowActions.h"

#include "tlHighscoreList.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgHighscoreViewer.h"
#include "tleGameEngine.h"
#include "tleTileKinds.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

namespace {

// Successive hints walk through the possible pairs, across games, for the whole run.
uint32_t hintCursor = 0;

QString pluralS(int count)
{
    return count == 1 ? QStringLiteral(" ") : QStringLiteral("s");
}

}

void tlgWindow::hint()
{
    ++hintCount;
    tleTilePairList pairs;
    const unsigned count = gameEngine->board() ? gameEngine->board()->possiblePairs(pairs) : 0;
    if (count == 0)
        return;
    uint32_t index = hintCursor;
    if (index >= count)
        index = 0;
    scene->showPair(pairs[index].first, pairs[index].second);
    hintCursor = index + 1;
    messageLabel->setText(tlSettings::instance().hintAlsoReportsTotalMoves
                              ? tr("There are %1 possible moves").arg(count)
                              : QString());
}

void tlgWindow::findMatch()
{
    ++findMatchCount;
    messageLabel->setText(scene->findMatchingTile() ? tr("Matching tile found") : tr("No matching tile"));
    updateCounters();
}

void tlgWindow::peek()
{
    if (!scene->peekAnimation())
        return;
    if (++peekCount == 1) {
        messageLabel->setText(tr("Current game barred from entering the highscore list due to "
                                 "use of peek cheat."));
    }
}

void tlgWindow::undo()
{
    ++undoCount;
    scene->undoLastPair();
}

void tlgWindow::finishGame()
{
    messageLabel->setText(tr("Finishing game"));
    for (;;) {
        tleTilePairList pairs;
        if (gameEngine->board() && gameEngine->board()->possiblePairs(pairs) > 0) {
            ++hintCount;
            scene->showPair(pairs.front().first, pairs.front().second);
            scene->removeSelectedPair();
        }
        if (gameEngine->isGameOver())
            break;
        // The player watches every move go, and may quit meanwhile.
        repaint();
        QCoreApplication::processEvents();
        if (closing)
            return;
    }
}

void tlgWindow::updateCounters()
{
    tilesLeftLabel->setText(QString::number(gameEngine->tilesLeft()));
    countersLabel->setText(QStringLiteral("%1/%2/%3").arg(undoCount).arg(hintCount).arg(findMatchCount));
    repaint();
    if (gameRunning() && gameEngine->isGameOver())
        gameOver();
}

void tlgWindow::showSelectedTileName(int kind)
{
    const bool show = kind >= 0 && kind < tle::kindCount && tlSettings::instance().showSelectedTileName;
    messageLabel->setText(show ? QString::fromLatin1(tle::descriptiveKindNames[kind]) : QString());
}

void tlgWindow::gameOver()
{
    endTime = QDateTime::currentSecsSinceEpoch();
    clock->stop();
    const tlSettings &settings = tlSettings::instance();
    tlHighscoreEntry entry;
    entry.startTime = startTime;
    entry.endTime = endTime;
    entry.layoutName = settings.layoutName;
    entry.tiles = gameEngine->tilesLeft();
    entry.hints = hintCount;
    entry.undos = undoCount;
    entry.findMatches = findMatchCount;
    const bool entersList = peekCount == 0 && tlHighscoreList::instance()->qualifies(entry);
    const QString highscoreSentence = entersList ? tr("The game will enter the highscore list.") : QString();

    QMessageBox box(this);
    box.setWindowTitle(QString::fromLatin1(tl::productName));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowFlags(Qt::Sheet);
    const int tilesLeft = gameEngine->tilesLeft();
    if (tilesLeft > 0) {
        const int deadEndPadding = 35;
        box.setText(tr("Dead end!") + QString(deadEndPadding, QLatin1Char(' ')));
        const QString details = tr("No more moves. %1 tiles (%2%) left. ")
                                    .arg(tilesLeft)
                                    .arg(tilesLeft * 100.0 / settings.maxTiles, 0, 'f', 1)
            + highscoreSentence;
        box.setInformativeText(details);
        messageLabel->setText(details);
    } else {
        const QString won = tr("Congratulations! All %1 tiles removed.").arg(settings.maxTiles);
        box.setText(won);
        messageLabel->setText(won);
        const qint64 duration = entry.duration();
        box.setInformativeText(tr("You used %1 hint%2, performed %3 undo%4, and searched %5 time%6 "
                                  "for a matching tile.\nDuration of game was %7 min and %8 sec. ")
                                   .arg(hintCount).arg(pluralS(hintCount))
                                   .arg(undoCount).arg(pluralS(undoCount))
                                   .arg(findMatchCount).arg(pluralS(findMatchCount))
                                   .arg(duration / 60).arg(duration % 60)
                               + highscoreSentence);
    }
    menuBar()->setEnabled(false);
    box.exec();
    menuBar()->setEnabled(true);
    for (QAction *off : {actions->finishGame, actions->undo, actions->hint, actions->replay,
                         actions->findMatch, actions->peek})
        off->setEnabled(false);
    view->setEnabled(false);
    repaint();
    if (entersList) {
        tlHighscoreList::instance()->addEntry(entry);
        viewHighscores();
    }
    enableHighscoresAction();
    actions->replay->setEnabled(true);
}
