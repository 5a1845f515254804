#ifndef TLGWINNABILITY_H
#define TLGWINNABILITY_H

#include "tleSolver.h"

#include <QObject>
#include <atomic>
#include <memory>

class tleBoard;

// Decides on a worker thread whether the position on a board can still be cleared, so
// that the board never waits for it. Only the answer for the latest position asked
// about is told: asking again, or abandoning, stops the decision under way and
// discards what it would have said.
class tlgWinnability : public QObject
{
    Q_OBJECT

public:
    explicit tlgWinnability(QObject *parent = nullptr);
    ~tlgWinnability() override;

    // Starts deciding the position on `board` as it is now.
    void decide(const tleBoard &board);
    void abandon();
    bool busy() const { return pending != nullptr; }

signals:
    void decided(tleSolver::Answer answer);

private:
    // The stop flag of the decision under way. Every decision has its own, shared with
    // its worker, so that an abandoned worker never sees a later decision's flag.
    std::shared_ptr<std::atomic<bool>> pending;
};

Q_DECLARE_METATYPE(tleSolver::Answer)

#endif
