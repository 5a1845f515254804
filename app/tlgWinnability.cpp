#include "tlgWinnability.h"

#include <QFutureWatcher>
#include <QtConcurrent>

namespace {

// A position the solver cannot settle in this time is shown as undecided rather than
// keep a processor busy.
const tleSolver::Limits backgroundLimits{tleSolver::defaultNodeLimit, 10000};

}

tlgWinnability::tlgWinnability(QObject *parent)
    : QObject(parent)
{
    // For queued connections and signal spies.
    qRegisterMetaType<tleSolver::Answer>();
}

tlgWinnability::~tlgWinnability()
{
    // A worker still running holds all it reads; stopped, it ends on its own.
    abandon();
}

void tlgWinnability::decide(const tleBoard &board)
{
    abandon();
    // The solver copies the position here, on the board's thread.
    auto solver = std::make_shared<const tleSolver>(board);
    auto stop = std::make_shared<std::atomic<bool>>(false);
    pending = stop;
    auto *watcher = new QFutureWatcher<tleSolver::Result>(this);
    connect(watcher, &QFutureWatcher<tleSolver::Result>::finished, this, [this, watcher, stop] {
        watcher->deleteLater();
        if (pending != stop)
            return;
        pending.reset();
        emit decided(watcher->result().answer);
    });
    watcher->setFuture(QtConcurrent::run([solver, stop] {
        return solver->solve(backgroundLimits, stop.get());
    }));
}

void tlgWinnability::abandon()
{
    if (pending)
        pending->store(true);
    pending.reset();
}
