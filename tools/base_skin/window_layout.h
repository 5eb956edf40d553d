#pragma once

// Where the player puts each sprite of the main and equalizer windows on the
// screen, and at what size: the player's own placements
// (ui/skin/window_placements.h) at 87 %, with each placement's fixed
// adjustment. The window backgrounds are drawn around these rectangles, and
// each sprite is drawn at its size here.

#include <array>

#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/surface.h"
#include "ui/skin/window_placements.h"

namespace base_skin {

constexpr Rect OnScreen(const SpritePlacement& placement) {
    const SpriteAdjustment& adjustment = placement.adjustment;
    return {ScreenLength(placement.x) + adjustment.dx, ScreenLength(placement.y) + adjustment.dy,
            ScreenLength(placement.width) + adjustment.dw, ScreenLength(placement.height) + adjustment.dh};
}

// A text box: its corner scaled and moved up as the player moves it, its size
// already in screen pixels.
constexpr Rect OnScreen(const TextPlacement& placement) {
    return {ScreenLength(placement.x), ScreenLength(placement.y) + main_placement::kTextBoxDy, placement.width,
            placement.height};
}

namespace main_window {
constexpr Rect kBackground = OnScreen(main_placement::kBackground);
constexpr Rect kTitleBar = OnScreen(main_placement::kTitleBar);
constexpr Rect kPrevious = OnScreen(main_placement::kPrevious);
constexpr Rect kPlay = OnScreen(main_placement::kPlay);
constexpr Rect kPause = OnScreen(main_placement::kPause);
constexpr Rect kStop = OnScreen(main_placement::kStop);
constexpr Rect kNext = OnScreen(main_placement::kNext);
constexpr Rect kEject = OnScreen(main_placement::kEject);
constexpr Rect kShuffle = OnScreen(main_placement::kShuffle);
constexpr Rect kRepeat = OnScreen(main_placement::kRepeat);
constexpr Rect kEqualizerToggle = OnScreen(main_placement::kEqualizerToggle);
constexpr Rect kPlaylistToggle = OnScreen(main_placement::kPlaylistToggle);
constexpr Rect kStereo = OnScreen(main_placement::kStereo);
constexpr Rect kMono = OnScreen(main_placement::kMono);
constexpr Rect kVolume = OnScreen(main_placement::kVolumeBar);
constexpr Rect kBalance = OnScreen(main_placement::kBalanceBar);
constexpr Rect kVolumeThumb = OnScreen(main_placement::kVolumeThumb);
constexpr Rect kPositionBar = OnScreen(main_placement::kPositionBar);
constexpr Rect kPositionThumb = OnScreen(main_placement::kPositionThumb);
constexpr Rect kDigit = OnScreen(main_placement::kClockDigit);
constexpr std::array<int, 5> kDigitLefts = [] {
    std::array<int, 5> lefts{};
    for (size_t index = 0; index < lefts.size(); ++index) {
        lefts[index] = ScreenLength(main_placement::kClockDigitLefts[index]);
    }
    return lefts;
}();
// The boxes the player fills with its own text, black by default.
constexpr Rect kTitleText = OnScreen(main_placement::kTitleText);
constexpr Rect kBitRateText = OnScreen(main_placement::kBitRateText);
constexpr Rect kSampleRateText = OnScreen(main_placement::kSampleRateText);
}  // namespace main_window

namespace equalizer_window {
constexpr Rect kBackground = OnScreen(equalizer_placement::kBackground);
constexpr Rect kTitleBar = OnScreen(equalizer_placement::kTitleBar);
constexpr Rect kOnButton = OnScreen(equalizer_placement::kOnButton);
constexpr Rect kAutoButton = OnScreen(equalizer_placement::kAutoButton);
constexpr Rect kPresetsButton = OnScreen(equalizer_placement::kPresetsButton);
// The bar and thumb of a slider in skin column 0: the slider columns are the
// player's kPreampSliderColumn and BandSliderColumn.
constexpr Rect kSliderBar = OnScreen(equalizer_placement::kSliderBar);
constexpr Rect kSliderThumb = OnScreen(equalizer_placement::kSliderThumb);
// The screen row of the thumb's top for slider position `percent`.
constexpr int SliderThumbTop(int percent) {
    return ScreenLength(equalizer_placement::kSliderThumb.y) + ScreenLength(SliderThumbTravel(percent));
}
}  // namespace equalizer_window

}  // namespace base_skin
