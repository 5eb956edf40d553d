#include "platform/clock.h"

#include <thread>

#include <gtest/gtest.h>

#include "platform/event.h"
#include "tests/support/manual_clock.h"
#include "tests/support/watchdog.h"

namespace {

using namespace std::chrono_literals;

// A timed wait on an event, on the manual clock: what ends it and what it
// returns. Each case runs many rounds, the advance coming as soon as the
// wait has begun, so that some fall between the waiter's look at the time
// and its wait on the event.
TEST(ManualClock, TimedWaitEndsAtTheAdvanceOrTheSignal) {
    struct Case {
        const char* name;
        std::chrono::milliseconds timeout;
        std::chrono::milliseconds advance;  // in one step
        bool signal;                        // set the event after advancing
        bool signalled;                     // what the wait returns
    };
    const Case cases[] = {
        {"the deadline is reached", 10ms, 10ms, false, false},
        {"the deadline is passed", 10ms, 1s, false, false},
        {"a signal before the deadline", 10ms, 0ms, true, true},
        {"a signal after a shorter advance", 10ms, 9ms, true, true},
        {"no wait at all", 0ms, 0ms, false, false},
    };
    for (const Case& test : cases) {
        test::InstalledManualClock clock;
        for (int round = 0; round < 20; ++round) {
            platform::Event event;
            bool result = !test.signalled;
            test::RunWithWatchdog(5s, test.name, [&] {
                const uint64_t begun = clock->WaitsBegun();
                std::thread waiter([&] { result = event.WaitFor(test.timeout); });
                // The deadline is set once the wait has begun.
                test::Eventually([&] { return clock->WaitsBegun() > begun; });
                clock->Advance(test.advance);
                if (test.signal) event.Set();
                waiter.join();
            });
            ASSERT_EQ(result, test.signalled) << test.name << ", round " << round;
        }
    }
}

TEST(ManualClock, MovesOnlyWhenAdvancedAndCountsItsWaiters) {
    test::InstalledManualClock clock;
    const platform::ClockTime start = platform::Now();
    EXPECT_EQ(platform::Now(), start);
    std::thread sleeper([] { platform::SleepFor(50ms); });
    ASSERT_TRUE(test::Eventually([&] { return clock->Waiters() == 1; }));
    EXPECT_EQ(clock->WaitsBegun(), 1u);
    clock.AdvanceBy(50ms, 10ms);
    test::RunWithWatchdog(5s, "the sleep", [&] { sleeper.join(); });
    EXPECT_EQ(clock->Waiters(), 0);
    EXPECT_EQ(platform::Now() - start, 50ms);
}

}  // namespace
