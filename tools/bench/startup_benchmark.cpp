// How long the player takes from the start of its process to the first
// picture in its window: the tunelark program is started several times on
// a fresh application directory (the base skin, an empty list), and reports
// the moment of its first present (TUNELARK_TRACE_STARTUP); the median and
// the spread are printed. Needs a display; without one it runs itself
// under xvfb-run.
//
//   startup_benchmark [TRIES]

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifndef TUNELARK_PROGRAM
#define TUNELARK_PROGRAM "tunelark"  // from the search path when not built alongside
#endif

namespace {

constexpr int kDefaultTries = 9;

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Starts the player and returns the milliseconds to its first present, or
// a negative number when it never reported one.
double MillisecondsToFirstPresent() {
    char home[] = "/tmp/tunelark-startup-XXXXXX";
    char runtime[] = "/tmp/tunelark-runtime-XXXXXX";
    if (mkdtemp(home) == nullptr || mkdtemp(runtime) == nullptr) return -1;
    int report[2];
    if (pipe(report) != 0) return -1;
    const long long started = MonotonicNanoseconds();
    const pid_t child = fork();
    if (child == 0) {
        dup2(report[1], STDERR_FILENO);
        close(report[0]);
        setenv("TUNELARK_HOME", home, 1);
        setenv("XDG_RUNTIME_DIR", runtime, 1);
        setenv("TUNELARK_TRACE_STARTUP", "1", 1);
        setenv("TUNELARK_AUDIO", "null", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(TUNELARK_PROGRAM, TUNELARK_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(report[1]);
    double elapsed = -1;
    FILE* lines = fdopen(report[0], "r");
    char line[256];
    while (lines != nullptr && std::fgets(line, sizeof line, lines) != nullptr) {
        long long presented = 0;
        if (std::sscanf(line, "tunelark: first present at %lld", &presented) == 1) {
            elapsed = double(presented - started) / 1e6;
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (lines != nullptr) std::fclose(lines);
    std::filesystem::remove_all(home);
    std::filesystem::remove_all(runtime);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        std::vector<char*> command{const_cast<char*>("xvfb-run"), const_cast<char*>("-a")};
        command.insert(command.end(), argv, argv + argc);
        command.push_back(nullptr);
        execvp("xvfb-run", command.data());
        std::perror("startup_benchmark: xvfb-run");
        return 1;
    }
    const int tries = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultTries;
    std::vector<double> times;
    for (int attempt = 0; attempt < tries; ++attempt) {
        const double elapsed = MillisecondsToFirstPresent();
        if (elapsed < 0) {
            std::fprintf(stderr, "startup_benchmark: %s reported no first present\n", TUNELARK_PROGRAM);
            return 1;
        }
        times.push_back(elapsed);
    }
    std::sort(times.begin(), times.end());
    std::printf("process start to first present: %.1f ms (median of %d starts, %.1f to %.1f ms; goal: 150 ms)\n",
                times[times.size() / 2], tries, times.front(), times.back());
    return 0;
}
