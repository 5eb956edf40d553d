#include "ui/skin/equalizer_placements.h"

#include <algorithm>

namespace {

constexpr int kSliderTop = 38;
constexpr int kThumbTravel = 53;

int Scaled(int length) { return ScaleToScreen(length); }

}  // namespace

int SliderFrame(int percent) { return std::clamp(percent * 28 / 100, 0, 27); }

int SliderThumbTravel(int percent) { return kThumbTravel - std::clamp(percent * kThumbTravel / 100, 0, 52); }

bool PaintEqualizerBackground(HDC target) { return DrawEqualizerBackground(target, 0, 0, {0, 0, 1, 0}); }

bool PaintEqualizerTitleBar(HDC target) { return DrawEqualizerTitleBar(target, 0, 0, TitleBarState::Active); }

bool PaintEqualizerOnButton(HDC target, bool on, bool pressed) {
    return DrawEqualizerToggle(target, EqualizerToggle::On, Scaled(14), Scaled(18), ToggleStateOf(on, pressed));
}

bool PaintEqualizerAutoButton(HDC target, bool pressed) {
    return DrawEqualizerToggle(target, EqualizerToggle::Auto, Scaled(39), Scaled(18), ToggleStateOf(false, pressed));
}

bool PaintPresetsButton(HDC target, bool pressed) {
    return DrawPresetsButton(target, Scaled(217), Scaled(18), pressed ? ButtonState::Pressed : ButtonState::Normal);
}

bool PaintSlider(HDC target, int column, int percent) {
    bool bar = DrawSliderBar(target, Scaled(column), Scaled(kSliderTop), SliderFrame(percent));
    bool thumb = DrawSliderThumb(target, Scaled(column) + 1, Scaled(kSliderTop) + Scaled(SliderThumbTravel(percent)),
                                 ButtonState::Normal);
    return bar && thumb;
}
