#include "app/StartupMarks.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tvx {

namespace {

using Clock = std::chrono::steady_clock;

struct Marks {
    bool on = std::getenv("TVX_START_MARKS") != nullptr;
    Clock::time_point first = Clock::now();
};

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

void StartupMark(const char *step)
{
    // The first mark reads the variable and the clock it counts from.
    static const Marks marks;
    if (!marks.on)
        return;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - marks.first).count();
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    std::fprintf(stderr,
                 "tvxmonitor: start +%.2f ms (thread cpu %.2f ms, faults %ld) %s\n",
                 ms,
                 ThreadCpuMs(),
                 static_cast<long>(usage.ru_minflt),
                 step);
}

}  // namespace tvx
