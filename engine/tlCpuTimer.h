#ifndef TLCPUTIMER_H
#define TLCPUTIMER_H

#include <ctime>

// Processor time of the calling thread: the figures stay comparable when other
// programs share the machine, which wall-clock time does not.
class tlCpuTimer
{
public:
    tlCpuTimer() : started(now()) {}
    double seconds() const { return now() - started; }

private:
    static double now()
    {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
    }
    double started;
};

#endif
