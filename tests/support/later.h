#pragma once

// Runs something once, a while from now on the virtual clock, inside
// whatever loop turns then: a picture of a dialog, say, while it is open.

#include <cstdint>
#include <functional>

#include "platform/ui/window_manager.h"

namespace test {

class Later final : public platform::ui::Window {
public:
    Later(platform::ui::WindowManager& windows, uint64_t afterMs, std::function<void()> action)
        : Later(windows, afterMs, std::function<bool()>([action = std::move(action)] {
              action();
              return true;
          })) {}
    // Tries `attempt` every `periodMs` until it returns true: for something
    // that comes up when the player gets to it, a message box, say.
    Later(platform::ui::WindowManager& windows, uint64_t periodMs, std::function<bool()> attempt)
        : Window("Later"), attempt_(std::move(attempt)) {
        windows.CreateWindow(*this, nullptr, "", {}, false);
        windows.SetTimer(*this, kTimer, static_cast<uint32_t>(periodMs));
    }

    platform::ui::LRESULT HandleMessage(uint32_t message, platform::ui::WPARAM wParam,
                                        platform::ui::LPARAM lParam) override {
        if (message != platform::ui::WM_TIMER || wParam != kTimer) return DefaultHandleMessage(message, wParam, lParam);
        if (attempt_()) Manager()->KillTimer(*this, kTimer);
        return 0;
    }

private:
    static constexpr uintptr_t kTimer = 1;
    std::function<bool()> attempt_;
};

}  // namespace test
