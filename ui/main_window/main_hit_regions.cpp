#include "ui/main_window/main_hit_regions.h"

#include <algorithm>
#include <array>

#include "ui/skin/skin_sprites.h"

namespace {

struct Region {
    MainRegion region;
    float left, right, top, bottom;  // skin units, inclusive
};

constexpr std::array<Region, 12> kRegions{{
    {MainRegion::Prev, 16, 39, 88, 106},
    {MainRegion::Play, 39, 62, 88, 106},
    {MainRegion::Pause, 62, 85, 88, 106},
    {MainRegion::Stop, 85, 108, 88, 106},
    {MainRegion::Next, 108, 130, 88, 106},
    {MainRegion::Eject, 136, 158, 89, 105},
    {MainRegion::Shuffle, 164, 211, 89, 104},
    {MainRegion::Repeat, 210, 238, 89, 104},
    {MainRegion::EqualizerToggle, 219, 242, 58, 70},
    {MainRegion::PlaylistToggle, 242, 265, 58, 70},
    {MainRegion::Volume, 107, 175, 57, 70},
    {MainRegion::Position, 16, 264, 72, 82},
}};

// The bars in skin units: where each starts and how long it is.
constexpr int kVolumeBarLeft = 107;
constexpr int kVolumeBarLength = 68;
constexpr int kPositionBarLeft = 16;
constexpr int kPositionBarLength = 248;

constexpr int kOptionsCornerSize = 20;

// The part of a bar under window x as a fraction times `full`, truncated.
int BarValueAtX(int x, int scale, int barLeft, int barLength, int full) {
    const int left = barLeft * scale / 100;
    const int length = barLength * scale / 100;
    if (length <= 0) return 0;
    const float fraction = static_cast<float>(x - left) / static_cast<float>(length);
    return std::clamp(static_cast<int>(fraction * static_cast<float>(full)), 0, full);
}

}  // namespace

MainCorner MainCornerAt(int x, int y) {
    if (x >= 0 && x <= kOptionsCornerSize && y >= 0 && y <= kOptionsCornerSize) return MainCorner::Options;
    if (InTitleBarCloseBox(x, y)) return MainCorner::Close;
    return MainCorner::None;
}

MainRegion MainRegionAt(int x, int y, int scale) {
    if (scale <= 0) return MainRegion::None;
    const float skinX = ToSkinUnits(x, scale);
    const float skinY = ToSkinUnits(y, scale);
    for (const Region& region : kRegions) {
        if (skinX >= region.left && skinX <= region.right && skinY >= region.top && skinY <= region.bottom) {
            return region.region;
        }
    }
    return MainRegion::None;
}

int VolumeAtX(int x, int scale) { return BarValueAtX(x, scale, kVolumeBarLeft, kVolumeBarLength, 100); }

int PositionAtX(int x, int scale) { return BarValueAtX(x, scale, kPositionBarLeft, kPositionBarLength, 1000); }
