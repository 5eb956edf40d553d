#pragma once

// A window on the headless backend that owns the dialogs a test opens. A
// dialog that a fault leaves open is closed with Escape after a minute of
// virtual time, longer than any test runs, so the fault fails the test
// instead of hanging it. `WhileOpen` runs something in the middle of a
// dialog, such as saving a picture of the screen.

#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

#include "platform/ui/ui_backend_headless.h"
#include "platform/ui/window_manager.h"

namespace test {

class DialogOwner final : public platform::ui::Window {
public:
    static constexpr uint32_t kWatchdogMs = 60'000;

    DialogOwner(platform::ui::HeadlessBackend& backend, platform::ui::WindowManager& windows)
        : Window("Owner"), backend_(backend), windows_(windows) {
        EXPECT_TRUE(windows.CreateWindow(*this, nullptr, "Tunelark", {0, 26, 240, 320}, true));
        windows.SetFocus(this);
        windows.PumpPending();
        windows.SetTimer(*this, kWatchdogTimer, kWatchdogMs);
    }

    // Runs `action` once, `afterMs` from now on the virtual clock.
    void WhileOpen(uint32_t afterMs, std::function<void()> action) {
        action_ = std::move(action);
        windows_.SetTimer(*this, kActionTimer, afterMs);
    }

    platform::ui::LRESULT HandleMessage(uint32_t message, platform::ui::WPARAM wParam,
                                        platform::ui::LPARAM lParam) override {
        if (message == platform::ui::WM_TIMER && wParam == kWatchdogTimer) {
            ADD_FAILURE() << "a dialog was left open";
            backend_.PressKey(platform::ui::VK_ESCAPE);
        }
        if (message == platform::ui::WM_TIMER && wParam == kActionTimer) {
            windows_.KillTimer(*this, kActionTimer);
            if (action_) action_();
        }
        return DefaultHandleMessage(message, wParam, lParam);
    }

private:
    static constexpr uintptr_t kWatchdogTimer = 1;
    static constexpr uintptr_t kActionTimer = 2;

    platform::ui::HeadlessBackend& backend_;
    platform::ui::WindowManager& windows_;
    std::function<void()> action_;
};

}  // namespace test
