#ifndef TLESOLVERBUDGET_H
#define TLESOLVERBUDGET_H

#include <QtGlobal>
#include <atomic>
#include <functional>

// What the searches of one solve may spend: positions looked at, time, and the caller's
// patience (a flag another thread may set). Once any of them runs out, it stays out.
class tleSolverBudget
{
public:
    using Clock = std::function<qint64()>;  // milliseconds since any fixed moment

    tleSolverBudget(quint64 nodes, qint64 milliseconds, const std::atomic<bool> *cancel, Clock clock)
        : nodeLimit(nodes)
        , timeLimit(milliseconds)
        , cancelFlag(cancel)
        , now(std::move(clock))
        , start(now())
    {
    }

    // Counts one position; false once a limit has been reached.
    bool spend()
    {
        // The clock and the flag are looked at first and then now and then: often enough
        // to stop soon, seldom enough to cost nothing.
        const quint64 lookEvery = 64;
        if (++spent > nodeLimit)
            stopped = true;
        if (!stopped && spent % lookEvery == 1) {
            stopped = (timeLimit > 0 && now() - start >= timeLimit)
                || (cancelFlag && cancelFlag->load(std::memory_order_relaxed));
        }
        return !stopped;
    }

    bool exhausted() const { return stopped; }
    quint64 nodes() const { return spent; }

private:
    quint64 nodeLimit;
    qint64 timeLimit;
    const std::atomic<bool> *cancelFlag;
    Clock now;
    qint64 start;
    quint64 spent = 0;
    bool stopped = false;
};

#endif
