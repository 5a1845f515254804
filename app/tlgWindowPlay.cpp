// The commands that help while playing (hint, find match, peek, undo, finish), the
// status bar after every move, and the end of a game.

#include "tlgWindow.h"
#include "tlgCommands.h"
#include "tlgStatusBar.h"

#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgFindSolutionDialog.h"
#include "tlgDialogs.h"
#include "tlgGame.h"
#include "tlgSearchProgress.h"
#include "tlgSolutionViewer.h"
#include "tleTileKinds.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>

void tlgWindow::hint()
{
    unsigned count = 0;
    const tleTilePair pair = running->nextHint(count);
    if (!pair.first)
        return;
    scene->showPair(pair.first, pair.second);
    status->message->setText(tlSettings::instance().hintAlsoReportsTotalMoves
                              ? tr("There are %1 possible moves").arg(count)
                              : QString());
}

void tlgWindow::findMatch()
{
    running->countFindMatch();
    status->message->setText(scene->findMatchingTile() ? tr("Matching tile found") : tr("No matching tile"));
    updateCounters();
}

void tlgWindow::peek()
{
    if (scene->peekAnimation() && running->countPeek()) {
        status->message->setText(tr("Current game barred from entering the highscore list due to "
                                 "use of peek cheat."));
    }
}

void tlgWindow::undo()
{
    running->countUndo();
    scene->undoLastPair();
}

void tlgWindow::finishGame()
{
    status->message->setText(tr("Finishing game"));
    for (;;) {
        const tleTilePair pair = running->nextFinishingPair();
        if (pair.first) {
            scene->showPair(pair.first, pair.second);
            scene->removeSelectedPair();
        }
        if (running->engine().isGameOver())
            break;
        // The player watches every move go, and may quit meanwhile.
        repaint();
        QCoreApplication::processEvents();
        if (closing)
            return;
    }
}

void tlgWindow::findSolution()
{
    windows->searchChoice->show();
}

void tlgWindow::searchSolution()
{
    const int maxIterations = windows->searchChoice->maxIterations();
    auto progress = std::make_unique<tlgSearchProgress>(this, maxIterations);
    const tlgGame::SearchResult result = running->search(maxIterations, progress.get());
    if (result.found) {
        windows->solution->setSolutionText(running->engine().solutionText());
        windows->solution->setSolutionPairs(running->engine().history());
        windows->solution->show();
        progress.reset();
        newGame(false, QString(), false);
        // The clock waits while the player studies the solution.
        running->stopClock();
        return;
    }
    progress.reset();
    QMessageBox::information(this, tr("Tilvane - Solution Search"), result.failure, QMessageBox::Ok);
    if (result.worthExtending)
        windows->searchChoice->show();
    else
        newGame(false, QString(), false);
}

void tlgWindow::updateCounters()
{
    status->tilesLeft->setText(QString::number(running->engine().tilesLeft()));
    status->counters->setText(running->countersText());
    repaint();
    if (running->hasEnded())
        gameOver();
}

void tlgWindow::showSelectedTileName(int kind)
{
    const bool show = kind >= 0 && kind < tle::kindCount && tlSettings::instance().showSelectedTileName;
    status->message->setText(show ? QString::fromLatin1(tle::descriptiveKindNames[kind]) : QString());
}

void tlgWindow::gameOver()
{
    const tlgGame::Result result = running->end();
    QMessageBox box(this);
    box.setWindowTitle(QString::fromLatin1(tl::productName));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowFlags(Qt::Sheet);
    box.setText(result.headline);
    box.setInformativeText(result.details);
    status->message->setText(result.status);
    menuBar()->setEnabled(false);
    box.exec();
    menuBar()->setEnabled(true);
    for (QAction *off : {actions->finishGame, actions->undo, actions->hint, actions->replay,
                         actions->findMatch, actions->peek})
        off->setEnabled(false);
    view->setEnabled(false);
    repaint();
    running->record(result);
    if (result.entersHighscores)
        viewHighscores();
    enableHighscoresAction();
    actions->replay->setEnabled(true);
}
