// text.bmp: the main window's bitmap font, in the cells the player reads it
// from (ui/skin/skin_font.h), in the display's glow on its black glass.

#include <algorithm>
#include <string_view>

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/widgets.h"
#include "ui/skin/skin_font.h"

namespace base_skin {
namespace {

// The cells the pixel font draws, row by row; '~' marks the ellipsis and
// the third row's accented capitals are drawn below.
constexpr std::string_view kCellRows[kSkinFontRows] = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\"@",
    "0123456789~.:()-'!_+\\/[]^&%,=$#",
    "   ?*",
};

void DrawCell(Surface& font, int column, int row, char character, uint8_t ink) {
    const int x = column * kSkinGlyphWidth;
    const int y = row * kSkinGlyphHeight;
    if (character == '~') {
        for (int dot = 0; dot < 3; ++dot) font.Set(x + 2 * dot, y + kCapitalHeight - 1, ink);
    } else if (character != ' ') {
        // Centred in the cell, so narrow letters keep the spacing of the others.
        const std::string_view text(&character, 1);
        DrawText(font, x + std::max(0, (kSkinGlyphWidth - TextWidth(text)) / 2), y, text, ink);
    }
}

// Å, Ö and Ä: the capital one pixel lower under its ring or dots.
void DrawAccentedCapitals(Surface& font, uint8_t ink) {
    const int y = 2 * kSkinGlyphHeight;
    DrawText(font, 1, y + 1, "A", ink);
    font.Set(2, y, ink);
    for (int column : {1, 2}) {
        const int x = column * kSkinGlyphWidth + 1;
        DrawText(font, x, y + 1, column == 1 ? "O" : "A", ink);
        font.Set(x, y, ink);
        font.Set(x + 2, y, ink);
    }
}

}  // namespace

Surface PaintTextFont() {
    Surface font(kSkinFontColumns * kSkinGlyphWidth, kSkinFontRows * kSkinGlyphHeight, ink::kBlack);
    const uint8_t ink = Glow(tone::kLitGlow);
    for (int row = 0; row < kSkinFontRows; ++row) {
        for (size_t column = 0; column < kCellRows[row].size(); ++column) {
            DrawCell(font, static_cast<int>(column), row, kCellRows[row][column], ink);
        }
    }
    DrawAccentedCapitals(font, ink);
    return font;
}

}  // namespace base_skin
