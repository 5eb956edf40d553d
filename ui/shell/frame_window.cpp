#include "ui/shell/frame_window.h"

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "ui/shell/application.h"

using namespace platform::ui;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

// The frame has nothing of its own to draw: only its class's white
// background shows where no child covers it.
void FrameWindow::PaintBackground() {
    WindowManager& windows = *Manager();
    std::vector<uint32_t>& screen = windows.ScreenPixels();
    const Rect area = ScreenRect();
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, kScreenHeight); ++y) {
        for (int x = std::max(area.left, 0); x < std::min(area.right, kScreenWidth); ++x) {
            screen[static_cast<size_t>(y) * kScreenWidth + static_cast<size_t>(x)] = kWhite;
        }
    }
}

LRESULT FrameWindow::HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            application_.OnFrameDestroyed();
            return 0;
        case WM_SETFOCUS:
            application_.OnFocusGained();
            return 0;
        case WM_KILLFOCUS:
            application_.OnFocusLost();
            return 0;
        case WM_PAINT:
            PaintBackground();
            return 0;
        case WM_TIMER:
            // Reaching the loop every 50 s is what keeps the computer awake:
            // the backend holds the screen saver off while the player runs.
            return 0;
        case WM_RELAYOUT:
            application_.LayoutWindows();
            return 0;
        case WM_BRING_FORWARD:
            application_.BringForward();
            return 0;
        default:
            return DefaultHandleMessage(message, wParam, lParam);
    }
}
