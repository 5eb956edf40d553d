#include "tools/base_skin/pixel_font.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace base_skin {
namespace {

constexpr int kSpaceWidth = 2;
constexpr int kMostRows = 6;

struct Glyph {
    char character;
    const char* rows[kMostRows];
};

// '#' marks a pixel. Every row of a glyph is as wide as its first; a sixth
// row is a descender.
constexpr Glyph kGlyphs[] = {
    {'A', {"###", "#.#", "###", "#.#", "#.#"}},
    {'B', {"##.", "#.#", "###", "#.#", "##."}},
    {'C', {"###", "#..", "#..", "#..", "###"}},
    {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}},
    {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {"###", "#..", "#.#", "#.#", "###"}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"#", "#", "#", "#", "#"}},
    {'J', {"..#", "..#", "..#", "#.#", "###"}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
    {'O', {"###", "#.#", "#.#", "#.#", "###"}},
    {'P', {"###", "#.#", "###", "#..", "#.."}},
    {'Q', {"###", "#.#", "#.#", "##.", ".##"}},
    {'R', {"###", "#.#", "##.", "#.#", "#.#"}},
    {'S', {"###", "#..", "###", "..#", "###"}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
    {'Z', {"###", "..#", ".#.", "#..", "###"}},
    // The zero is narrowed at its corners so that it never reads as an O.
    {'0', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'1', {".#", "##", ".#", ".#", ".#"}},
    {'2', {"##.", "..#", ".#.", "#..", "###"}},
    {'3', {"##.", "..#", ".#.", "..#", "##."}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}},
    {'5', {"###", "#..", "##.", "..#", "##."}},
    {'6', {".##", "#..", "###", "#.#", "###"}},
    {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}},
    {'9', {"###", "#.#", "###", "..#", "##."}},
    {'b', {"#..", "#..", "###", "#.#", "###"}},
    {'k', {"#..", "#..", "#.#", "##.", "#.#"}},
    {'p', {"...", "...", "###", "#.#", "###", "#.."}},
    {'s', {"...", "...", ".##", ".#.", "##."}},
    {'z', {"...", "...", "###", ".#.", "###"}},
    {'+', {"...", ".#.", "###", ".#.", "..."}},
    {'-', {"...", "...", "###", "...", "..."}},
    {'.', {".", ".", ".", ".", "#"}},
    {':', {".", "#", ".", "#", "."}},
    {'/', {"..#", "..#", ".#.", "#..", "#.."}},
    // The signs of the main window's text font.
    {'"', {"#.#", "#.#", "...", "...", "..."}},
    {'@', {"###", "#.#", "#.#", "#..", "###"}},
    {'(', {".#", "#.", "#.", "#.", ".#"}},
    {')', {"#.", ".#", ".#", ".#", "#."}},
    {'\'', {"#", "#", ".", ".", "."}},
    {'!', {"#", "#", "#", ".", "#"}},
    {'_', {"...", "...", "...", "...", "###"}},
    {'\\', {"#..", "#..", ".#.", "..#", "..#"}},
    {'[', {"##", "#.", "#.", "#.", "##"}},
    {']', {"##", ".#", ".#", ".#", "##"}},
    {'^', {".#.", "#.#", "...", "...", "..."}},
    {'&', {".#.", "#.#", ".#.", "#.#", ".##"}},
    {'%', {"#.#", "..#", ".#.", "#..", "#.#"}},
    {',', {".", ".", ".", "#", "#"}},
    {'=', {"...", "###", "...", "###", "..."}},
    {'$', {".##", "##.", ".#.", ".##", "##."}},
    {'#', {"#.#", "###", "#.#", "###", "#.#"}},
    {'?', {"##.", "..#", ".#.", "...", ".#."}},
    {'*', {"...", "#.#", ".#.", "#.#", "..."}},
};

const Glyph* LookUp(char character) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == character) return &glyph;
    }
    return nullptr;
}

// The glyph of `character`, or nullptr for a space.
const Glyph* FindGlyph(char character) {
    const Glyph* glyph = LookUp(character);
    if (glyph == nullptr && character != ' ') {
        throw std::invalid_argument(std::string("the skin font has no glyph for '") + character + "'");
    }
    return glyph;
}

int GlyphWidth(const Glyph* glyph) {
    return glyph == nullptr ? kSpaceWidth : static_cast<int>(std::strlen(glyph->rows[0]));
}

}  // namespace

bool HasGlyph(char character) { return LookUp(character) != nullptr; }

int TextWidth(std::string_view text, int spacing) {
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) width += spacing;
        width += GlyphWidth(FindGlyph(text[i]));
    }
    return width;
}

void DrawText(Surface& surface, int x, int y, std::string_view text, uint8_t color, int spacing) {
    for (char character : text) {
        const Glyph* glyph = FindGlyph(character);
        if (glyph != nullptr) {
            for (int row = 0; row < kMostRows && glyph->rows[row] != nullptr; ++row) {
                for (int column = 0; glyph->rows[row][column] != '\0'; ++column) {
                    if (glyph->rows[row][column] == '#') surface.Set(x + column, y + row, color);
                }
            }
        }
        x += GlyphWidth(glyph) + spacing;
    }
}

void DrawTextCentered(Surface& surface, Rect box, std::string_view text, uint8_t color, int spacing) {
    const int x = box.x + (box.width - TextWidth(text, spacing)) / 2;
    const int y = box.y + (box.height - kCapitalHeight) / 2;
    DrawText(surface, x, y, text, color, spacing);
}

}  // namespace base_skin
