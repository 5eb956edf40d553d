#pragma once

#include <cstdint>

#include "tools/base_skin/surface.h"

namespace base_skin {

// The colours of the program's mark.
struct LarkInks {
    uint8_t body;
    uint8_t wing;
    uint8_t note;
};

constexpr int kLarkSide = 16;

// The program's mark, a crested lark singing a note, in a square of
// kLarkSide x `zoom` pixels with its top-left corner at (x, y). Only the bird
// and the note are drawn.
void DrawLark(Surface& surface, int x, int y, const LarkInks& inks, int zoom = 1);

}  // namespace base_skin
