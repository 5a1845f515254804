#ifndef TLTESTCLOCK_H
#define TLTESTCLOCK_H

#include "tlClock.h"

// A clock the test sets by hand, so that no test waits for time to pass.
class tlTestClock : public tlClock
{
public:
    qint64 secondsSinceEpoch() const override { return now; }
    void advance(qint64 seconds = 1) { now += seconds; }

    qint64 now = 1700000000;
};

#endif
