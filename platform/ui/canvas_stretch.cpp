#include "platform/ui/canvas_stretch.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::ui {
namespace {

// For each destination offset in [first, last) the source index, or -1 when
// it falls outside the source image (0..sourceLimit).
std::vector<int> SourceIndices(int first, int last, int destinationStart, int destinationLength, int sourceStart,
                               int sourceLength, int sourceLimit) {
    std::vector<int> indices;
    indices.reserve(static_cast<size_t>(last - first));
    for (int position = first; position < last; ++position) {
        const int64_t index = int64_t{sourceStart} +
                              StretchSourceOffset(position - destinationStart, sourceLength, destinationLength);
        indices.push_back(index >= 0 && index < sourceLimit ? static_cast<int>(index) : -1);
    }
    return indices;
}

}  // namespace

bool StretchCopy(Framebuffer& target, Rect clip, BlitArea destination, const Framebuffer& sourceImage, BlitArea source) {
    if (destination.width < 0 || destination.height < 0 || source.width <= 0 || source.height <= 0) {
        return false;
    }
    if (destination.width == 0 || destination.height == 0) {
        return true;
    }
    const Rect destinationRect{destination.x, destination.y,
                               static_cast<int>(std::min<int64_t>(int64_t{destination.x} + destination.width, INT32_MAX)),
                               static_cast<int>(std::min<int64_t>(int64_t{destination.y} + destination.height, INT32_MAX))};
    const Rect area = IntersectRects(IntersectRects(clip, target.Bounds()), destinationRect);
    if (area.IsEmpty()) {
        return true;
    }
    // Copying within one image reads from a snapshot, so overlapping areas
    // see the source as it was before the copy.
    std::optional<Framebuffer> snapshot;
    if (&target == &sourceImage) {
        snapshot = sourceImage;
    }
    const Framebuffer& from = snapshot ? *snapshot : sourceImage;

    const std::vector<int> columns = SourceIndices(area.left, area.right, destination.x, destination.width, source.x,
                                                   source.width, from.Width());
    for (int y = area.top; y < area.bottom; ++y) {
        const int64_t sourceRow = int64_t{source.y} + StretchSourceOffset(y - destination.y, source.height, destination.height);
        if (sourceRow < 0 || sourceRow >= from.Height()) {
            continue;
        }
        const uint32_t* sourcePixels = from.Row(static_cast<int>(sourceRow));
        uint32_t* targetPixels = target.Row(y);
        for (int x = area.left; x < area.right; ++x) {
            const int column = columns[static_cast<size_t>(x - area.left)];
            if (column >= 0) {
                targetPixels[x] = sourcePixels[column];
            }
        }
    }
    return true;
}

}  // namespace platform::ui
