// The life cycle of a game in the main window: how it starts (a new deal, a replay, a
// game file or a backup), how it is saved, and how the window follows changed
// preferences.

#include "tlgWindow.h"
#include "tlgCommands.h"
#include "tlgStatusBar.h"

#include "tlClock.h"
#include "tlDataDirectory.h"
#include "tlDiagnostics.h"
#include "tlLayoutHandler.h"
#include "tlLayoutLocator.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgApplication.h"
#include "tlgBackupHandler.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgGameFileDialogs.h"
#include "tlgDialogs.h"
#include "tlgGame.h"
#include "tlgHighscoreViewer.h"
#include "tlgPlayedTilesViewer.h"
#include "tlgTile.h"
#include "tlgTileHandler.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

namespace {

QString productName()
{
    return QString::fromLatin1(tl::productName);
}

qreal pixelRatio()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

using Dialogs = tlgGameFileDialogs;

QString brokenInstallationMessage()
{
    return tlgWindow::tr("Failed to initialize the game engine. Your installation of Tilvane is "
                         "possibly corrupt. Please reinstall. Cannot continue.");
}

}

bool tlgWindow::loadChosenLayout(bool warnWhenMissing)
{
    std::optional<tlgGame::RefusedLayout> refused;
    const bool loaded = running->loadChosenLayout(refused);
    if (refused && (refused->exists || warnWhenMissing)) {
        QMessageBox::warning(this, productName(),
                             tr("Cannot load layout '%1'. Please check that the file is "
                                "accessible or remove it from the list of available layouts "
                                "in the Preferences dialog.\n\nUsing default layout instead.")
                                 .arg(refused->file),
                             QMessageBox::Ok);
    }
    return loaded;
}

void tlgWindow::failForGood(const QString &message)
{
    if (failure.isEmpty())
        failure = message;
    // Before the event loop runs, main() tells the player and ends; later the window
    // says it and ends the loop with a failure.
    if (!isVisible())
        return;
    QMessageBox::critical(this, productName(), failure, QMessageBox::Ok);
    closing = true;
    hide();
    QCoreApplication::exit(EXIT_FAILURE);
}

void tlgWindow::startFirstGame(const QString &commandLineFile)
{
    tlSettings &settings = tlSettings::instance();
    enableHighscoresAction();
    if (!dataDirectoryFound(findDataDirectory("layouts"))) {
        failForGood(tlLayoutLocator::missingDirectoryMessage());
        return;
    }
    // A layout that has gone since the last run gives way silently; one that is there
    // but cannot be played is worth a word.
    if (!loadChosenLayout(false)) {
        failForGood(brokenInstallationMessage());
        return;
    }
    scene->setEngine(&running->engine());
    settings.tileHeight = std::min(settings.tileHeight, maximumTileHeight());
    tileHandler = std::make_unique<tlgTileHandler>();
    if (!reloadTileImages("tlgWindow::tlgWindow"))
        return;
    backupHandler = std::make_unique<tlgBackupHandler>(clock);
    // It follows the game from the first deal on, shown or not.
    windows->playedTiles = new tlgPlayedTilesViewer(&running->engine(), tileHandler.get(), this);
    connect(scene, &tlgBoard::tilesRemoved, windows->playedTiles, &tlgPlayedTilesViewer::tilesRemoved);
    connect(scene, &tlgBoard::tilesUndoRemoved, windows->playedTiles, &tlgPlayedTilesViewer::tilesUndoRemoved);
    connect(this, &tlgWindow::prepareNewGame, windows->playedTiles, &tlgPlayedTilesViewer::prepareNewGame);

    auto *app = qobject_cast<tlgApplication *>(QCoreApplication::instance());
    const bool fileRequested = app && app->fileOpenRequested();
    tlgBackupInfo latest;
    const bool restoreLast = settings.startWithLastGamePlayedAtLaunch;
    const bool backupExists = restoreLast && backupHandler->latestBackup(latest);
    switch (tlgGame::firstGame(fileRequested, !commandLineFile.isEmpty(), restoreLast, backupExists)) {
    case tlgGame::FirstGame::RequestedFile:
        loadGameFile(app->fileToOpen(), true);
        break;
    case tlgGame::FirstGame::CommandLineFile:
        loadGameFile(commandLineFile, true);
        break;
    case tlgGame::FirstGame::LastGamePlayed: {
        // A restored game is the player's own: it moves no folder and is not backed up again.
        const QString saveFolder = settings.saveGameDirectory;
        loadGameFile(latest.path, false);
        setWindowTitle(productName());
        status->message->setText(tlgGame::restoredAnnouncement());
        settings.saveGameDirectory = saveFolder;
        break;
    }
    case tlgGame::FirstGame::NewDeal:
        break;
    }
    // A new deal, or the one that follows a file that could not be played.
    if (running->dealsAfterFailedLoad())
        newGame(true, QString(), true);
}

bool tlgWindow::reloadTileImages(const char *origin)
{
    const tlSettings &settings = tlSettings::instance();
    if (tileHandler->load(settings.tileStyle, int(settings.tileHeight * pixelRatio())))
        return true;
    tl::diagnose(origin, {QStringLiteral("Fatal error, cannot get tiles from handler")});
    failForGood(tileHandler->failureMessage());
    return false;
}

void tlgWindow::newGame(bool newDeal, QString fileName, bool backup)
{
    tlSettings &settings = tlSettings::instance();
    view->setEnabled(true);
    emit prepareNewGame();
    running->deal(newDeal);
    const int fitting = maximumTileHeight();
    if (fitting < settings.tileHeight) {
        settings.tileHeight = fitting;
        tileHandler->load(settings.tileStyle, int(settings.tileHeight * pixelRatio()));
    }
    scene->replaceTiles(*tileHandler);
    relayoutBoard();
    scene->showTiles();
    repaint();
    running->start();
    updateCounters();

    // A deal without any pair has already ended in updateCounters above; its end
    // message and action states stand.
    const tlgGame::Announcement started = tlgGame::announcement(newDeal, fileName);
    setWindowTitle(started.title);
    if (running->isRunning()) {
        status->message->setText(started.message);
        actions->finishGame->setEnabled(true);
        for (QAction *help : {actions->hint, actions->analysePosition, actions->winningMove})
            help->setEnabled(true);
        for (QAction *later : {actions->undo, actions->peek, actions->replay, actions->findMatch})
            later->setEnabled(false);
    }
    if (backup)
        backupHandler->backupGame(running->engine());
}

void tlgWindow::replay()
{
    newGame(false, QString(), false);
}

void tlgWindow::dealOnDefaultLayout()
{
    tlSettings &settings = tlSettings::instance();
    settings.layoutName = settings.defaultLayoutName;
    if (!loadChosenLayout(false)) {
        failForGood(brokenInstallationMessage());
        return;
    }
    newGame(true, QString(), true);
}

void tlgWindow::loadGameFile(const QString &file, bool backup)
{
    if (file.isEmpty())
        return;
    tlSettings &settings = tlSettings::instance();
    settings.saveGameDirectory = Dialogs::folderOf(file);
    QString layoutName;
    uint32_t checksum = 0;
    if (!running->engine().peek(file, layoutName, checksum)) {
        QMessageBox::warning(this, productName(),
                             tr("File '%1' does not contain a valid Tilvane game.").arg(file),
                             QMessageBox::Ok);
        return;
    }
    QString layoutFile = tlLayoutLocator::findLayoutFile(layoutName, checksum);
    while (layoutFile.isEmpty()) {
        const auto answer = QMessageBox::information(
            this, productName(),
            tr("Cannot find required layout '%1'. Please open the corresponding layout file to "
               "continue or cancel to fall back to default layout.").arg(layoutName),
            QMessageBox::Open | QMessageBox::Cancel, QMessageBox::Open);
        if (answer != QMessageBox::Open) {
            dealOnDefaultLayout();
            return;
        }
        layoutFile = Dialogs::layoutToOpen(this, settings.saveGameDirectory);
    }
    const QString heldLayout = settings.layoutName;
    settings.layoutName = layoutName;
    if (running->engine().open(file, layoutFile)) {
        newGame(false, file, backup);
        return;
    }
    // A damaged file, or a layout that does not fit it: the engine kept the game in
    // hand. At start-up there is none yet, and the caller deals one.
    settings.layoutName = heldLayout;
    const QString outcome = running->dealsAfterFailedLoad() ? tr("A new game is started instead.")
                                                            : tr("The current game goes on.");
    QMessageBox::warning(this, productName(),
                         tr("Could not load the game from file '%1'. The file may be damaged, or "
                            "the layout does not belong to it.\n%2")
                             .arg(file, outcome),
                         QMessageBox::Ok);
}

void tlgWindow::open()
{
    loadGameFile(Dialogs::gameToOpen(this, tlSettings::instance().saveGameDirectory), true);
}

void tlgWindow::openDroppedGame(QString file)
{
    loadGameFile(file, true);
}

void tlgWindow::restoreBackupFile(QString file)
{
    // A recent game comes from the backup folder, which is no place to save games in.
    tlSettings &settings = tlSettings::instance();
    const QString saveFolder = settings.saveGameDirectory;
    loadGameFile(file, true);
    setWindowTitle(tr("Tilvane - Recently Played Game"));
    settings.saveGameDirectory = saveFolder;
}

void tlgWindow::save()
{
    tlSettings &settings = tlSettings::instance();
    const QString file = Dialogs::gameToSave(
        this, settings.saveGameDirectory, QDateTime::fromSecsSinceEpoch(clock.secondsSinceEpoch()));
    if (file.isEmpty())
        return;
    if (running->engine().save(file)) {
        settings.saveGameDirectory = Dialogs::folderOf(file);
        return;
    }
    QMessageBox::warning(this, productName(),
                         tr("Could not save game to file '%1'.\nTry to save the game in a "
                            "different directory or use another filename.").arg(file),
                         QMessageBox::Ok);
}

void tlgWindow::preferencesChanged()
{
    tlSettings &settings = tlSettings::instance();
    scene->setBackgroundBrush(QBrush(settings.backgroundColor));
    const tleBoard *board = running->engine().board();
    const QString heldLayout = board && board->layout() ? board->layout()->name().trimmed() : QString();
    const bool imagesChanged = double(tileHandler->loadedHeight()) != settings.tileHeight * pixelRatio()
        || tileHandler->loadedStyle() != settings.tileStyle;
    const auto reaction =
        tlgGame::preferencesReaction(settings.layoutName.trimmed() == heldLayout, imagesChanged);

    if (reaction == tlgGame::PreferencesReaction::NewLayout) {
        if (!loadChosenLayout(true)) {
            failForGood(brokenInstallationMessage());
            return;
        }
        settings.tileHeight = std::min(settings.tileHeight, maximumTileHeight());
        if (imagesChanged && !reloadTileImages("tlgWindow::preferencesChanged"))
            return;
        newGame(true, QString(), true);
    } else {
        if (reaction == tlgGame::PreferencesReaction::NewImages) {
            settings.tileHeight = std::min(settings.tileHeight, maximumTileHeight());
            if (!reloadTileImages("tlgWindow::preferencesChanged"))
                return;
            scene->changePictures(*tileHandler);
        }
        relayoutBoard();
        repaint();
    }
    windows->highscores->showCurrentLayout();
}
