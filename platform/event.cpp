#include "platform/event.h"

namespace platform {

void Event::Set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void Event::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool Event::IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

void Event::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
}

bool Event::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return WaitUntil(changed_, lock, Now() + timeout, [this] { return signalled_; });
}

}  // namespace platform
