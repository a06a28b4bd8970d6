// What the window benchmarks measure besides the wall time: the process's
// CPU time (user and system, in ms: less disturbed than the wall time when
// other work shares the cores) and its peak resident memory (MB).
#pragma once

#include <sys/resource.h>
#include <time.h>

inline double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

inline long PeakMb() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;  // kilobytes on Linux
}
