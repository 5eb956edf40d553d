#include "ui/skin/equalizer_placements.h"

#include <algorithm>

namespace {

using namespace equalizer_placement;

int Scaled(int length) { return ScaleToScreen(length); }

}  // namespace

int SliderFrame(int percent) { return std::clamp(percent * 28 / 100, 0, 27); }

bool PaintEqualizerBackground(HDC target) {
    return DrawEqualizerBackground(target, Scaled(kBackground.x), Scaled(kBackground.y), kBackground.adjustment);
}

bool PaintEqualizerTitleBar(HDC target) {
    return DrawEqualizerTitleBar(target, Scaled(kTitleBar.x), Scaled(kTitleBar.y), TitleBarState::Active);
}

bool PaintEqualizerOnButton(HDC target, bool on, bool pressed) {
    return DrawEqualizerToggle(target, EqualizerToggle::On, Scaled(kOnButton.x), Scaled(kOnButton.y),
                               ToggleStateOf(on, pressed), kOnButton.adjustment);
}

bool PaintEqualizerAutoButton(HDC target, bool pressed) {
    return DrawEqualizerToggle(target, EqualizerToggle::Auto, Scaled(kAutoButton.x), Scaled(kAutoButton.y),
                               ToggleStateOf(false, pressed), kAutoButton.adjustment);
}

bool PaintPresetsButton(HDC target, bool pressed) {
    return DrawPresetsButton(target, Scaled(kPresetsButton.x), Scaled(kPresetsButton.y),
                             pressed ? ButtonState::Pressed : ButtonState::Normal, kPresetsButton.adjustment);
}

bool PaintSlider(HDC target, int column, int percent) {
    const SpritePlacement barPlacement = kSliderBar.MovedRight(column);
    const SpritePlacement thumbPlacement = kSliderThumb.MovedRight(column);
    bool bar = DrawSliderBar(target, Scaled(barPlacement.x), Scaled(barPlacement.y), SliderFrame(percent),
                             barPlacement.adjustment);
    bool thumb = DrawSliderThumb(target, Scaled(thumbPlacement.x),
                                 Scaled(thumbPlacement.y) + Scaled(SliderThumbTravel(percent)), ButtonState::Normal,
                                 thumbPlacement.adjustment);
    return bar && thumb;
}
