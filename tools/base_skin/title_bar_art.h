#pragma once

#include <string_view>

#include "tools/base_skin/surface.h"

namespace base_skin {

// A window's title bar as the screen shows it: the options mark at the left
// (the player opens its options for a tap there), the title in the middle and
// a close mark over the corner that closes the window. `width` may exceed the
// sprite so that a background can continue the bar to the window's edge.
Surface TitleBarDesign(std::string_view title, bool active, int width, bool optionsMark);

}  // namespace base_skin
