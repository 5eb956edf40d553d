// The program's icon.

#include <algorithm>

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/lark_emblem.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/widgets.h"

namespace base_skin {
namespace {

// The corners' rounding grows with the icon: one pixel up to 32 pixels
// square, so large desktop icons keep the small ones' shape.
int CornerRadius(int side) { return std::max(1, side / 32); }

bool OutsideRoundedCorner(int dx, int dy, int radius) {
    return (radius - dx) * (radius - dx) + (radius - dy) * (radius - dy) > radius * radius;
}

}  // namespace

Surface PaintIcon(int side) {
    Surface icon(side, side, kIconCornerInk);
    const Rect tile = {0, 0, side, side};
    VerticalGradient(icon, tile, 32, 12);
    const int radius = CornerRadius(side);
    for (int dy = 0; dy < radius; ++dy) {
        for (int dx = 0; dx < radius; ++dx) {
            if (!OutsideRoundedCorner(dx, dy, radius)) continue;
            for (int x : {dx, side - 1 - dx}) {
                for (int y : {dy, side - 1 - dy}) icon.Set(x, y, kIconCornerInk);
            }
        }
    }
    DrawLark(icon, 0, 0, {Slate(60), Slate(44), Glow(tone::kLitGlow)}, side / kLarkSide);
    return icon;
}

}  // namespace base_skin
