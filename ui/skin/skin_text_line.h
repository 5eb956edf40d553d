#pragma once

// One line of the main window's text (the title, a rate) drawn once into a
// bitmap of its own: in the skin's bitmap font, each glyph at its own size,
// where the font has the character, and in the system font where it lacks
// it or the skin has no font. The window copies the part its box shows, so
// a scrolling title costs one copy a step.

#include <string_view>

#include "platform/ui/canvas_gdi.h"

using platform::ui::HBITMAP;
using platform::ui::HDC;
using platform::ui::RECT;

// How a line is laid out, in screen pixels.
struct SkinTextStyle {
    int height = 0;       // of the line, as of the box it is shown in
    int glyphTop = 0;     // where the bitmap font's glyphs start
    int pitch = 5;        // a glyph's advance; less than its width crops its right columns
    int fontHeight = 12;  // of the system font
    int fontTop = 0;      // where the system font's text starts (may be above the line)
};

class SkinTextLine {
public:
    SkinTextLine() = default;
    ~SkinTextLine();
    SkinTextLine(const SkinTextLine&) = delete;
    SkinTextLine& operator=(const SkinTextLine&) = delete;

    // Draws `text` in the current skin, replacing what the line held.
    void Render(std::string_view text, const SkinTextStyle& style);
    int Width() const { return width_; }

    // Fills `box` of `target` with the line from its column `offset` on,
    // starting the line again after its end.
    bool DrawScrolled(HDC target, const RECT& box, int offset) const;
    // Puts the whole line at the box's left (clipped to the box), or with its
    // right edge on the box's right (running out of the box's left when
    // wider), and fills the rest of the box with the background.
    bool DrawAligned(HDC target, const RECT& box, bool rightAligned) const;

private:
    bool Copy(HDC target, int x, int y, int width, int sourceX) const;
    void Fill(HDC target, const RECT& area) const;

    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    platform::ui::COLORREF background_ = 0;
};

// The advance that fits `characters` bitmap glyphs into `width` pixels: the
// glyph's width, or one less (dropping the glyph's spacing column) when
// that is too wide.
int PitchToFit(size_t characters, int width);
