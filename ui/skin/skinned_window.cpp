#include "ui/skin/skinned_window.h"

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

LRESULT SkinnedWindow::HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            context_ = std::make_unique<DeviceContext>(Manager()->Screen(), Point{}, Rect{});
            FollowPlacement();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            context_.reset();
            return 0;
        case WM_MOVE:
        case WM_SIZE:
            FollowPlacement();
            return 0;
        case WM_PAINT:
            PaintAll();
            return 0;
        case WM_COMMAND:
            OnMenuCommand(static_cast<uint32_t>(wParam));
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            stylusKeys_ = wParam;
            OnStylusDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEWHEEL: {
            // Unlike the stylus messages, the wheel's carries screen coordinates.
            const Rect area = ScreenRect();
            OnWheel(GET_X_LPARAM(lParam) - area.left, GET_Y_LPARAM(lParam) - area.top,
                    GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
            return 0;
        }
        case WM_MOUSEMOVE:
            OnStylusMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnStylusUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        default:
            if (OnOtherMessage(message, wParam, lParam)) return 0;
            return DefaultHandleMessage(message, wParam, lParam);
    }
}

void SkinnedWindow::FollowPlacement() {
    if (context_ == nullptr) return;
    const Rect area = ScreenRect();
    context_->SetOrigin({area.left, area.top});
    // The navigation bar belongs to the platform: windows never draw over it.
    context_->SetClip({area.left, std::max(area.top, kNavigationBarHeight), area.right, area.bottom});
}

bool SkinnedWindow::IsCovered() const {
    const Rect area = ScreenRect();
    const Window* top = Manager()->WindowAt({area.left + area.Width() / 2, area.top + area.Height() / 2});
    for (const Window* window = top; window != nullptr; window = window->Parent()) {
        if (window == this) return false;
    }
    return true;
}

HDC SkinnedWindow::Drawing(int scale) {
    if (context_ == nullptr || !Exists() || !IsVisible() || ScreenRect().IsEmpty() || IsCovered() ||
        !Manager()->WindowShown()) {
        return nullptr;
    }
    g_skin.Scale = scale;
    Manager()->ScreenChanged();
    return context_.get();
}
