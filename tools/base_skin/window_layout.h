#pragma once

// Where the player puts each sprite of the main and equalizer windows on the
// screen, and at what size: the skin position and size at 87 % plus the fixed
// adjustment of each placement. The window backgrounds are drawn around these
// rectangles, and each sprite is drawn at its size here.

#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/surface.h"

namespace base_skin {

constexpr Rect OnScreen(int x, int y, int width, int height, int dx = 0, int dy = 0, int dw = 0, int dh = 0) {
    return {ScreenLength(x) + dx, ScreenLength(y) + dy, ScreenLength(width) + dw, ScreenLength(height) + dh};
}

namespace main_window {
constexpr Rect kBackground = OnScreen(0, 0, 275, 116, 0, 0, 1, 0);
constexpr Rect kTitleBar = OnScreen(0, 0, 275, 14);
constexpr Rect kPrevious = OnScreen(16, 88, 23, 18, 1, 0, 1, 0);
constexpr Rect kPlay = OnScreen(39, 88, 23, 18, 2);
constexpr Rect kPause = OnScreen(62, 88, 23, 18, 2);
constexpr Rect kStop = OnScreen(85, 88, 23, 18, 2);
constexpr Rect kNext = OnScreen(108, 88, 22, 18, 2);
constexpr Rect kEject = OnScreen(136, 89, 22, 16, 1, -1, 0, 1);
constexpr Rect kShuffle = OnScreen(164, 89, 47, 15, 2, -1);
constexpr Rect kRepeat = OnScreen(210, 89, 28, 15, 2, -1);
constexpr Rect kEqualizerToggle = OnScreen(219, 58, 23, 12);
constexpr Rect kPlaylistToggle = OnScreen(242, 58, 23, 12);
constexpr Rect kStereo = OnScreen(239, 41, 29, 12, 2);
constexpr Rect kMono = OnScreen(212, 41, 27, 12);
constexpr Rect kVolume = OnScreen(107, 57, 68, 13);
constexpr Rect kBalance = OnScreen(177, 57, 38, 13);
constexpr Rect kVolumeThumb = OnScreen(107, 58, 14, 11);
constexpr Rect kPositionBar = OnScreen(16, 72, 248, 10, 0, 0, 3, 1);
constexpr Rect kPositionThumb = OnScreen(16, 72, 29, 10, 0, 0, 0, 1);
constexpr int kDigitLefts[] = {ScreenLength(36), ScreenLength(48), ScreenLength(60), ScreenLength(78),
                               ScreenLength(90)};
constexpr Rect kDigit = OnScreen(36, 26, 9, 13);
// The boxes the player fills with its own text, black by default.
constexpr Rect kTitleText = {ScreenLength(111), ScreenLength(27) - 2, 135, 10};
constexpr Rect kBitRateText = {ScreenLength(111), ScreenLength(43) - 2, 15, 9};
constexpr Rect kSampleRateText = {ScreenLength(156), ScreenLength(43) - 2, 11, 9};
}  // namespace main_window

namespace equalizer_window {
constexpr Rect kBackground = main_window::kBackground;
constexpr Rect kTitleBar = main_window::kTitleBar;
constexpr Rect kOnButton = OnScreen(14, 18, 24, 12);
constexpr Rect kAutoButton = OnScreen(39, 18, 33, 12);
constexpr Rect kPresetsButton = OnScreen(217, 18, 44, 12);
constexpr Rect kSliderBar = OnScreen(21, 38, 14, 64);
constexpr Rect kSliderThumb = OnScreen(0, 0, 11, 11);
constexpr int kPreampColumn = 21;
constexpr int kBandCount = 10;
// The skin column of band `band` (0 to 9).
constexpr int BandColumn(int band) { return 78 + 18 * band; }
// The screen row of the thumb's top for slider position `percent`.
constexpr int SliderThumbTop(int percent) {
    const int travel = percent * 53 / 100 < 52 ? percent * 53 / 100 : 52;
    return ScreenLength(38) + ScreenLength(53 - travel);
}
}  // namespace equalizer_window

}  // namespace base_skin
