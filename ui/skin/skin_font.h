#pragma once

// The skin's bitmap font ("text.bmp" of classic skins): glyphs five pixels
// wide and six high, in three rows of 31 cells. The first row holds the
// capitals, the second the digits and signs, the third a few accented
// capitals. Small letters are drawn with the capitals, as skins expect.

#include <optional>

inline constexpr int kSkinGlyphWidth = 5;
inline constexpr int kSkinGlyphHeight = 6;
inline constexpr int kSkinFontColumns = 31;
inline constexpr int kSkinFontRows = 3;

// Where a glyph lies in the font bitmap, in cells.
struct SkinGlyphCell {
    int column = 0;
    int row = 0;
    bool operator==(const SkinGlyphCell&) const = default;
};

// The cell that draws `character`, or nothing when the font lacks it (then
// the system font draws it).
std::optional<SkinGlyphCell> SkinGlyphOf(char32_t character);
