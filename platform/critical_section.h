#pragma once

#include <mutex>

namespace platform {

// A re-entrant lock taken for the length of one operation. Entering and leaving
// go through guards, so an unbalanced leave cannot happen.
class CriticalSection {
public:
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }

    // For std::lock_guard / std::unique_lock.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

using CriticalSectionGuard = std::lock_guard<CriticalSection>;

}  // namespace platform
