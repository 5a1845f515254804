#ifndef TLGSEARCHPROGRESS_H
#define TLGSEARCHPROGRESS_H

#include "tleGameEngine.h"

#include <QElapsedTimer>

class QProgressDialog;

// Shows the solution search in a progress dialog. A play takes microseconds, far less
// than a repaint, so the dialog and the event loop see the search a few dozen times a
// second rather than after every play; the count shown is exact whenever it is shown,
// and a Cancel is honoured at the first play after the click was processed.
class tlgSearchProgress : public tleSearchProgress
{
public:
    // How often a second the dialog shows the count and takes clicks.
    static constexpr int updatesPerSecond = 30;

    explicit tlgSearchProgress(QProgressDialog &dialog);

    void iterationDone(int iteration) override;
    bool wasCanceled() const override;

private:
    QProgressDialog &dialog;
    QElapsedTimer sinceUpdate;
};

#endif
