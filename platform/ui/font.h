#pragma once

// Fonts by LOGFONT, as the player's texts ask for them.
//
// Implements CreateFontIndirect's part that matters here: the LOGFONT height
// picks the size and the weight picks regular or bold; the face name,
// character set, width, escapement, italic, underline and strike-out are
// accepted and ignored. Text is drawn with DejaVu Sans, and with WenQuanYi
// Micro Hei for the characters DejaVu has no glyph for (CJK).
//
// Size: a LOGFONT height h (negative or positive) gives a font whose cell
// (ascent + descent, SDL_ttf's font height) is |h| pixels: the largest point
// size whose cell is not taller than |h|. Height 0 asks for the default 12.
// A font handle is cheap: the opened typefaces are cached by cell height and
// weight for the life of the process, since every text of the player
// creates and deletes its own font.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::ui {

constexpr int32_t FW_DONTCARE = 0;
constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_SEMIBOLD = 600;
constexpr int32_t FW_BOLD = 700;

constexpr uint8_t DEFAULT_QUALITY = 0;
constexpr uint8_t NONANTIALIASED_QUALITY = 3;
constexpr uint8_t ANTIALIASED_QUALITY = 4;

constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t JOHAB_CHARSET = 130;

constexpr size_t LF_FACESIZE = 32;

struct LOGFONT {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};

constexpr int kDefaultCellHeight = 12;
constexpr int kMaximumCellHeight = 256;

// Where the typefaces come from (Debian's fonts-dejavu-core and fonts-wqy-microhei).
constexpr const char* kRegularFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kBoldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kFallbackFontPath = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

class FontFace;

// The object behind an HFONT.
class Font {
public:
    Font(const LOGFONT& logFont, std::shared_ptr<const FontFace> face, bool antialiased)
        : logFont_(logFont), face_(std::move(face)), antialiased_(antialiased) {}

    const LOGFONT& LogFont() const { return logFont_; }
    const std::shared_ptr<const FontFace>& Face() const { return face_; }
    // Smoothed (blended) glyphs, unless the LOGFONT asked for NONANTIALIASED_QUALITY.
    bool Antialiased() const { return antialiased_; }
    // The cell height in pixels.
    int CellHeight() const;

private:
    LOGFONT logFont_;
    std::shared_ptr<const FontFace> face_;
    bool antialiased_;
};

// A font for `logFont`; nullptr when the height is beyond kMaximumCellHeight
// or the typeface cannot be opened.
std::unique_ptr<Font> CreateFontFromLogFont(const LOGFONT& logFont);

// The font a drawing context uses until another is selected: regular, 12 pixels.
// nullptr when the typeface cannot be opened.
Font* StockFont();

// How many typefaces (cell height and weight) the cache holds.
size_t CachedFontFaceCount();

}  // namespace platform::ui
