#include "platform/ui/framebuffer.h"

#include <algorithm>

namespace platform::ui {

Framebuffer::Framebuffer(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

void Framebuffer::Fill(Rect area, uint32_t pixel) {
    const Rect inside = IntersectRects(area, Bounds());
    for (int y = inside.top; y < inside.bottom; ++y) {
        std::fill(Row(y) + inside.left, Row(y) + inside.right, pixel);
    }
}

Rect IntersectRects(Rect first, Rect second) {
    Rect common{std::max(first.left, second.left), std::max(first.top, second.top),
                std::min(first.right, second.right), std::min(first.bottom, second.bottom)};
    if (common.IsEmpty()) {
        return Rect{};
    }
    return common;
}

Rect MovedRect(Rect rect, int dx, int dy) {
    return Rect{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

}  // namespace platform::ui
