#pragma once

// The player shows the main and equalizer windows and the playlist's frame at
// 87 % of the skin's size, copying each sprite on its own with nearest-
// neighbour sampling: destination offset d takes source offset
// d x source / destination (truncated). Shrinking drops whole rows and columns,
// always including a sprite's last ones, so a one-pixel line can vanish.
//
// The base skin therefore draws those sprites at the size they appear on the
// screen and spreads the drawing over the skin rectangle so that the player's
// shrink gives back exactly the drawing.

#include "tools/base_skin/surface.h"

namespace base_skin {

constexpr int kWindowScalePercent = 87;

// A skin length as the player draws it at 87 %.
constexpr int ScreenLength(int skinLength) { return skinLength * kWindowScalePercent / 100; }

// The source offset that destination offset `offset` takes.
constexpr int SourceOffset(int offset, int sourceLength, int destinationLength) {
    return offset * sourceLength / destinationLength;
}

// A skinWidth x skinHeight picture that the player's shrink to the design's
// size turns back into `design`. The design must not be larger than the skin
// size; rows and columns that the shrink drops repeat their neighbours.
Surface ExpandToSkin(const Surface& design, int skinWidth, int skinHeight);

// Expands `design` to the size of `area` and paints it there.
void PlaceOnSkin(Surface& skin, Rect area, const Surface& design);

}  // namespace base_skin
