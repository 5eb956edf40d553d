#include "ui/eq_window/eq_hit_regions.h"

#include "ui/skin/equalizer_placements.h"
#include "ui/skin/skin_sprites.h"

using equalizer_placement::kSliderBar;

EqRegion EqRegionAt(int x, int y, int scale) {
    if (scale <= 0) return {};
    const float skinX = ToSkinUnits(x, scale);
    const float skinY = ToSkinUnits(y, scale);
    if (equalizer_placement::kOnButton.Holds(skinX, skinY)) return {EqControl::OnButton};
    if (equalizer_placement::kPresetsButton.Holds(skinX, skinY)) return {EqControl::PresetsButton};
    if (kSliderBar.MovedRight(kPreampSliderColumn).Holds(skinX, skinY)) return {EqControl::Slider, kPreampSlider};
    for (int band = 0; band < kEqualizerBands; ++band) {
        if (kSliderBar.MovedRight(BandSliderColumn(band)).Holds(skinX, skinY)) return {EqControl::Slider, band + 1};
    }
    return {};
}

int SliderPositionAtY(int y, int scale) {
    const int height = kSliderBar.height * scale / 100;
    const int bottom = height + kSliderBar.y * scale / 100;
    if (height <= 0) return 0;
    return static_cast<int>(static_cast<float>(bottom - y) / static_cast<float>(height) * 100.0f);
}
