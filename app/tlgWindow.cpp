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
#include "tlgGame.h"
#include "tlDataDirectory.h"
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
    setUpHelp();
    highscores = new tlgHighscoreViewer(clock, this);
    backups = new tlgBackupViewer(this);
    searchChoice = new tlgFindSolutionDialog(this);
    searchChoice->setModal(true);
    solution = new tlgSolutionViewer(this);
    solution->setModal(true);
    solution->setBoard(scene);
    about = new tlAboutDialog(QPixmap(QStringLiteral(":/images/tlgAbout.png")), this);
    updater = new tlUpdater(this);
    preferencesDialog = new tlPreferencesDialog(this);
    preferencesDialog->setModal(true);
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
    connect(a.newGame, &QAction::triggered, this, [this] { newGame(); });
    connect(a.open, &QAction::triggered, this, &tlgWindow::open);
    connect(a.openRecent, &QAction::triggered, this, &tlgWindow::viewBackups);
    connect(a.save, &QAction::triggered, this, &tlgWindow::save);
    connect(a.replay, &QAction::triggered, this, &tlgWindow::replay);
    connect(a.hint, &QAction::triggered, this, &tlgWindow::hint);
    connect(a.findMatch, &QAction::triggered, this, &tlgWindow::findMatch);
    connect(a.undo, &QAction::triggered, this, &tlgWindow::undo);
    connect(a.peek, &QAction::triggered, this, &tlgWindow::peek);
    connect(a.quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(a.highscores, &QAction::triggered, this, &tlgWindow::viewHighscores);
    connect(a.tileCoordinates, &QAction::triggered, this, &tlgWindow::viewTileCoordinates);
    connect(a.finishGame, &QAction::triggered, this, &tlgWindow::finishGame);
    connect(a.layoutDesigner, &QAction::triggered, this, &tlgWindow::launchLayoutDesigner);
    connect(a.playedTiles, &QAction::triggered, this, &tlgWindow::viewPlayedTiles);
    connect(a.help, &QAction::triggered, this, &tlgWindow::help);
    connect(a.about, &QAction::triggered, about, &tlAboutDialog::show);
    connect(a.checkForUpdates, &QAction::triggered, this, &tlgWindow::checkForUpdates);
    connect(a.preferences, &QAction::triggered, this, &tlgWindow::preferences);
    connect(preferencesDialog, &tlPreferencesDialog::preferencesChanged, this, &tlgWindow::preferencesChanged);
    connect(a.findSolution, &QAction::triggered, this, &tlgWindow::findSolution);
    connect(searchChoice, &tlgFindSolutionDialog::startSearch, this, &tlgWindow::searchSolution);
    connect(searchChoice, &tlgFindSolutionDialog::resetGame, this, &tlgWindow::replay);
    connect(solution, &tlgSolutionViewer::resetGame, this, &tlgWindow::replay);
    // Walking a solution to the empty board is no win.
    connect(solution, &tlgSolutionViewer::visibilityChanged, running.get(),
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
    connect(backups, &tlgBackupViewer::loadGameFromFile, this, &tlgWindow::restoreBackupFile);
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
    highscores->showCurrentLayout();
    highscores->show();
    highscores->raise();
}

void tlgWindow::setUpHelp()
{
    const QString index = QStringLiteral("doc.index");
    const QDir docs = findDataDirectory("docs");
    if (dataDirectoryFound(docs) && docs.exists(index)) {
        helpBrowser = std::make_unique<tlHelpBrowser>(docs.filePath(index), docs.path());
        return;
    }
    const QString missing = dataDirectoryFound(docs)
        ? tr("Cannot find the index descriptor to setup the documentation. No online help will be "
             "available. Check your installation and reinstall if necessary.")
        : tr("Cannot find the directory holding the documentation (docs). No online help will be "
             "available. Check your installation and reinstall if necessary.");
    QMessageBox::warning(nullptr, productName(), missing, QMessageBox::Ok);
}

void tlgWindow::help()
{
    if (!helpBrowser) {
        QMessageBox::warning(nullptr, productName(),
                             tr("Sorry no help available.\nDocumentation files are missing. Check "
                                "your installation and reinstall if necessary."),
                             QMessageBox::Ok);
        return;
    }
    helpBrowser->show();
    helpBrowser->raise();
}

void tlgWindow::preferences()
{
    preferencesDialog->showPreferences(maximumTileHeight());
}

void tlgWindow::checkForUpdates()
{
    updater->check(tlUpdater::descriptorUrl());
}

void tlgWindow::viewPlayedTiles()
{
    playedTiles->show();
    playedTiles->raise();
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
    backups->updateBackupList(*backupHandler);
    backups->setModal(true);
    backups->show();
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
