#pragma once

// A typeface opened at one cell height: DejaVu Sans (regular or bold) and the
// CJK fallback at the cell height too. Internal to the drawing layer; the
// rest of the program holds Font handles.

#include <SDL_ttf.h>

#include <memory>

namespace platform::ui {

class FontFace {
public:
    // Opens the faces for `cellHeight` (1..kMaximumCellHeight); nullptr when
    // the main typeface cannot be opened. A missing fallback only loses CJK.
    static std::unique_ptr<FontFace> Open(int cellHeight, bool bold);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    int CellHeight() const { return cellHeight_; }
    // Pixels from the top of the cell to the baseline.
    int Ascent() const { return ascent_; }
    TTF_Font* Primary() const { return primary_; }
    // nullptr when the fallback typeface is not installed.
    TTF_Font* Fallback() const { return fallback_; }
    // The face that draws `codePoint`: the primary one when it has the glyph
    // or no face has it (it then draws its missing-glyph box).
    TTF_Font* FaceFor(char32_t codePoint) const;

private:
    FontFace() = default;

    int cellHeight_ = 0;
    int ascent_ = 0;
    TTF_Font* primary_ = nullptr;
    TTF_Font* fallback_ = nullptr;
};

}  // namespace platform::ui
