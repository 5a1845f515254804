#include "tlgSearchProgress.h"

#include <QProgressDialog>

namespace {

const qint64 millisecondsPerSecond = 1000;

}

tlgSearchProgress::tlgSearchProgress(QWidget *parent, int plays)
    : dialog(std::make_unique<QProgressDialog>(tr("Searching Solution..."), tr("Cancel"), 0, plays, parent))
{
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setValue(0);
    dialog->show();
    sinceUpdate.start();
}

tlgSearchProgress::~tlgSearchProgress() = default;

void tlgSearchProgress::iterationDone(int iteration)
{
    // The last play is always shown, so that the count ends where the search did.
    const bool last = iteration >= dialog->maximum();
    if (!last && sinceUpdate.elapsed() < millisecondsPerSecond / updatesPerSecond)
        return;
    sinceUpdate.restart();
    // The dialog is modal, so setting its value also handles the pending events once.
    dialog->setValue(iteration);
}

bool tlgSearchProgress::wasCanceled() const
{
    return dialog->wasCanceled();
}
