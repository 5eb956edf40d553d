#pragma once

// The equalizer window's sliders against the engine's equalizer values. A
// slider position is a percentage, 0 at the bottom and 100 at the top; the
// engine's value runs the other way, 0 (+20 dB) at the top, 31 (0 dB) in the
// middle and 63 (-20 dB) at the bottom. The integer arithmetic truncates,
// and every engine value from 0 to 63 comes back unchanged from a round trip.

inline constexpr int kSliderTopPosition = 100;
inline constexpr int kEngineBottomValue = 63;

constexpr int SliderFromEngine(int value) {
    return (kEngineBottomValue * kSliderTopPosition - value * kSliderTopPosition) / kEngineBottomValue;
}

constexpr int EngineFromSlider(int position) {
    return (kEngineBottomValue * kSliderTopPosition - position * kEngineBottomValue) / kSliderTopPosition;
}

// A preset's gain in tenths of a decibel (+200 is +20 dB) as a slider
// position: the 400 tenths from -20 to +20 dB spread over 100 percent.
constexpr int SliderFromPresetGain(int tenthsOfDecibel) { return (tenthsOfDecibel + 200) / 4; }
