#include "platform/ui/ui_backend_damage.h"

#include <algorithm>

namespace platform::ui {

std::vector<Rect> ChangedRects(const uint32_t* before, const uint32_t* after, int width, int height,
                               size_t maximumRects) {
    std::vector<Rect> rects;
    bool inBand = false;
    for (int y = 0; y < height; ++y) {
        const uint32_t* old = before + static_cast<size_t>(y) * static_cast<size_t>(width);
        const uint32_t* now = after + static_cast<size_t>(y) * static_cast<size_t>(width);
        const auto first = std::mismatch(old, old + width, now).first;
        if (first == old + width) {
            inBand = false;
            continue;
        }
        int last = width - 1;
        while (old[last] == now[last]) --last;
        const int left = static_cast<int>(first - old);
        if (inBand) {
            Rect& band = rects.back();
            band.left = std::min(band.left, left);
            band.right = std::max(band.right, last + 1);
            band.bottom = y + 1;
        } else {
            rects.push_back({left, y, last + 1, y + 1});
            inBand = true;
        }
    }
    if (rects.size() > maximumRects) {
        Rect bounds = rects.front();
        for (const Rect& rect : rects) {
            bounds = {std::min(bounds.left, rect.left), std::min(bounds.top, rect.top),
                      std::max(bounds.right, rect.right), std::max(bounds.bottom, rect.bottom)};
        }
        rects.assign(1, bounds);
    }
    return rects;
}

}  // namespace platform::ui
