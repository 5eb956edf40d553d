#include "tests/support/waiting.h"

#include <thread>

namespace test {

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    constexpr auto kSlice = std::chrono::milliseconds(1);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kSlice);
    }
    return true;
}

bool WaitForStatus(const platform::RecordingWindow& window, PlayerStatus status, size_t occurrence,
                   std::chrono::milliseconds limit) {
    return Eventually(
        [&] {
            size_t seen = 0;
            for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) seen += message.wParam == uintptr_t(status);
            return seen >= occurrence;
        },
        limit);
}

}  // namespace test
