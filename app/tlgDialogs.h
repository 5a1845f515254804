#ifndef TLGDIALOGS_H
#define TLGDIALOGS_H

#include <memory>

class QWidget;
class tlAboutDialog;
class tlClock;
class tlHelpBrowser;
class tlPreferencesDialog;
class tlUpdater;
class tlgBackupViewer;
class tlgBoard;
class tlgFindSolutionDialog;
class tlgHighscoreViewer;
class tlgPlayedTilesViewer;
class tlgSolutionViewer;

// The window's auxiliary windows, made once and hidden until they are asked for. The
// dialogs are the window's children; the help browser is a window of its own.
struct tlgDialogs
{
    tlgDialogs(QWidget *window, tlgBoard *board, const tlClock &clock);
    ~tlgDialogs();

    tlgHighscoreViewer *highscores;
    tlgBackupViewer *backups;
    tlgFindSolutionDialog *searchChoice;
    tlgSolutionViewer *solution;
    tlAboutDialog *about;
    tlUpdater *updater;
    tlPreferencesDialog *preferences;
    tlgPlayedTilesViewer *playedTiles = nullptr;  // made once the engine and the tiles are ready
    std::unique_ptr<tlHelpBrowser> help;          // none when the documentation is missing
};

#endif
