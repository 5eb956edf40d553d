#pragma once

// How large the screen shows on the desktop: the zoom asked for in the
// environment and the largest one a display has room for.

#include <optional>

namespace platform::ui {

// TUNELARK_ZOOM when it holds a whole number from kMinimumZoom to
// kMaximumZoom; nothing when it is unset or holds anything else.
std::optional<int> ZoomFromEnvironment();

// The largest zoom at which the screen and `decorationHeight` pixels of
// window frame fit in `usableHeight` pixels, kept within the zoom range.
int LargestZoomFitting(int usableHeight, int decorationHeight);

}  // namespace platform::ui
