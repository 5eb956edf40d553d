// The program's icon.

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/lark_emblem.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/widgets.h"

namespace base_skin {

Surface PaintIcon(int side) {
    Surface icon(side, side, ink::kBlack);
    const Rect tile = {0, 0, side, side};
    VerticalGradient(icon, tile, 32, 12);
    // Rounded corners.
    for (int x : {0, side - 1}) {
        for (int y : {0, side - 1}) icon.Set(x, y, ink::kBlack);
    }
    DrawLark(icon, 0, 0, {Slate(60), Slate(44), Glow(tone::kLitGlow)}, side / kLarkSide);
    return icon;
}

}  // namespace base_skin
