#include "ui/skin/skinned_window.h"

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

void SkinnedWindow::KeepDrawingContext() {
    context_ = std::make_unique<DeviceContext>(Manager()->Screen(), Point{}, Rect{});
    FollowPlacement();
}

void SkinnedWindow::ReleaseDrawingContext() { context_.reset(); }

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
    if (context_ == nullptr || !Exists() || !IsVisible() || ScreenRect().IsEmpty() || IsCovered()) return nullptr;
    g_skin.Scale = scale;
    Manager()->ScreenChanged();
    return context_.get();
}
