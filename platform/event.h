#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/clock.h"

namespace platform {

// A manual-reset event: once set it stays signalled, waking every waiter,
// until it is reset.
class Event {
public:
    explicit Event(bool initiallySignalled = false) : signalled_(initiallySignalled) {}

    void Set();
    void Reset();
    bool IsSet() const;

    // Waits until the event is signalled.
    void Wait();
    // Waits at most `timeout` on the installed clock; true when the event
    // was signalled.
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_;  // Guarded by mutex_.
};

}  // namespace platform
