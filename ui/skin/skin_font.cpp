#include "ui/skin/skin_font.h"

#include <string_view>

namespace {

// The second row, from its first cell on; the cell after the digits holds
// an ellipsis.
constexpr std::u32string_view kSignRow = U"0123456789\u2026.:()-'!_+\\/[]^&%,=$#";
// The third row: Å, Ö and Ä, then the question mark and the asterisk.
constexpr std::u32string_view kAccentRow = U"\u00C5\u00D6\u00C4?*";
// The first row has the capitals, then these two; its last cells are blank
// and serve as the space.
constexpr std::u32string_view kCapitalRowTail = U"\"@";
constexpr SkinGlyphCell kSpace{30, 0};

// Characters the font lacks that read right as one it has.
char32_t Substitute(char32_t character) {
    switch (character) {
        case U'<': case U'{': return U'(';
        case U'>': case U'}': return U')';
        case U'`': case U'\u2018': case U'\u2019': return U'\'';
        case U'\u201C': case U'\u201D': return U'"';
        case U'|': return U'!';
        case U'~': case U'\u2013': case U'\u2014': return U'-';
        case U';': return U':';
        case U'\u00E5': return U'\u00C5';
        case U'\u00F6': return U'\u00D6';
        case U'\u00E4': return U'\u00C4';
        default: return character;
    }
}

}  // namespace

std::optional<SkinGlyphCell> SkinGlyphOf(char32_t character) {
    character = Substitute(character);
    if (character >= U'a' && character <= U'z') character -= U'a' - U'A';
    if (character >= U'A' && character <= U'Z') return SkinGlyphCell{static_cast<int>(character - U'A'), 0};
    if (character == U' ') return kSpace;
    if (size_t at = kCapitalRowTail.find(character); at != std::u32string_view::npos) {
        return SkinGlyphCell{26 + static_cast<int>(at), 0};
    }
    if (size_t at = kSignRow.find(character); at != std::u32string_view::npos) {
        return SkinGlyphCell{static_cast<int>(at), 1};
    }
    if (size_t at = kAccentRow.find(character); at != std::u32string_view::npos) {
        return SkinGlyphCell{static_cast<int>(at), 2};
    }
    return std::nullopt;
}
