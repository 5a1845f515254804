#ifndef TLDPROGRESS_H
#define TLDPROGRESS_H

#include "tleGameEngine.h"

#include <atomic>

// How far a long job has come. The job writes it on its own thread, the window reads it
// and passes the author's cancel back through it; the engine's solution search reports
// to it directly.
class tldProgress : public tleSearchProgress
{
public:
    void setDone(int steps) { done.store(steps, std::memory_order_relaxed); }
    int stepsDone() const { return done.load(std::memory_order_relaxed); }
    void cancel() { canceled.store(true, std::memory_order_relaxed); }

    void iterationDone(int iteration) override { setDone(iteration); }
    bool wasCanceled() const override { return canceled.load(std::memory_order_relaxed); }
    // For work that watches the cancel itself.
    const std::atomic<bool> *cancelFlag() const { return &canceled; }

private:
    std::atomic<int> done{0};
    std::atomic<bool> canceled{false};
};

#endif
