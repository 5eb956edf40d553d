#pragma once

// What changed on the screen between two presentations, so a backend shows
// only that: bands of changed rows, each as wide as the changes in it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

// The rectangles of `after` that differ from `before` (both `width` x
// `height` pixels, rows top to bottom): one per run of changed rows,
// spanning the leftmost to the rightmost change in the run. More than
// `maximumRects` of them become their one bounding rectangle. Empty when
// nothing changed.
std::vector<Rect> ChangedRects(const uint32_t* before, const uint32_t* after, int width, int height,
                               size_t maximumRects);

}  // namespace platform::ui
