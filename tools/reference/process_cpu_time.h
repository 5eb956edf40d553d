#pragma once

#include <time.h>

// Processor time of the whole process in seconds: the engine's work is
// spread over the decoding thread and the device's threads, and its waits
// cost none, so this measures the work itself.
inline double ProcessCpuSeconds() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}
