#ifndef TLCLOCK_H
#define TLCLOCK_H

#include <QDateTime>

// Where the program reads the time of day, so that tests can set it instead of
// waiting for it.
class tlClock
{
public:
    virtual ~tlClock() = default;
    virtual qint64 secondsSinceEpoch() const = 0;

    // The wall clock.
    static const tlClock &system();
};

namespace tlClockDetail {

class SystemClock : public tlClock
{
public:
    qint64 secondsSinceEpoch() const override { return QDateTime::currentSecsSinceEpoch(); }
};

}

inline const tlClock &tlClock::system()
{
    static const tlClockDetail::SystemClock clock;
    return clock;
}

#endif
