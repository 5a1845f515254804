#include "tlgWindow.h"
#include "tlgCommands.h"
#include "tlgStatusBar.h"

#include "tlClock.h"
#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgBackupViewer.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgCommandLine.h"
#include "tlgCoordinateOverlay.h"
#include "tlgDialogs.h"
#include "tlgGame.h"
#include "tlAboutDialog.h"
#include "tlHelpBrowser.h"
#include "tlPreferencesDialog.h"
#include "tlUpdater.h"
#include "tlgFindSolutionDialog.h"
#include "tlgHighscoreViewer.h"
#include "tlgPlayedTilesViewer.h"
#include "tlgSolutionViewer.h"
#include "tlgLayoutDesignerClient.h"
#include "tlgTileHandler.h"
#include "tlgWinnability.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QWindowStateChangeEvent>

namespace {

const QRectF initialSceneRect(0, 0, 100, 100);
// The coordinate labels stand in the frame around the tiles; below this they are hidden.
const int legibleFrame = 25;

QString productName()
{
    return QString::fromLatin1(tl::productName);
}

}

tlgWindow::tlgWindow(const QStringList &arguments, QWidget *parent)
    : tlgWindow(arguments, tlClock::system(), parent)
{
}

tlgWindow::tlgWindow(const QStringList &arguments, const tlClock &windowClock, QWidget *parent)
    : QMainWindow(parent)
    , clock(windowClock)
    , actions(std::make_unique<tlgCommands>(this))
    , running(std::make_unique<tlgGame>(clock))
    , designer(std::make_unique<tlgLayoutDesignerClient>())
    , overlay(std::make_unique<tlgCoordinateOverlay>())
{
    const QString commandLineFile = tlgCommandLine::process(arguments, this);
    setWindowTitle(productName());
    buildBoardView();
    setMenuBar(actions->menuBar(this));
    status = std::make_unique<tlgStatusBar>(statusBar());
    status->winnability->setVisible(tlSettings::instance().showWinnability);
    winnability = new tlgWinnability(this);
    windows = std::make_unique<tlgDialogs>(this, scene, clock);
    setUpHelp();
    connectParts();
    startFirstGame(commandLineFile);
}

tleGameEngine *tlgWindow::engine() const
{
    return &running->engine();
}

const QVector<tlgTile *> &tlgWindow::tileItems() const
{
    return scene->tiles();
}

tlgWindow::~tlgWindow()
{
    tlSettings::instance().writeSettings();
    // The tile items point at the engine's records, which go first.
    scene->removeTiles();
}

void tlgWindow::buildBoardView()
{
    view = new tlgBoardView(this);
    scene = new tlgBoard(view);
    view->setScene(scene);
    scene->setSceneRect(initialSceneRect);
    setCentralWidget(view);
    scene->setBackgroundBrush(QBrush(tlSettings::instance().backgroundColor));
}

void tlgWindow::connectParts()
{
    const tlgCommands &a = *actions;
    using Slot = void (tlgWindow::*)();
    const std::pair<QAction *, Slot> commands[] = {
        {a.open, &tlgWindow::open}, {a.openRecent, &tlgWindow::viewBackups},
        {a.save, &tlgWindow::save}, {a.replay, &tlgWindow::replay}, {a.hint, &tlgWindow::hint},
        {a.findMatch, &tlgWindow::findMatch}, {a.undo, &tlgWindow::undo}, {a.peek, &tlgWindow::peek},
        {a.highscores, &tlgWindow::viewHighscores}, {a.playedTiles, &tlgWindow::viewPlayedTiles},
        {a.preferences, &tlgWindow::preferences}, {a.finishGame, &tlgWindow::finishGame},
        {a.findSolution, &tlgWindow::findSolution}, {a.layoutDesigner, &tlgWindow::launchLayoutDesigner},
        {a.analysePosition, &tlgWindow::analysePosition}, {a.winningMove, &tlgWindow::winningMove},
        {a.checkForUpdates, &tlgWindow::checkForUpdates}, {a.help, &tlgWindow::help},
    };
    for (const auto &[action, slot] : commands)
        connect(action, &QAction::triggered, this, slot);
    connect(a.newGame, &QAction::triggered, this, [this] { newGame(); });
    connect(a.quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(a.tileCoordinates, &QAction::triggered, this, &tlgWindow::viewTileCoordinates);
    connect(a.showWinnability, &QAction::triggered, this, &tlgWindow::showWinnability);
    connect(winnability, &tlgWinnability::decided, this, [this](tleSolver::Answer answer) {
        status->winnability->setText(answer == tleSolver::Answer::winnable      ? tr("Winnable")
                                     : answer == tleSolver::Answer::notWinnable ? tr("Not winnable")
                                                                                : tr("Undecided"));
    });
    connect(a.about, &QAction::triggered, windows->about, &tlAboutDialog::show);
    connect(windows->preferences, &tlPreferencesDialog::preferencesChanged, this, &tlgWindow::preferencesChanged);
    connect(windows->searchChoice, &tlgFindSolutionDialog::startSearch, this, &tlgWindow::searchSolution);
    connect(windows->searchChoice, &tlgFindSolutionDialog::resetGame, this, &tlgWindow::replay);
    connect(windows->solution, &tlgSolutionViewer::resetGame, this, &tlgWindow::replay);
    // Walking a solution to the empty board is no win.
    connect(windows->solution, &tlgSolutionViewer::visibilityChanged, running.get(),
            [this](bool visible) { running->setEndHandling(!visible); });

    connect(this, &tlgWindow::prepareNewGame, scene, &tlgBoard::newGame);
    connect(scene, &tlgBoard::updateCounters, this, &tlgWindow::updateCounters);
    connect(running.get(), &tlgGame::clockChanged, this, &tlgWindow::updateClock);
    connect(scene, &tlgBoard::tileSelected, this, &tlgWindow::showSelectedTileName);
    connect(scene, &tlgBoard::activateUndo, this, &tlgWindow::activateUndo);
    connect(scene, &tlgBoard::activateReplay, this, &tlgWindow::activateReplay);
    connect(scene, &tlgBoard::activatePeek, this, &tlgWindow::activatePeek);
    connect(scene, &tlgBoard::activateFindMatching, this, &tlgWindow::activateFindMatching);
    connect(view, &tlgBoardView::fileDropped, this, &tlgWindow::openDroppedGame);
    connect(windows->backups, &tlgBackupViewer::loadGameFromFile, this, &tlgWindow::restoreBackupFile);
}

QAction *tlgWindow::action(const QString &objectName) const
{
    for (QAction *candidate : actions->all()) {
        if (candidate->objectName() == objectName)
            return candidate;
    }
    return nullptr;
}

QString tlgWindow::statusMessage() const { return status->message->text(); }
QString tlgWindow::tilesLeftText() const { return status->tilesLeft->text(); }
QString tlgWindow::clockText() const { return status->clock->text(); }
QString tlgWindow::countersText() const { return status->counters->text(); }

QString tlgWindow::winnabilityText() const
{
    return status->winnability->isVisibleTo(this) ? status->winnability->text() : QString();
}

void tlgWindow::updateClock()
{
    status->clock->setText(running->clockFace());
}

void tlgWindow::activateUndo(bool on) { actions->undo->setEnabled(on); }
void tlgWindow::activateFindMatching(bool on) { actions->findMatch->setEnabled(on); }
void tlgWindow::activatePeek(bool on) { actions->peek->setEnabled(on); }
void tlgWindow::activateReplay(bool on) { actions->replay->setEnabled(on); }

void tlgWindow::enableHighscoresAction()
{
    actions->highscores->setEnabled(!tlHighscoreList::instance()->layoutNames().isEmpty());
}

void tlgWindow::viewHighscores()
{
    windows->highscores->showCurrentLayout();
    windows->highscores->show();
    windows->highscores->raise();
}

void tlgWindow::setUpHelp()
{
    QString problem;
    windows->help = tlHelpBrowser::forInstalledDocs(problem);
    if (!windows->help)
        QMessageBox::warning(nullptr, productName(), problem, QMessageBox::Ok);
}

void tlgWindow::help()
{
    if (!windows->help) {
        QMessageBox::warning(nullptr, productName(),
                             tr("Sorry no help available.\nDocumentation files are missing. Check "
                                "your installation and reinstall if necessary."),
                             QMessageBox::Ok);
        return;
    }
    windows->help->show();
    windows->help->raise();
}

void tlgWindow::preferences()
{
    windows->preferences->showPreferences(maximumTileHeight());
}

void tlgWindow::checkForUpdates()
{
    windows->updater->check(tlUpdater::descriptorUrl());
}

void tlgWindow::viewPlayedTiles()
{
    windows->playedTiles->show();
    windows->playedTiles->raise();
}

void tlgWindow::launchLayoutDesigner()
{
    if (!designer->launch()) {
        QMessageBox::warning(this, productName(),
                             tr("Could not launch layout designer. Please start by hand."),
                             QMessageBox::Ok);
    }
}

void tlgWindow::viewBackups()
{
    if (!backupHandler || !backupHandler->enabled()) {
        QMessageBox::warning(this, productName(),
                             tr("The auto save mechanism is not enabled in this installation. "
                                "No  games get saved."),
                             QMessageBox::Ok);
        return;
    }
    windows->backups->updateBackupList(*backupHandler);
    windows->backups->setModal(true);
    windows->backups->show();
}

bool tlgWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != QCoreApplication::instance())
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FileOpen) {
        auto *openEvent = dynamic_cast<QFileOpenEvent *>(event);
        if (openEvent && !openEvent->file().isEmpty()) {
            loadGameFile(openEvent->file(), true);
            return true;
        }
    }
    return false;
}

void tlgWindow::closeEvent(QCloseEvent *event)
{
    closing = true;
    // Said once, at the close the player sees; the destructor's second write stays quiet.
    if (!tlSettings::instance().writeSettings()) {
        QMessageBox::warning(this, productName(),
                             tr("Your highscores and preferences could not be saved: the "
                                "settings file '%1' cannot be written.")
                                 .arg(tlSettings::instance().storeFileName()),
                             QMessageBox::Ok);
    }
    event->accept();
    QCoreApplication::exit(0);
}

void tlgWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        running->setMinimized(isMinimized());
    QMainWindow::changeEvent(event);
}

int tlgWindow::maximumTileHeight() const
{
    return running->fittingTileHeight(QGuiApplication::primaryScreen()->availableGeometry().size(),
                                      tlSettings::instance().boardFrameWidth, statusBar()->height());
}

bool tlgWindow::widenFrameForCoordinates(bool shown)
{
    tlSettings &settings = tlSettings::instance();
    if (!shown || settings.boardFrameWidth >= legibleFrame)
        return false;
    settings.boardFrameWidth = legibleFrame;
    return true;
}

void tlgWindow::relayoutBoard()
{
    widenFrameForCoordinates(actions->tileCoordinates->isChecked());
    overlay->clear();
    const int frame = tlSettings::instance().boardFrameWidth;
    scene->placeTiles(frame);
    // The window is exactly the board plus its menu bar and status bar; it is measured
    // from their size hints, which hold before the window has been laid out.
    const int chromeHeight = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    const QSize fixed(int(scene->sceneRect().width()),
                      int(scene->sceneRect().height()) + chromeHeight);
    resize(fixed);
    setFixedSize(fixed);
    update();
    overlay->build(scene, scene->tiles(), size(), frame, tlSettings::instance().backgroundColor);
    overlay->setVisible(actions->tileCoordinates->isChecked());
}

void tlgWindow::viewTileCoordinates(bool on)
{
    if (widenFrameForCoordinates(on))
        relayoutBoard();
    overlay->setVisible(on);
    tlSettings::instance().viewTileCoordinates = on;
}
