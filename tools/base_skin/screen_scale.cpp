#include "tools/base_skin/screen_scale.h"

#include <stdexcept>
#include <vector>

namespace base_skin {
namespace {

// For each source offset, the destination offset that shows it or, for an
// offset the shrink drops, the one that shows its left or upper neighbour.
std::vector<int> DestinationOwners(int sourceLength, int destinationLength) {
    std::vector<int> owners(static_cast<size_t>(sourceLength), -1);
    for (int offset = 0; offset < destinationLength; ++offset) {
        owners[static_cast<size_t>(SourceOffset(offset, sourceLength, destinationLength))] = offset;
    }
    for (size_t source = 1; source < owners.size(); ++source) {
        if (owners[source] < 0) owners[source] = owners[source - 1];
    }
    return owners;
}

}  // namespace

Surface ExpandToSkin(const Surface& design, int skinWidth, int skinHeight) {
    if (design.Width() > skinWidth || design.Height() > skinHeight || design.Width() <= 0 || design.Height() <= 0) {
        throw std::invalid_argument("a design must not be larger than its skin rectangle");
    }
    const std::vector<int> columns = DestinationOwners(skinWidth, design.Width());
    const std::vector<int> rows = DestinationOwners(skinHeight, design.Height());
    Surface skin(skinWidth, skinHeight);
    for (int y = 0; y < skinHeight; ++y) {
        for (int x = 0; x < skinWidth; ++x) skin.Set(x, y, design.At(columns[x], rows[y]));
    }
    return skin;
}

void PlaceOnSkin(Surface& skin, Rect area, const Surface& design) {
    skin.Paste(ExpandToSkin(design, area.width, area.height), area.x, area.y);
}

}  // namespace base_skin
