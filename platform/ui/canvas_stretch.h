#pragma once

// The pixel copy behind StretchBlt and BitBlt (SRCCOPY), nearest neighbour.
//
// Mapping: destination pixel (x, y) of a w x h destination at (dx, dy) takes
// source pixel (sx + (x - dx) * sw / w, sy + (y - dy) * sh / h) of the
// sw x sh source at (sx, sy), with truncating integer division - what GDI's
// COLORONCOLOR stretch mode does. Shrinking 275 to 239 therefore drops
// source columns evenly, and equal sizes copy one to one.
//
// Clipping never changes the mapping: destination pixels outside `clip` (or
// the target) are not written, and destination pixels whose source pixel
// lies outside the source image are left as they were.

#include "platform/ui/framebuffer.h"

namespace platform::ui {

struct BlitArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The source column (or row) that destination offset `offset` takes.
constexpr int StretchSourceOffset(int offset, int sourceLength, int destinationLength) {
    return static_cast<int>(static_cast<int64_t>(offset) * sourceLength / destinationLength);
}

// Copies `source` area of `sourceImage` onto `destination` area of `target`,
// stretched. An empty destination copies nothing and succeeds; a negative
// size or an empty source fails. Target and source may be the same image.
bool StretchCopy(Framebuffer& target, Rect clip, BlitArea destination, const Framebuffer& sourceImage, BlitArea source);

}  // namespace platform::ui
