#include "ui/eq_window/eq_hit_regions.h"

#include "ui/skin/equalizer_placements.h"
#include "ui/skin/skin_sprites.h"

namespace {

// Skin units, inclusive.
struct Box {
    float left, right, top, bottom;

    bool Holds(float x, float y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

constexpr Box kOnButton{14, 38, 18, 30};
constexpr Box kPresetsButton{217, 261, 18, 30};
// A slider's region is its bar, 14 x 64 skin units from the top of the slider.
constexpr int kSliderWidth = 14;
constexpr int kSliderHeight = 64;
constexpr int kSliderTop = 38;

Box SliderBox(int column) {
    return {static_cast<float>(column), static_cast<float>(column + kSliderWidth), kSliderTop,
            kSliderTop + kSliderHeight};
}

}  // namespace

EqRegion EqRegionAt(int x, int y, int scale) {
    if (scale <= 0) return {};
    const float skinX = ToSkinUnits(x, scale);
    const float skinY = ToSkinUnits(y, scale);
    if (kOnButton.Holds(skinX, skinY)) return {EqControl::OnButton};
    if (kPresetsButton.Holds(skinX, skinY)) return {EqControl::PresetsButton};
    if (SliderBox(kPreampSliderColumn).Holds(skinX, skinY)) return {EqControl::Slider, kPreampSlider};
    for (int band = 0; band < kEqualizerBands; ++band) {
        if (SliderBox(BandSliderColumn(band)).Holds(skinX, skinY)) return {EqControl::Slider, band + 1};
    }
    return {};
}

int SliderPositionAtY(int y, int scale) {
    const int height = kSliderHeight * scale / 100;
    const int bottom = height + kSliderTop * scale / 100;
    if (height <= 0) return 0;
    return static_cast<int>(static_cast<float>(bottom - y) / static_cast<float>(height) * 100.0f);
}
