#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/notify_window.h"

namespace platform {

struct PostedMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// A notify window that keeps every posted message, for headless tools and tests.
// Messages can be read in order or awaited.
class RecordingWindow final : public NotifyWindow {
public:
    // `unwanted`: messages the window says it does not read (see Wants).
    explicit RecordingWindow(std::vector<uint32_t> unwanted = {}) : unwanted_(std::move(unwanted)) {}

    void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool Wants(uint32_t message) const override;

    // Every message posted so far, oldest first.
    std::vector<PostedMessage> Messages() const;
    std::vector<PostedMessage> MessagesOf(uint32_t message) const;
    void Clear();

    // Waits until a message satisfying `match` has been posted (including ones
    // already recorded) and returns it; nothing when the timeout passes first.
    std::optional<PostedMessage> WaitFor(const std::function<bool(const PostedMessage&)>& match,
                                         std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable posted_;
    std::vector<PostedMessage> messages_;  // Guarded by mutex_.
    const std::vector<uint32_t> unwanted_;
};

}  // namespace platform
