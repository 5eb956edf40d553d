#pragma once

// Where a tap lands on the equalizer window. The regions are the skin's own
// layout in skin units; a tap in window pixels is scaled back to them. A
// region includes its boundary points. The AUTO button is only drawn: it has
// no region.

// The eleven sliders: the preamp, then bands 1 to 10.
inline constexpr int kPreampSlider = 0;
inline constexpr int kSliderCount = 11;

enum class EqControl { None, OnButton, PresetsButton, Slider };

struct EqRegion {
    EqControl control = EqControl::None;
    int slider = kPreampSlider;  // which slider, for EqControl::Slider

    bool operator==(const EqRegion&) const = default;
};

// The first region, in the table's order, that holds the tap at (x, y)
// window pixels with the skin drawn at `scale` percent.
EqRegion EqRegionAt(int x, int y, int scale);

// The slider position (percent) that a drag at window y sets: the thumb's
// travel measured from the bottom of the slider, truncated.
int SliderPositionAtY(int y, int scale);
