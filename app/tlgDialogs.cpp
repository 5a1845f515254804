#include "tlgDialogs.h"

#include "tlAboutDialog.h"
#include "tlHelpBrowser.h"
#include "tlPreferencesDialog.h"
#include "tlUpdater.h"
#include "tlgBackupViewer.h"
#include "tlgFindSolutionDialog.h"
#include "tlgHighscoreViewer.h"
#include "tlgPlayedTilesViewer.h"
#include "tlgSolutionViewer.h"

tlgDialogs::tlgDialogs(QWidget *window, tlgBoard *board, const tlClock &clock)
    : highscores(new tlgHighscoreViewer(clock, window))
    , backups(new tlgBackupViewer(window))
    , searchChoice(new tlgFindSolutionDialog(window))
    , solution(new tlgSolutionViewer(window))
    , about(new tlAboutDialog(QPixmap(QStringLiteral(":/images/tlgAbout.png")), window))
    , updater(new tlUpdater(window))
    , preferences(new tlPreferencesDialog(window))
{
    searchChoice->setModal(true);
    solution->setModal(true);
    solution->setBoard(board);
    preferences->setModal(true);
}

tlgDialogs::~tlgDialogs() = default;
