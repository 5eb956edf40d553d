#pragma once

// A manual clock installed for the life of the object: every timed wait of
// the engine, the wave devices and the stream reader then waits for the test
// to advance it. Whatever waits on the clock (an engine, a device) must be
// gone before this object goes.

#include <chrono>
#include <functional>

#include "platform/clock.h"
#include "tests/support/waiting.h"

namespace test {

class InstalledManualClock {
public:
    InstalledManualClock() { platform::InstallClock(&clock_); }
    ~InstalledManualClock() { platform::InstallClock(nullptr); }
    InstalledManualClock(const InstalledManualClock&) = delete;
    InstalledManualClock& operator=(const InstalledManualClock&) = delete;

    platform::ManualClock& operator*() { return clock_; }
    platform::ManualClock* operator->() { return &clock_; }

    // Advances `step` at a time, giving the waiting threads a real slice to
    // follow each step, until `condition` holds; false when `limit` of real
    // time passes first.
    bool AdvanceUntil(std::chrono::milliseconds step, const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = 10s) {
        return Eventually(
            [&] {
                if (condition()) return true;
                clock_.Advance(step);
                return false;
            },
            limit);
    }
    // Advances by `total` in steps of `step`, as AdvanceUntil does.
    void AdvanceBy(std::chrono::milliseconds total, std::chrono::milliseconds step) {
        const platform::ClockTime end = clock_.Now() + total;
        AdvanceUntil(step, [&] { return clock_.Now() >= end; });
    }

private:
    platform::ManualClock clock_;
};

}  // namespace test
