#include "platform/ui/ui_backend_headless.h"

#include <algorithm>

#include "platform/ui/ui_backend_zoom.h"
#include "platform/ui/window_manager.h"
#include "platform/utf8.h"

namespace platform::ui {

uint64_t HeadlessBackend::NowMs() {
    std::lock_guard lock(mutex_);
    return nowMs_;
}

uint64_t HeadlessBackend::NextScheduledLocked() const {
    return scheduled_.empty() ? kNoDeadline : scheduled_.front().atMs;
}

void HeadlessBackend::WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) {
    std::unique_lock lock(mutex_);
    const uint64_t wakeAt = std::min(deadlineMs, NextScheduledLocked());
    if (wakeAt == kNoDeadline) {
        // Nothing will happen on the virtual clock: only another thread can wake us.
        const auto awake = [this] { return wakeRequested_ || !scheduled_.empty(); };
        if (!awake()) ++idleWaitCount_;
        woken_.wait(lock, awake);
    } else if (!wakeRequested_) {
        nowMs_ = std::max(nowMs_, wakeAt);
    }
    wakeRequested_ = false;
    while (!scheduled_.empty() && scheduled_.front().atMs <= nowMs_) {
        events.push_back(scheduled_.front().event);
        scheduled_.pop_front();
    }
}

void HeadlessBackend::Wake() {
    {
        std::lock_guard lock(mutex_);
        wakeRequested_ = true;
    }
    woken_.notify_all();
}

void HeadlessBackend::Present(const uint32_t*) {
    std::lock_guard lock(mutex_);
    ++presentCount_;
}

size_t HeadlessBackend::PresentCount() {
    std::lock_guard lock(mutex_);
    return presentCount_;
}

size_t HeadlessBackend::IdleWaitCount() {
    std::lock_guard lock(mutex_);
    return idleWaitCount_;
}

void HeadlessBackend::Inject(const InputEvent& event, uint64_t atMs) {
    {
        std::lock_guard lock(mutex_);
        const uint64_t when = std::max(atMs, nowMs_);
        auto position = std::upper_bound(scheduled_.begin(), scheduled_.end(), when,
                                         [](uint64_t time, const Scheduled& entry) { return time < entry.atMs; });
        scheduled_.insert(position, Scheduled{when, event});
    }
    woken_.notify_all();
}

void HeadlessBackend::Tap(Point point, uint64_t atMs) {
    Inject({InputEvent::Kind::StylusDown, point, false, 0}, atMs);
    Inject({InputEvent::Kind::StylusUp, point, false, 0}, atMs);
}

void HeadlessBackend::PressKey(uint32_t virtualKey, uint64_t atMs, uint32_t modifiers) {
    InputEvent event{InputEvent::Kind::KeyDown, {}, false, virtualKey};
    event.modifiers = modifiers;
    Inject(event, atMs);
    event.kind = InputEvent::Kind::KeyUp;
    Inject(event, atMs);
}

void HeadlessBackend::DropFile(const std::string& path, uint64_t atMs) {
    InputEvent event;
    event.kind = InputEvent::Kind::DropFile;
    event.dropped = path;
    Inject(event, atMs);
}

void HeadlessBackend::DropText(const std::string& text, uint64_t atMs) {
    InputEvent event;
    event.kind = InputEvent::Kind::DropText;
    event.dropped = text;
    Inject(event, atMs);
}

int HeadlessBackend::FittingZoom() {
    // No window frame: the whole height is the screen's.
    return LargestZoomFitting(usableDisplayHeight_, 0);
}

void HeadlessBackend::TypeText(const std::string& text, uint64_t atMs) {
    for (const char16_t unit : Utf8ToUtf16(text)) Inject({InputEvent::Kind::Character, {}, false, 0, unit}, atMs);
}

void HeadlessBackend::Advance(WindowManager& manager, uint64_t milliseconds) {
    const uint64_t target = NowMs() + milliseconds;
    for (;;) {
        manager.PumpPending();
        uint64_t next = 0;
        {
            std::lock_guard lock(mutex_);
            next = std::min({manager.NextTimerDue(), NextScheduledLocked(), target});
            if (nowMs_ >= target && next >= target) break;
            nowMs_ = std::max(nowMs_, next);
        }
    }
}

}  // namespace platform::ui
