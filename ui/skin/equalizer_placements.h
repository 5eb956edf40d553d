#pragma once

// The equalizer window's sprites where window_placements.h puts them.
// Sliders take a value in percent (0 at the bottom, 100 at the top).

#include "ui/skin/skin_sprites.h"

// The slider bar's frame for a slider value in percent.
int SliderFrame(int percent);

bool PaintEqualizerBackground(HDC target);
bool PaintEqualizerTitleBar(HDC target);
bool PaintEqualizerOnButton(HDC target, bool on, bool pressed);
// The AUTO button never turns on.
bool PaintEqualizerAutoButton(HDC target, bool pressed);
bool PaintPresetsButton(HDC target, bool pressed);
// The slider in skin column `column`: its bar, then its thumb.
bool PaintSlider(HDC target, int column, int percent);
