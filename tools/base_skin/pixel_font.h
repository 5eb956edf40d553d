#pragma once

#include <cstdint>
#include <string_view>

#include "tools/base_skin/surface.h"

// The skin's own lettering: capitals, digits, a few lower-case letters and
// signs, five pixels high (p hangs one pixel lower), mostly three wide, so
// that labels stay whole on the small screen.
namespace base_skin {

constexpr int kCapitalHeight = 5;

// Whether the font draws `character`; a space is drawn as a gap.
bool HasGlyph(char character);

// Width in pixels of `text` with `spacing` pixels between characters. Both
// this and the drawing functions throw std::invalid_argument for a character
// the font lacks, so that a label cannot lose a letter unnoticed.
int TextWidth(std::string_view text, int spacing = 1);

// Writes `text` with its top-left corner at (x, y).
void DrawText(Surface& surface, int x, int y, std::string_view text, uint8_t color, int spacing = 1);

// Writes `text` centred in `box`, the capitals centred vertically (a box of
// odd extra height leaves the extra pixel below).
void DrawTextCentered(Surface& surface, Rect box, std::string_view text, uint8_t color, int spacing = 1);

}  // namespace base_skin
