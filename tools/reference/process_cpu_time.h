#pragma once

#include <sys/resource.h>
#include <time.h>

// Processor time of the whole process in seconds: the engine's work is
// spread over the decoding thread and the device's threads, and its waits
// cost none, so this measures the work itself.
inline double ProcessCpuSeconds() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

// Times any thread of the process went to sleep and was woken since it
// started, the threads that ended included.
inline long ProcessWakeUps() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}
