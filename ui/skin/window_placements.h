#pragma once

// Where the main and equalizer windows put each sprite: its rectangle in
// skin units (its place in the window, and its size, which is the sprite's
// size in the skin's bitmap) and the placement's fixed correction in screen
// pixels, added once the rectangle is scaled. The windows draw and hit-test
// from these, and the base-skin generator lays its artwork out around them.
// Plain numbers only, so the generator can include it.

#include <algorithm>
#include <array>

// A placement's fixed correction of the scaled rectangle, in screen pixels.
struct SpriteAdjustment {
    int dx = 0;
    int dy = 0;
    int dw = 0;
    int dh = 0;
};

struct SpritePlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SpriteAdjustment adjustment;

    constexpr int Right() const { return x + width; }
    constexpr int Bottom() const { return y + height; }

    // Whether a point in skin units lies on it, edges included: what a tap hits.
    constexpr bool Holds(float pointX, float pointY) const {
        return pointX >= static_cast<float>(x) && pointX <= static_cast<float>(Right()) &&
               pointY >= static_cast<float>(y) && pointY <= static_cast<float>(Bottom());
    }

    // The same placement `skinUnits` further right, as each slider's column moves it.
    constexpr SpritePlacement MovedRight(int skinUnits) const {
        SpritePlacement moved = *this;
        moved.x += skinUnits;
        return moved;
    }
};

// A text box of the main window: its corner in skin units, its size in
// screen pixels, and where the text starts below the box's unmoved top.
struct TextPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int textDy = 0;
};

namespace main_placement {

inline constexpr SpritePlacement kBackground{0, 0, 275, 116, {0, 0, 1, 0}};
inline constexpr SpritePlacement kTitleBar{0, 0, 275, 14, {}};
inline constexpr SpritePlacement kPrevious{16, 88, 23, 18, {1, 0, 1, 0}};
inline constexpr SpritePlacement kPlay{39, 88, 23, 18, {2, 0, 0, 0}};
inline constexpr SpritePlacement kPause{62, 88, 23, 18, {2, 0, 0, 0}};
inline constexpr SpritePlacement kStop{85, 88, 23, 18, {2, 0, 0, 0}};
inline constexpr SpritePlacement kNext{108, 88, 22, 18, {2, 0, 0, 0}};
inline constexpr SpritePlacement kEject{136, 89, 22, 16, {1, -1, 0, 1}};
inline constexpr SpritePlacement kShuffle{164, 89, 47, 15, {2, -1, 0, 0}};
inline constexpr SpritePlacement kRepeat{210, 89, 28, 15, {2, -1, 0, 0}};
inline constexpr SpritePlacement kEqualizerToggle{219, 58, 23, 12, {}};
inline constexpr SpritePlacement kPlaylistToggle{242, 58, 23, 12, {}};
inline constexpr SpritePlacement kStereo{239, 41, 29, 12, {2, 0, 0, 0}};
inline constexpr SpritePlacement kMono{212, 41, 27, 12, {}};
inline constexpr SpritePlacement kVolumeBar{107, 57, 68, 13, {}};
inline constexpr SpritePlacement kBalanceBar{177, 57, 38, 13, {}};
// The thumbs where their travel starts; the player's values move them on.
inline constexpr SpritePlacement kVolumeThumb{107, 58, 14, 11, {}};
inline constexpr SpritePlacement kBalanceThumb{177, 58, 14, 11, {}};
inline constexpr SpritePlacement kPositionBar{16, 72, 248, 10, {0, 0, 3, 1}};
inline constexpr SpritePlacement kPositionThumb{16, 72, 29, 10, {0, 0, 0, 1}};
// The clock's five glyphs share a row and a size.
inline constexpr SpritePlacement kClockDigit{36, 26, 9, 13, {}};
inline constexpr std::array<int, 5> kClockDigitLefts{36, 48, 60, 78, 90};
// The play state: a lamp strip left of a play, pause or stop picture.
inline constexpr SpritePlacement kPlayStateLamp{24, 28, 3, 9, {}};
inline constexpr SpritePlacement kPlayState{27, 28, 9, 9, {}};
// What a tap switches: the clock between elapsed and remaining time, the
// title between scrolling and still.
inline constexpr SpritePlacement kClockArea{36, 26, 63, 13, {}};
inline constexpr SpritePlacement kTitleArea{111, 24, 154, 12, {}};

// In the order of TransportButton and MainToggle.
inline constexpr std::array<SpritePlacement, 6> kTransportButtons{kPrevious, kPlay, kPause, kStop, kNext, kEject};
inline constexpr std::array<SpritePlacement, 4> kToggles{kShuffle, kRepeat, kEqualizerToggle, kPlaylistToggle};

// Every text box is drawn two pixels above its corner.
inline constexpr int kTextBoxDy = -2;
inline constexpr TextPlacement kTitleText{111, 27, 135, 10, -1};
inline constexpr TextPlacement kBitRateText{111, 43, 15, 9, -2};
inline constexpr TextPlacement kSampleRateText{156, 43, 11, 9, -2};

}  // namespace main_placement

namespace equalizer_placement {

inline constexpr SpritePlacement kBackground{0, 0, 275, 116, {0, 0, 1, 0}};
inline constexpr SpritePlacement kTitleBar{0, 0, 275, 14, {}};
inline constexpr SpritePlacement kOnButton{14, 18, 24, 12, {}};
inline constexpr SpritePlacement kAutoButton{39, 18, 33, 12, {}};
inline constexpr SpritePlacement kPresetsButton{217, 18, 44, 12, {}};
// A slider's bar, and its thumb at the top of its travel one pixel in from
// the bar, for a slider in column 0 (the columns are below).
inline constexpr SpritePlacement kSliderBar{0, 38, 14, 64, {}};
inline constexpr SpritePlacement kSliderThumb{0, 38, 11, 11, {1, 0, 0, 0}};
inline constexpr int kSliderThumbTravel = 53;

}  // namespace equalizer_placement

inline constexpr int kEqualizerBands = 10;

// The skin column of the preamp slider and of band slider `band` (0 to 9).
inline constexpr int kPreampSliderColumn = 21;
constexpr int BandSliderColumn(int band) { return 78 + 18 * band; }

// The slider thumb's distance from the top of its travel in skin units, for
// a slider value in percent (0 at the bottom, 100 at the top).
constexpr int SliderThumbTravel(int percent) {
    using equalizer_placement::kSliderThumbTravel;
    return kSliderThumbTravel - std::clamp(percent * kSliderThumbTravel / 100, 0, kSliderThumbTravel - 1);
}
