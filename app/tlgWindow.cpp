#include "tlgWindow.h"
#include "tlgWindowActions.h"

#include "tlHighscoreList.h"
#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgApplication.h"
#include "tlgBackupHandler.h"
#include "tlgBackupViewer.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgCommandLine.h"
#include "tlgCoordinateOverlay.h"
#include "tlgHighscoreViewer.h"
#include "tlgTile.h"
#include "tlgTileHandler.h"
#include "tleGameEngine.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileOpenEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindowStateChangeEvent>
#include <limits>

namespace {

const QRect menuBarGeometry(0, 0, 800, 22);
const QRectF initialSceneRect(0, 0, 100, 100);
const int messageIndent = 4;
const QString clockStart = QStringLiteral("00:00");
// The coordinate labels stand in the frame around the tiles; below this they are hidden.
const int legibleFrame = 25;

QString productName()
{
    return QString::fromLatin1(tl::productName);
}

}

tlgWindow::tlgWindow(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , actions(std::make_unique<Actions>())
    , overlay(std::make_unique<tlgCoordinateOverlay>())
{
    const QString commandLineFile = tlgCommandLine::process(arguments, this);
    setWindowTitle(productName());
    buildBoardView();
    buildActions();
    buildMenus();
    buildStatusBar();
    clock = new QTimer(this);
    buildDialogs();
    connectParts();
    startFirstGame(commandLineFile);
}

tlgWindow::~tlgWindow()
{
    tlSettings::instance().writeSettings();
    // The tile items belong to the scene; the engine records they point at go last.
    qDeleteAll(tiles);
    tiles.clear();
}

void tlgWindow::buildBoardView()
{
    view = new tlgBoardView(this);
    scene = new tlgBoard(view);
    view->setScene(scene);
    view->setFrameShape(QFrame::NoFrame);
    view->setFrameShadow(QFrame::Plain);
    view->setLineWidth(0);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    view->setCacheMode(QGraphicsView::CacheBackground);
    view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    view->setAcceptDrops(true);
    view->setRenderHint(QPainter::SmoothPixmapTransform, true);
    scene->setSceneRect(initialSceneRect);
    setCentralWidget(view);
    scene->setBackgroundBrush(QBrush(tlSettings::instance().backgroundColor));
}

void tlgWindow::buildActions()
{
    const auto make = [this](const QString &text, const QKeySequence &shortcut = QKeySequence()) {
        auto *action = new QAction(text, this);
        action->setShortcut(shortcut);
        return action;
    };
    const auto keys = [](const char *text) {
        return QKeySequence(tr(text), QKeySequence::NativeText);
    };
    Actions &a = *actions;
    a.newGame = make(tr("New Game"), QKeySequence::New);
    a.open = make(tr("Open..."), QKeySequence::Open);
    a.openRecent = make(tr("Open Recent..."), keys("Ctrl+R"));
    a.save = make(tr("Save..."), QKeySequence::Save);
    a.replay = make(tr("Replay"));
    a.hint = make(tr("Hint"), keys("Ctrl+I"));
    a.findMatch = make(tr("Find Match"), QKeySequence::Find);
    a.undo = make(tr("Undo"), QKeySequence::Undo);
    a.peek = make(tr("Peek"), keys("Ctrl+E"));
    a.quit = make(tr("Quit"), QKeySequence::Quit);
    a.highscores = make(tr("Highscores..."));
    a.playedTiles = make(tr("Played Tiles..."), keys("Ctrl+P"));
    a.tileCoordinates = make(tr("Tile Coordinates"));
    a.tileCoordinates->setCheckable(true);
    a.tileCoordinates->setChecked(tlSettings::instance().viewTileCoordinates);
    a.preferences = make(tr("Preferences..."), keys("Ctrl+,"));
    a.finishGame = make(tr("Finish Game"));
    a.findSolution = make(tr("Find Solution..."));
    a.layoutDesigner = make(tr("Layout Designer"));
    a.checkForUpdates = make(tr("Check For Updates..."));
    a.about = make(tr("About"));
    a.help = make(tr("Tilvane Help"));

    // Their windows are not part of the game yet; the commands stand where players
    // will find them, switched off.
    for (QAction *pending : {a.playedTiles, a.preferences, a.findSolution, a.layoutDesigner,
                             a.checkForUpdates, a.about, a.help})
        pending->setEnabled(false);
}

void tlgWindow::buildMenus()
{
    auto *bar = new QMenuBar(this);
    bar->setGeometry(menuBarGeometry);
    const Actions &a = *actions;
    QMenu *game = bar->addMenu(tr("Game"));
    game->addActions({a.newGame, a.open, a.openRecent, a.save});
    game->addSeparator();
    game->addAction(a.replay);
    game->addSeparator();
    game->addActions({a.hint, a.findMatch, a.undo, a.peek});
    game->addSeparator();
    game->addAction(a.quit);
    QMenu *viewMenu = bar->addMenu(tr("View"));
    viewMenu->addActions({a.highscores, a.playedTiles});
    viewMenu->addSeparator();
    viewMenu->addAction(a.tileCoordinates);
    viewMenu->addSeparator();
    viewMenu->addAction(a.preferences);
    QMenu *tools = bar->addMenu(tr("Tools"));
    tools->addActions({a.finishGame, a.findSolution});
    tools->addSeparator();
    tools->addAction(a.layoutDesigner);
    QMenu *helpMenu = bar->addMenu(tr("Help"));
    helpMenu->addAction(a.checkForUpdates);
    helpMenu->addSeparator();
    helpMenu->addActions({a.about, a.help});
    setMenuBar(bar);
}

void tlgWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setSizeGripEnabled(false);
    const QFontMetrics metrics(bar->font());
    const auto make = [bar](const QString &text, Qt::Alignment alignment, int stretch) {
        auto *label = new QLabel(text, bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(alignment);
        bar->addWidget(label, stretch);
        return label;
    };
    tilesLeftLabel = make(QStringLiteral("0"), Qt::AlignHCenter, 0);
    tilesLeftLabel->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("9999")));
    messageLabel = make(QString(), Qt::AlignLeft, 1);
    messageLabel->setIndent(messageIndent);
    clockLabel = make(clockStart, Qt::AlignHCenter, 0);
    clockLabel->setMinimumSize(clockLabel->sizeHint().expandedTo(
        QSize(metrics.horizontalAdvance(QStringLiteral(" 00:00 ")), 0)));
    countersLabel = make(QStringLiteral("0/0/0"), Qt::AlignHCenter, 0);
    countersLabel->setMinimumSize(countersLabel->sizeHint().expandedTo(
        QSize(metrics.horizontalAdvance(QStringLiteral("72/72/72")), 0)));
}

void tlgWindow::buildDialogs()
{
    highscores = new tlgHighscoreViewer(this);
    backups = new tlgBackupViewer(this);
}

void tlgWindow::connectParts()
{
    const Actions &a = *actions;
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

    connect(this, &tlgWindow::prepareNewGame, scene, &tlgBoard::newGame);
    connect(scene, &tlgBoard::updateCounters, this, &tlgWindow::updateCounters);
    connect(clock, &QTimer::timeout, this, &tlgWindow::updateClock);
    connect(scene, &tlgBoard::tileSelected, this, &tlgWindow::showSelectedTileName);
    connect(scene, &tlgBoard::activateUndo, this, &tlgWindow::activateUndo);
    connect(scene, &tlgBoard::activateReplay, this, &tlgWindow::activateReplay);
    connect(scene, &tlgBoard::activatePeek, this, &tlgWindow::activatePeek);
    connect(scene, &tlgBoard::activateFindMatching, this, &tlgWindow::activateFindMatching);
    connect(view, &tlgBoardView::fileDropped, this, &tlgWindow::openDroppedGame);
    connect(backups, &tlgBackupViewer::loadGameFromFile, this, &tlgWindow::restoreBackupFile);
}

QAction *tlgWindow::action(const QString &text) const
{
    for (QAction *candidate : actions->all()) {
        if (candidate->text() == text)
            return candidate;
    }
    return nullptr;
}

QString tlgWindow::statusMessage() const { return messageLabel->text(); }
QString tlgWindow::tilesLeftText() const { return tilesLeftLabel->text(); }
QString tlgWindow::clockText() const { return clockLabel->text(); }
QString tlgWindow::countersText() const { return countersLabel->text(); }

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

bool tlgWindow::gameRunning() const
{
    return startTime != 0 && endTime == 0;
}

void tlgWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && gameRunning()) {
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        const bool wasMinimized = change->oldState() == Qt::WindowMinimized;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        // Time spent minimised does not count: the clock skips it at restore.
        if (isMinimized() && !wasMinimized) {
            minimizedAt = now;
        } else if (!isMinimized() && wasMinimized) {
            startTime += now - minimizedAt;
            minimizedAt = 0;
            updateClock();
        }
    }
    QMainWindow::changeEvent(event);
}

QString tlgWindow::clockFace(qint64 elapsedSeconds)
{
    const qint64 minutes = elapsedSeconds / 60;
    const qint64 lastShownMinute = 59;
    if (minutes > lastShownMinute)
        return QStringLiteral("--:--");
    return QTime(0, int(minutes), int(elapsedSeconds % 60)).toString(QStringLiteral("mm:ss"));
}

void tlgWindow::updateClock()
{
    const QString face = clockFace(QDateTime::currentSecsSinceEpoch() - startTime);
    clockLabel->setText(face);
    // Past the hour the game goes on and its full length still counts; the clock stops.
    if (face == clockFace(std::numeric_limits<qint64>::max()))
        clock->stop();
    update();
}

int tlgWindow::maximumTileHeight() const
{
    // The tile pictures are this much higher than wide.
    const double tileAspect = 1.2238325281803544;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const int frame = tlSettings::instance().boardFrameWidth;
    const tleBoard *board = gameEngine ? gameEngine->board() : nullptr;
    if (!board || !board->layout())
        return tlSettings::instance().tileHeight;
    const tlLayoutHandler *layout = board->layout();
    const int columns = std::max(1, (layout->ux() - layout->lx() + 2) / 2);
    const int rows = std::max(1, (layout->uy() - layout->ly() + 2) / 2);
    const int byWidth = int(((available.width() - 2 * frame) / columns) * tileAspect);
    const int byHeight = (available.height() - 2 * frame - statusBar()->height()) / rows;
    return std::min(byWidth, byHeight);
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
    for (tlgTile *tile : qAsConst(tiles))
        tile->updatePosition();
    update();
    const QRectF bounds = scene->itemsBoundingRect();
    const int frame = tlSettings::instance().boardFrameWidth;
    scene->setSceneRect(bounds.x() - frame, bounds.y() - frame,
                        float(bounds.width() + 2 * frame), float(bounds.height() + 2 * frame));
    // The window is exactly the board plus its menu bar and status bar; it is measured
    // from their size hints, which hold before the window has been laid out.
    const int chromeHeight = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    const QSize fixed(int(scene->sceneRect().width()),
                      int(scene->sceneRect().height()) + chromeHeight);
    resize(fixed);
    setFixedSize(fixed);
    update();
    overlay->build(scene, tiles, size(), frame, tlSettings::instance().backgroundColor);
    overlay->setVisible(actions->tileCoordinates->isChecked());
}

void tlgWindow::viewTileCoordinates(bool on)
{
    if (widenFrameForCoordinates(on))
        relayoutBoard();
    overlay->setVisible(on);
    tlSettings::instance().viewTileCoordinates = on;
}
