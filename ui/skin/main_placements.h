#pragma once

// Where the main window's sprites and texts land, and which frame or state
// each shows for the player's values. The main window paints them in this
// header's order on a full repaint, and one at a time on partial updates.

#include <array>
#include <cstdint>
#include <string_view>

#include "ui/skin/skin_sprites.h"
#include "ui/skin/skin_text.h"

// The five clock glyphs for an elapsed time: hundreds of minutes (blank when
// 0), tens of minutes, minutes, tens of seconds, seconds.
std::array<int, 5> ClockGlyphs(int64_t elapsedSeconds);

// The volume bar's frame and its thumb's offset in skin units, for a volume
// in percent.
int VolumeFrame(int volume);
int VolumeThumbOffset(int volume);
// The position thumb's offset in skin units, for a position in permille.
int PositionThumbOffset(int permille);

bool PaintMainBackground(HDC target);
bool PaintMainTitleBar(HDC target);
bool PaintTransportButton(HDC target, TransportButton button, bool pressed);
bool PaintMainToggle(HDC target, MainToggle toggle, bool on, bool pressed);
// Lights the indicator of 1 or 2 channels; 0 leaves both unlit and any other
// count draws neither.
void PaintChannelIndicators(HDC target, int channels);
bool PaintVolume(HDC target, int volume);
// The balance sits fixed at the centre: there is no balance control.
bool PaintBalance(HDC target);
void PaintClock(HDC target, const std::array<int, 5>& glyphs);
bool PaintPosition(HDC target, int permille);

bool PaintBitRate(HDC target, int kilobitsPerSecond);
bool PaintSampleRate(HDC target, int hertz);
bool PaintTitle(HDC target, std::string_view title);
