#include "platform/ui/ui_backend_zoom.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "platform/ui/framebuffer.h"
#include "platform/ui/ui_backend.h"

namespace platform::ui {

std::optional<int> ZoomFromEnvironment() {
    const char* text = std::getenv("TUNELARK_ZOOM");
    if (text == nullptr) return std::nullopt;
    int zoom = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, zoom);
    if (error != std::errc() || stop != end || zoom < kMinimumZoom || zoom > kMaximumZoom) return std::nullopt;
    return zoom;
}

int LargestZoomFitting(int usableHeight, int decorationHeight) {
    const int room = std::max(usableHeight - std::max(decorationHeight, 0), 0);
    return std::clamp(room / kScreenHeight, kMinimumZoom, kMaximumZoom);
}

Rect KeptOnDisplay(Rect window, Rect usable) {
    const auto kept = [](int start, int length, int low, int high) {
        return std::max(std::min(start, high - length), low);
    };
    const int left = kept(window.left, window.Width(), usable.left, usable.right);
    const int top = kept(window.top, window.Height(), usable.top, usable.bottom);
    return MovedRect(window, left - window.left, top - window.top);
}

}  // namespace platform::ui
