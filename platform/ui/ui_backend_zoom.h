#pragma once

// How large the screen shows on the desktop: the zoom asked for in the
// environment and the largest one a display has room for.

#include <optional>

#include "platform/ui/ui_types.h"

namespace platform::ui {

// TUNELARK_ZOOM when it holds a whole number from kMinimumZoom to
// kMaximumZoom; nothing when it is unset or holds anything else.
std::optional<int> ZoomFromEnvironment();

// The largest zoom at which the screen and `decorationHeight` pixels of
// window frame fit in `usableHeight` pixels, kept within the zoom range.
int LargestZoomFitting(int usableHeight, int decorationHeight);

// Where a window whose outer edges (frame included) are `window` moves to
// lie inside `usable`: as little as it must, to the left and up; a window
// larger than `usable` keeps its top left corner (and title bar) inside.
Rect KeptOnDisplay(Rect window, Rect usable);

}  // namespace platform::ui
