#pragma once

// Where the main window's sprites and texts land, and which frame or state
// each shows for the player's values. The main window paints them in this
// header's order on a full repaint, and one at a time on partial updates.

#include <array>
#include <cstdint>
#include <string_view>

#include "ui/skin/skin_sprites.h"
#include "ui/skin/skin_text_line.h"

// The five clock glyphs for a time: hundreds of minutes (blank when 0 and
// from 1000 minutes on), tens of minutes, minutes, tens of seconds,
// seconds. A remaining time has the minus in the first place, and shows at
// most 99:59.
std::array<int, 5> ClockGlyphs(int64_t seconds, bool remaining = false);
// The clock's blink while paused: five blanks.
std::array<int, 5> BlankClockGlyphs();

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

bool PaintPlayState(HDC target, PlayState state);

// The texts, in the skin's bitmap font: the rates right-aligned in their
// boxes (a number too long for its box closes up its glyphs), the sample
// rate in kilohertz; a rate of 0 leaves its box empty.
bool PaintBitRate(HDC target, int kilobitsPerSecond);
bool PaintSampleRate(HDC target, int hertz);
// The title's box width in screen pixels, and its line drawn for it.
int TitleBoxWidth();
void RenderTitle(SkinTextLine& line, std::string_view title);
// The title from column `offset` of its line, scrolling round; or still,
// from its start.
bool PaintTitle(HDC target, const SkinTextLine& line, int offset, bool scrolling);
bool PaintTitle(HDC target, std::string_view title);
