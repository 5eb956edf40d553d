#include "platform/recording_window.h"

#include <algorithm>

namespace platform {

void RecordingWindow::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    {
        std::lock_guard lock(mutex_);
        messages_.push_back({message, wParam, lParam});
    }
    posted_.notify_all();
}

bool RecordingWindow::Wants(uint32_t message) const {
    return std::find(unwanted_.begin(), unwanted_.end(), message) == unwanted_.end();
}

std::vector<PostedMessage> RecordingWindow::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<PostedMessage> RecordingWindow::MessagesOf(uint32_t message) const {
    std::lock_guard lock(mutex_);
    std::vector<PostedMessage> matching;
    std::copy_if(messages_.begin(), messages_.end(), std::back_inserter(matching),
                 [message](const PostedMessage& posted) { return posted.message == message; });
    return matching;
}

void RecordingWindow::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

std::optional<PostedMessage> RecordingWindow::WaitFor(
    const std::function<bool(const PostedMessage&)>& match, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    std::optional<PostedMessage> found;
    posted_.wait_for(lock, timeout, [&] {
        auto it = std::find_if(messages_.begin(), messages_.end(), match);
        if (it != messages_.end()) found = *it;
        return found.has_value();
    });
    return found;
}

}  // namespace platform
