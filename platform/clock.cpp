#include "platform/clock.h"

namespace platform {
namespace {

const SteadyClock kSteadyClock;
std::atomic<const Clock*> installedClock{&kSteadyClock};

}  // namespace

bool SteadyClock::WaitStep(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                           ClockTime deadline) const {
    condition.wait_until(lock, deadline);
    return Now() < deadline;
}

bool ManualClock::WaitStep(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                           ClockTime deadline) const {
    if (Now() >= deadline) return false;
    condition.wait_for(lock, kRecheckSlice);
    return true;
}

const Clock& CurrentClock() {
    return *installedClock.load();
}

void InstallClock(const Clock* clock) {
    installedClock = clock != nullptr ? clock : &kSteadyClock;
}

void SleepUntil(ClockTime deadline) {
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock lock(mutex);
    WaitUntil(never, lock, deadline, [] { return false; });
}

}  // namespace platform
