#pragma once

// The sprite catalogue: where in the skin's bitmaps each picture of the main
// and equalizer windows lies, for each of its states, and the one operation
// that draws it.
//
// Every drawing operation takes the position already scaled to screen pixels
// by the caller, scales the sprite's size with the skin's Scale itself
// (⌊length × Scale / 100⌋, truncating) and applies the placement's fixed
// adjustment in screen pixels. It returns false, drawing nothing, when the
// sprite's bitmap is missing or the state or value has no picture.

#include "platform/ui/canvas_gdi.h"
#include "ui/skin/window_placements.h"

using platform::ui::HBITMAP;
using platform::ui::HDC;
using platform::ui::RECT;

enum class ButtonState { Normal, Pressed };
enum class ToggleState { Off, OffPressed, On, OnPressed };
enum class IndicatorState { Lit, Unlit };
enum class TitleBarState { Active, Inactive };

enum class TransportButton { Prev, Play, Pause, Stop, Next, Eject };
enum class MainToggle { Shuffle, Repeat, Equalizer, Playlist };
enum class ChannelIndicator { Stereo, Mono };
enum class EqualizerToggle { On, Auto };
enum class PlayState { Playing, Paused, Stopped };

// The toggle state for a toggle that is on or off and maybe held down.
ToggleState ToggleStateOf(bool on, bool pressed);

// A skin length in screen pixels at the skin's current Scale.
int ScaleToScreen(int length);

// A length in window pixels in skin units at `scale` percent, unrounded:
// what the windows hit-test taps in.
float ToSkinUnits(int pixels, int scale);

// The close box of the main and equalizer title bars, in window pixels,
// edges included.
bool InTitleBarCloseBox(int x, int y);

// Stretch-copies `source` of `bitmap` onto `destination` of `target` through a
// memory context of its own. False, leaving the target as it was, for a null
// bitmap or target.
bool CopySprite(HDC target, HBITMAP bitmap, const RECT& destination, const RECT& source);

// Copies `source` of `bitmap` to (x, y) at its size scaled by the skin's
// Scale, with the placement's adjustment: what every sprite operation does.
bool DrawScaledSprite(HDC target, HBITMAP bitmap, int x, int y, const RECT& source, SpriteAdjustment adjustment);

bool DrawMainBackground(HDC target, int x, int y, SpriteAdjustment adjustment = {});
bool DrawMainTitleBar(HDC target, int x, int y, TitleBarState state, SpriteAdjustment adjustment = {});
bool DrawTransportButton(HDC target, TransportButton button, int x, int y, ButtonState state,
                         SpriteAdjustment adjustment = {});
bool DrawMainToggle(HDC target, MainToggle toggle, int x, int y, ToggleState state, SpriteAdjustment adjustment = {});
bool DrawChannelIndicator(HDC target, ChannelIndicator indicator, int x, int y, IndicatorState state,
                          SpriteAdjustment adjustment = {});
// Bars have 28 frames, 0 to 27; other frames are clamped.
bool DrawVolumeBar(HDC target, int x, int y, int frame, SpriteAdjustment adjustment = {});
bool DrawVolumeThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment = {});
bool DrawBalanceBar(HDC target, int x, int y, int frame, SpriteAdjustment adjustment = {});
bool DrawBalanceThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment = {});
// Glyphs 0 to 9 are the digits, 10 the blank and 11 the minus (from a
// numbers bitmap without one, the 2's middle stroke on the blank); any
// other glyph draws nothing.
bool DrawDigit(HDC target, int x, int y, int glyph, SpriteAdjustment adjustment = {});
// The play, pause or stop picture, and the lamp left of it (lit while playing).
bool DrawPlayState(HDC target, int x, int y, PlayState state, SpriteAdjustment adjustment = {});
bool DrawPlayStateLamp(HDC target, int x, int y, PlayState state, SpriteAdjustment adjustment = {});
bool DrawPositionBar(HDC target, int x, int y, SpriteAdjustment adjustment = {});
bool DrawPositionThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment = {});

bool DrawEqualizerBackground(HDC target, int x, int y, SpriteAdjustment adjustment = {});
bool DrawEqualizerTitleBar(HDC target, int x, int y, TitleBarState state, SpriteAdjustment adjustment = {});
bool DrawEqualizerToggle(HDC target, EqualizerToggle toggle, int x, int y, ToggleState state,
                         SpriteAdjustment adjustment = {});
bool DrawPresetsButton(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment = {});
bool DrawSliderBar(HDC target, int x, int y, int frame, SpriteAdjustment adjustment = {});
bool DrawSliderThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment = {});
