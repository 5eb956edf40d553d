#pragma once

// The clock that every timed wait of the engine, the wave devices and the
// stream reader reads. The steady clock is installed by default; tests
// install a manual clock and advance it, so that a drain, a block falling
// due or a read timeout happens when the test says and never by sleeping.
//
// A timed wait is a condition-variable wait with a deadline on the clock:
// WaitUntil below. The clock decides how the thread waits in real time; the
// waiter's own notifications still wake it at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

using ClockTime = std::chrono::steady_clock::time_point;
using ClockDuration = std::chrono::steady_clock::duration;

class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockTime Now() const = 0;
    // Waits once on `condition` (a notification or a spurious wake ends it
    // too); false when `deadline` has passed on this clock.
    virtual bool WaitStep(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                          ClockTime deadline) const = 0;
    // Bracket each timed wait, for a clock that counts them.
    virtual void WaitBegins() const {}
    virtual void WaitEnds() const {}
};

// The real, monotonic time.
class SteadyClock final : public Clock {
public:
    ClockTime Now() const override { return std::chrono::steady_clock::now(); }
    bool WaitStep(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                  ClockTime deadline) const override;
};

// Time that moves only when Advance says. A waiter looks at the time again
// every short real slice, so no advance can slip between its check and its
// wait; that costs a wake-up per slice, which only tests pay.
class ManualClock final : public Clock {
public:
    ManualClock() = default;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    ClockTime Now() const override { return start_ + ClockDuration(elapsed_.load()); }
    bool WaitStep(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                  ClockTime deadline) const override;

    void WaitBegins() const override {
        ++waitsBegun_;
        ++waiters_;
    }
    void WaitEnds() const override { --waiters_; }

    void Advance(ClockDuration step) { elapsed_ += step.count(); }
    // Threads inside a timed wait on this clock now, and timed waits begun
    // ever: a thread that polls shows in both, one that waits for an event
    // in neither.
    int Waiters() const { return waiters_.load(); }
    uint64_t WaitsBegun() const { return waitsBegun_.load(); }

private:
    static constexpr auto kRecheckSlice = std::chrono::milliseconds(1);

    const ClockTime start_ = std::chrono::steady_clock::now();
    std::atomic<ClockDuration::rep> elapsed_{0};
    mutable std::atomic<int> waiters_{0};
    mutable std::atomic<uint64_t> waitsBegun_{0};
};

// The installed clock. Installing is for tests, before the threads that
// wait on the clock start and after they end; nullptr puts the steady clock
// back.
const Clock& CurrentClock();
void InstallClock(const Clock* clock);

inline ClockTime Now() {
    return CurrentClock().Now();
}

// Waits on `condition` until `ready()` holds or `deadline` passes on the
// installed clock; returns ready(). `lock` holds the condition's mutex.
template <typename Ready>
bool WaitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, ClockTime deadline,
               Ready ready) {
    const Clock& clock = CurrentClock();
    clock.WaitBegins();
    bool isReady = ready();
    while (!isReady && clock.WaitStep(condition, lock, deadline)) isReady = ready();
    clock.WaitEnds();
    return isReady || ready();
}

// Sleeps until `deadline` on the installed clock; nothing cuts it short.
void SleepUntil(ClockTime deadline);
inline void SleepFor(ClockDuration duration) {
    SleepUntil(Now() + duration);
}

}  // namespace platform
