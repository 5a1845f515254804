#ifndef TLGSEARCHPROGRESS_H
#define TLGSEARCHPROGRESS_H

#include "tleGameEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

class QProgressDialog;
class QWidget;

// Shows the solution search in a progress dialog. A play takes microseconds, far less
// than a repaint, so the dialog and the event loop see the search a few dozen times a
// second rather than after every play; the count shown is exact whenever it is shown,
// and a Cancel is honoured at the first play after the click was processed.
class tlgSearchProgress : public tleSearchProgress
{
    Q_DECLARE_TR_FUNCTIONS(tlgSearchProgress)

public:
    // How often a second the dialog shows the count and takes clicks.
    static constexpr int updatesPerSecond = 30;

    // Shows the application-modal dialog "Searching Solution..." over `parent`, for a
    // search of at most `plays` plays, until this object goes.
    tlgSearchProgress(QWidget *parent, int plays);
    ~tlgSearchProgress() override;

    void iterationDone(int iteration) override;
    bool wasCanceled() const override;

private:
    std::unique_ptr<QProgressDialog> dialog;
    QElapsedTimer sinceUpdate;
};

#endif
