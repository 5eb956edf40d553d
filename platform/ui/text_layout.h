#pragma once

// Text lines cut into runs by typeface: DejaVu Sans draws what it has glyphs
// for, the CJK fallback the rest (SDL_ttf has no fallback of its own). Text
// is UTF-8; a byte that does not start a well-formed sequence stands for
// U+FFFD. Drawing blends the glyphs in one colour onto a framebuffer, inside
// a clip rectangle; the same text gives the same pixels on every run.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/font_face.h"
#include "platform/ui/framebuffer.h"

namespace platform::ui {

struct TextRun {
    TTF_Font* font = nullptr;
    std::string text;  // well-formed UTF-8
    int x = 0;         // from the start of the line
    int width = 0;
};

struct TextLayout {
    std::vector<TextRun> runs;
    int width = 0;
    int height = 0;  // the cell height of the face
};

TextLayout LayOutText(const FontFace& face, std::string_view text);

// Draws `layout` with its cell's top-left corner at (x, y) in `target`,
// touching only pixels inside `clip`. Antialiased glyphs are blended by
// their coverage; otherwise a pixel is either the colour or untouched.
void DrawTextLayout(Framebuffer& target, Rect clip, int x, int y, const FontFace& face, const TextLayout& layout,
                    uint32_t pixel, bool antialiased);

}  // namespace platform::ui
