// The life cycle of a game in the main window: how it starts (a new deal, a replay, a
// game file or a backup), how it is saved, and how the window follows changed
// preferences.

#include "tlgWindow.h"
#include "tlgWindowActions.h"

#include "tlDiagnostics.h"
#include "tlHighscoreList.h"
#include "tlLayoutHandler.h"
#include "tlSettings.h"
#include "tlVersion.h"
#include "tlgApplication.h"
#include "tlgBackupHandler.h"
#include "tlgBoard.h"
#include "tlgBoardView.h"
#include "tlgHighscoreViewer.h"
#include "tlgTile.h"
#include "tlgTileHandler.h"
#include "tleGameEngine.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

namespace {

const int clockInterval = 1000;

QString productName()
{
    return QString::fromLatin1(tl::productName);
}

qreal pixelRatio()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

// The folder part of a path, without its last separator; empty for a bare name.
QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString bareName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Where the file dialogs start: the remembered folder while it exists, else home. The
// current directory is the backup folder, no place to open or save games from.
QString dialogFolder(const QString &remembered)
{
    return !remembered.isEmpty() && QDir(remembered).exists() ? remembered : QDir::homePath();
}

}

QString tlgWindow::layoutPath(const QString &name) const
{
    return tlLayoutHandler::findLayoutFile(name, 0);
}

bool tlgWindow::loadChosenLayout(bool warnWhenMissing)
{
    tlSettings &settings = tlSettings::instance();
    const QString layoutFile = layoutPath(settings.layoutName);
    const bool found = tlLayoutHandler().openExisting(layoutFile);
    if (found && gameEngine->init(layoutFile))
        return true;
    // Without its default layout the installation itself is broken.
    if (settings.layoutName == settings.defaultLayoutName)
        return false;
    if (found || warnWhenMissing) {
        QMessageBox::warning(this, productName(),
                             tr("Cannot load layout '%1'. Please check that the file is "
                                "accessible or remove it from the list of available layouts "
                                "in the Preferences dialog.\n\nUsing default layout instead.")
                                 .arg(layoutFile),
                             QMessageBox::Ok);
    }
    settings.layoutName = settings.defaultLayoutName;
    return gameEngine->init(layoutPath(settings.layoutName));
}

void tlgWindow::exitForBrokenInstallation()
{
    QMessageBox::warning(this, productName(),
                         tr("Failed to initialize the game engine. Your installation of "
                            "Tilvane is possibly corrupt. Please reinstall. Cannot continue."),
                         QMessageBox::Ok);
    std::exit(EXIT_FAILURE);
}

void tlgWindow::startFirstGame(const QString &commandLineFile)
{
    tlSettings &settings = tlSettings::instance();
    enableHighscoresAction();
    gameEngine = std::make_unique<tleGameEngine>();
    // A layout that has gone since the last run gives way silently; one that is there
    // but cannot be played is worth a word.
    if (!loadChosenLayout(false))
        exitForBrokenInstallation();
    scene->setEngine(gameEngine.get());
    settings.tileHeight = std::min(settings.tileHeight, maximumTileHeight());
    tileHandler = std::make_unique<tlgTileHandler>();
    reloadTileImages("tlgWindow::tlgWindow");
    backupHandler = std::make_unique<tlgBackupHandler>();

    auto *app = qobject_cast<tlgApplication *>(QCoreApplication::instance());
    tlgBackupInfo latest;
    if (app && app->fileOpenRequested()) {
        loadGameFile(app->fileToOpen(), true);
    } else if (!commandLineFile.isEmpty()) {
        loadGameFile(commandLineFile, true);
    } else if (settings.startWithLastGamePlayedAtLaunch && backupHandler->latestBackup(latest)) {
        // A restored game is the player's own: it moves no folder and is not backed up again.
        const QString saveFolder = settings.saveGameDirectory;
        loadGameFile(latest.path, false);
        setWindowTitle(productName());
        messageLabel->setText(tr("Restored last game played (%1, %2 tiles)")
                                  .arg(settings.layoutName, QString::number(settings.maxTiles)));
        settings.saveGameDirectory = saveFolder;
    } else {
        newGame(true, QString(), true);
    }
    // A file handed to the program that cannot be played leaves nothing to play: deal anew.
    if (tiles.isEmpty())
        newGame(true, QString(), true);
}

void tlgWindow::reloadTileImages(const char *origin)
{
    const tlSettings &settings = tlSettings::instance();
    if (!tileHandler->load(settings.tileStyle, int(settings.tileHeight * pixelRatio()))) {
        tl::diagnose(origin, {QStringLiteral("Fatal error, cannot get tiles from handler")});
        std::exit(EXIT_FAILURE);
    }
}

void tlgWindow::replaceTileItems()
{
    qDeleteAll(tiles);
    tiles.clear();
    for (tleTile *record : gameEngine->tiles()) {
        auto *item = new tlgTile(record, tileHandler->normalPixmap(int(record->type)),
                                 tileHandler->highlightedPixmap(int(record->type)));
        tiles.append(item);
        scene->addItem(item);
        item->hide();
    }
}

void tlgWindow::newGame(bool newDeal, QString fileName, bool backup)
{
    tlSettings &settings = tlSettings::instance();
    view->setEnabled(true);
    undoCount = hintCount = findMatchCount = peekCount = 0;
    emit prepareNewGame();
    gameEngine->resetGame();
    if (newDeal) {
        if (settings.winnableGameMode)
            gameEngine->arrangeTiles();
        else
            gameEngine->shuffleTiles();
    }
    const int fitting = maximumTileHeight();
    if (fitting < settings.tileHeight) {
        settings.tileHeight = fitting;
        reloadTileImages("tlgWindow::newGame");
    }
    replaceTileItems();
    relayoutBoard();
    for (tlgTile *tile : qAsConst(tiles)) {
        tile->setHighlighted(false);
        tile->show();
    }
    repaint();

    startTime = QDateTime::currentSecsSinceEpoch();
    endTime = 0;
    clockLabel->setText(QStringLiteral("00:00"));
    clock->start(clockInterval);
    updateCounters();

    // A deal without any pair has already ended in updateCounters above; its end
    // message and action states stand.
    const bool ended = !gameRunning();
    if (!fileName.isEmpty()) {
        if (!ended) {
            messageLabel->setText(tr("New game from file (%1) with layout '%2' (%3 tiles)")
                                      .arg(bareName(fileName), settings.layoutName,
                                           QString::number(settings.maxTiles)));
        }
        setWindowTitle(QStringLiteral("%1 - %2").arg(productName(), bareName(fileName)));
    } else {
        if (!ended) {
            const QString message = newDeal ? tr("New game started with layout '%1' (%2 tiles)")
                                            : tr("Replay game with layout '%1' (%2 tiles)");
            messageLabel->setText(message.arg(settings.layoutName, QString::number(settings.maxTiles)));
        }
        setWindowTitle(productName());
    }
    if (!ended) {
        actions->finishGame->setEnabled(true);
        actions->hint->setEnabled(true);
        for (QAction *later : {actions->undo, actions->peek, actions->replay, actions->findMatch})
            later->setEnabled(false);
    }
    if (backup)
        backupHandler->backupGame(*gameEngine);
}

void tlgWindow::replay()
{
    newGame(false, QString(), false);
}

void tlgWindow::dealOnDefaultLayout()
{
    tlSettings &settings = tlSettings::instance();
    settings.layoutName = settings.defaultLayoutName;
    if (!loadChosenLayout(false))
        exitForBrokenInstallation();
    newGame(true, QString(), true);
}

void tlgWindow::loadGameFile(const QString &file, bool backup)
{
    if (file.isEmpty())
        return;
    tlSettings &settings = tlSettings::instance();
    settings.saveGameDirectory = folderOf(file);
    QString layoutName;
    uint32_t checksum = 0;
    if (!gameEngine->peek(file, layoutName, checksum)) {
        QMessageBox::warning(this, productName(),
                             tr("File '%1' does not contain a valid Tilvane game.").arg(file),
                             QMessageBox::Ok);
        return;
    }
    QString layoutFile = tlLayoutHandler::findLayoutFile(layoutName, checksum);
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
        layoutFile = QFileDialog::getOpenFileName(
            this, tr("Tilvane - Find Layout"), dialogFolder(settings.saveGameDirectory),
            tr("Layout Files (*.tllf);;Text files (*.txt);;XML files (*.xml)"));
    }
    const QString heldLayout = settings.layoutName;
    settings.layoutName = layoutName;
    if (gameEngine->open(file, layoutFile)) {
        newGame(false, file, backup);
        return;
    }
    // A damaged file, or a layout that does not fit it: the engine kept the game in
    // hand. At start-up there is none yet, and the caller deals one.
    settings.layoutName = heldLayout;
    const QString outcome = tiles.isEmpty() ? tr("A new game is started instead.")
                                            : tr("The current game goes on.");
    QMessageBox::warning(this, productName(),
                         tr("Could not load the game from file '%1'. The file may be damaged, or "
                            "the layout does not belong to it.\n%2")
                             .arg(file, outcome),
                         QMessageBox::Ok);
}

void tlgWindow::open()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Tilvane - Open Game"), dialogFolder(tlSettings::instance().saveGameDirectory),
        tr("Game Files (*.tlgf);;Text files (*.txt);;XML files (*.xml)"));
    if (!file.isEmpty())
        loadGameFile(file, true);
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
    const QString proposed = dialogFolder(settings.saveGameDirectory)
        + QDateTime::currentDateTime().toString(QStringLiteral("'/tilv_'yyyy_MM_dd_HH_mm'.tlgf'"));
    QFileDialog dialog(this, tr("Tilvane - Save Game"), proposed, tr("Game file (*.tlgf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without the extension would be hidden from the Open dialog.
    dialog.setDefaultSuffix(QStringLiteral("tlgf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString file = dialog.selectedFiles().constFirst();
    if (gameEngine->save(file)) {
        settings.saveGameDirectory = folderOf(file);
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
    const QString heldLayout = gameEngine->board() && gameEngine->board()->layout()
        ? gameEngine->board()->layout()->name().trimmed()
        : QString();
    const bool sameLayout = settings.layoutName.trimmed() == heldLayout;
    const bool imagesChanged = double(tileHandler->loadedHeight()) != settings.tileHeight * pixelRatio()
        || tileHandler->loadedStyle() != settings.tileStyle;

    if (sameLayout) {
        if (imagesChanged) {
            settings.tileHeight = std::min(settings.tileHeight, maximumTileHeight());
            reloadTileImages("tlgWindow::preferencesChanged");
            for (tlgTile *tile : qAsConst(tiles)) {
                const int kind = int(tile->tile()->type);
                tile->setPixmaps(tileHandler->normalPixmap(kind), tileHandler->highlightedPixmap(kind));
            }
        }
        relayoutBoard();
        repaint();
    } else {
        if (!loadChosenLayout(true))
            exitForBrokenInstallation();
        settings.tileHeight = std::min(settings.tileHeight, maximumTileHeight());
        if (imagesChanged)
            reloadTileImages("tlgWindow::preferencesChanged");
        newGame(true, QString(), true);
    }
    highscores->showCurrentLayout();
}
