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
#include "tlgWinnability.h"
#include "tleTileKinds.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Shows a wait cursor while the solver thinks in the window's own thread.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

}

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

void tlgWindow::analysePosition()
{
    tlgGame::Analysis analysis;
    {
        const BusyCursor busy;
        analysis = running->analysePosition();
    }
    QMessageBox box(QMessageBox::Information, tr("Tilvane - Analyse Position"), QString(),
                    QMessageBox::Ok, this);
    QPushButton *undoThatFar = nullptr;
    if (analysis.answer == tleSolver::Answer::winnable) {
        box.setText(tr("The tiles on the board can still be cleared."));
    } else if (analysis.answer == tleSolver::Answer::unknown || analysis.movesBack < 0) {
        box.setText(tr("Tilvane could not decide in time whether the tiles on the board can "
                       "still be cleared."));
    } else if (analysis.movesBack == 0) {
        box.setText(tr("The tiles on the board can no longer be cleared, and this deal could "
                       "never be won."));
    } else {
        box.setText(tr("The tiles on the board can no longer be cleared. The game could last "
                       "be won %n move(s) ago.", nullptr, analysis.movesBack));
        undoThatFar = box.addButton(tr("Undo %n Move(s)", nullptr, analysis.movesBack),
                                    QMessageBox::AcceptRole);
        box.setDefaultButton(undoThatFar);
    }
    box.exec();
    if (!undoThatFar || box.clickedButton() != undoThatFar)
        return;
    for (int move = 0; move < analysis.movesBack; ++move) {
        running->countUndo();
        scene->undoLastPair();
    }
}

void tlgWindow::winningMove()
{
    tleSolver::Answer answer = tleSolver::Answer::unknown;
    tleTilePair pair;
    {
        const BusyCursor busy;
        pair = running->winningMove(answer);
    }
    if (pair.first) {
        scene->showPair(pair.first, pair.second);
        status->message->setText(tr("This pair keeps the game winnable"));
        updateCounters();
        return;
    }
    status->message->setText(answer == tleSolver::Answer::notWinnable
                                 ? tr("No move keeps this game winnable")
                                 : tr("No winning move found in time"));
}

void tlgWindow::showWinnability(bool on)
{
    tlSettings::instance().showWinnability = on;
    tlSettings::instance().writeSettings();
    status->winnability->setVisible(on);
    decideWinnability();
}

void tlgWindow::decideWinnability()
{
    if (!tlSettings::instance().showWinnability || !running->engine().board()) {
        winnability->abandon();
        return;
    }
    // The last answer stands until the new one comes, mostly within milliseconds, so
    // that the field does not flicker at every move.
    if (status->winnability->text().isEmpty())
        status->winnability->setText(tr("Deciding..."));
    winnability->decide(*running->engine().board());
}

void tlgWindow::updateCounters()
{
    status->tilesLeft->setText(QString::number(running->engine().tilesLeft()));
    status->counters->setText(running->countersText());
    decideWinnability();
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
                         actions->findMatch, actions->peek, actions->analysePosition,
                         actions->winningMove})
        off->setEnabled(false);
    view->setEnabled(false);
    repaint();
    running->record(result);
    if (result.entersHighscores)
        viewHighscores();
    enableHighscoresAction();
    actions->replay->setEnabled(true);
}
