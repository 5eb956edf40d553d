#include "ui/main_window/main_hit_regions.h"

#include <algorithm>
#include <array>

#include "ui/skin/skin_sprites.h"

namespace {

struct Region {
    MainRegion region;
    SpritePlacement placement;
};

constexpr std::array<Region, 14> kRegions{{
    {MainRegion::Prev, main_placement::kPrevious},
    {MainRegion::Play, main_placement::kPlay},
    {MainRegion::Pause, main_placement::kPause},
    {MainRegion::Stop, main_placement::kStop},
    {MainRegion::Next, main_placement::kNext},
    {MainRegion::Eject, main_placement::kEject},
    {MainRegion::Shuffle, main_placement::kShuffle},
    {MainRegion::Repeat, main_placement::kRepeat},
    {MainRegion::EqualizerToggle, main_placement::kEqualizerToggle},
    {MainRegion::PlaylistToggle, main_placement::kPlaylistToggle},
    {MainRegion::Volume, main_placement::kVolumeBar},
    {MainRegion::Position, main_placement::kPositionBar},
    {MainRegion::Clock, main_placement::kClockArea},
    {MainRegion::Title, main_placement::kTitleArea},
}};

constexpr int kOptionsCornerSize = 20;

// The part of a bar under window x as a fraction times `full`, truncated.
int BarValueAtX(int x, int scale, const SpritePlacement& bar, int full) {
    const int left = bar.x * scale / 100;
    const int length = bar.width * scale / 100;
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
    for (const auto& [region, placement] : kRegions) {
        if (placement.Holds(skinX, skinY)) return region;
    }
    return MainRegion::None;
}

int VolumeAtX(int x, int scale) { return BarValueAtX(x, scale, main_placement::kVolumeBar, 100); }

int PositionAtX(int x, int scale) { return BarValueAtX(x, scale, main_placement::kPositionBar, 1000); }
