#pragma once

// Where the equalizer window's sprites land. Sliders take a value in percent
// (0 at the bottom, 100 at the top).

#include "ui/skin/skin_sprites.h"

inline constexpr int kEqualizerBands = 10;

// The skin column of the preamp slider and of band slider `band` (0 to 9).
inline constexpr int kPreampSliderColumn = 21;
constexpr int BandSliderColumn(int band) { return 78 + 18 * band; }

// The slider bar's frame, and the thumb's distance from the top of its
// travel in skin units, for a slider value in percent.
int SliderFrame(int percent);
int SliderThumbTravel(int percent);

bool PaintEqualizerBackground(HDC target);
bool PaintEqualizerTitleBar(HDC target);
bool PaintEqualizerOnButton(HDC target, bool on, bool pressed);
// The AUTO button never turns on.
bool PaintEqualizerAutoButton(HDC target, bool pressed);
bool PaintPresetsButton(HDC target, bool pressed);
// The slider in skin column `column`: its bar, then its thumb.
bool PaintSlider(HDC target, int column, int percent);
