#pragma once

// Pictures of the player's windows kept beside their tests, for the few
// tests where a picture is the point.

#include <string>

#include "platform/ui/framebuffer.h"
#include "platform/ui/ui_types.h"

namespace test {

// Compares `area` of `screen` with the PNG at `goldenPath` (relative to the
// source tree); with TUNELARK_UPDATE_GOLDEN=1 in the environment it writes
// the PNG instead.
void ExpectAreaLooksLike(const platform::ui::Framebuffer& screen, platform::ui::Rect area,
                         const std::string& goldenPath);

}  // namespace test
