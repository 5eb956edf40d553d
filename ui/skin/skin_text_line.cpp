#include "ui/skin/skin_text_line.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/search_fold.h"
#include "platform/utf8.h"
#include "ui/skin/skin.h"
#include "ui/skin/skin_font.h"

using namespace platform::ui;

namespace {

// Far more than any box shows, and short enough that even a line of wide
// system-font characters stays within a bitmap's largest side.
constexpr size_t kMostCharacters = 1000;

struct TextColors {
    COLORREF text = 0;
    COLORREF background = 0;
};

// A stretch of the line: one glyph of the bitmap font, or system-font text.
struct Piece {
    std::optional<SkinGlyphCell> glyph;
    std::string text;
    int width = 0;
};

int ColorDistance(COLORREF a, COLORREF b) {
    const auto channel = [](COLORREF color, int shift) { return static_cast<int>((color >> shift) & 0xFF); };
    int distance = 0;
    for (int shift : {0, 8, 16}) distance += std::abs(channel(a, shift) - channel(b, shift));
    return distance;
}

// The font bitmap's own colours: its background is that of the space, its
// ink the capitals' pixel furthest from it. System-font characters take
// them, so that they match the glyphs around them.
TextColors FontColors(HDC font) {
    const SkinGlyphCell space = *SkinGlyphOf(U' ');
    TextColors colors{0, GetPixel(font, space.column * kSkinGlyphWidth, space.row * kSkinGlyphHeight)};
    colors.text = colors.background;
    for (int y = 0; y < kSkinGlyphHeight; ++y) {
        for (int x = 0; x < 26 * kSkinGlyphWidth; ++x) {
            const COLORREF pixel = GetPixel(font, x, y);
            if (ColorDistance(pixel, colors.background) > ColorDistance(colors.text, colors.background)) {
                colors.text = pixel;
            }
        }
    }
    return colors;
}

// The glyphs that draw one character: its own, else those of the plain
// letters it folds to (é as E, æ as AE, a combining accent as nothing);
// nothing when the font lacks them too.
std::optional<std::vector<SkinGlyphCell>> GlyphsOf(std::string_view character) {
    size_t index = 0;
    if (const std::optional<SkinGlyphCell> glyph = SkinGlyphOf(platform::NextCodePoint(character, index))) {
        return std::vector<SkinGlyphCell>{*glyph};
    }
    std::vector<SkinGlyphCell> glyphs;
    const std::string folded = platform::SearchFold(character);
    for (size_t at = 0; at < folded.size();) {
        const std::optional<SkinGlyphCell> glyph = SkinGlyphOf(platform::NextCodePoint(folded, at));
        if (!glyph) return std::nullopt;
        glyphs.push_back(*glyph);
    }
    return glyphs;
}

std::vector<Piece> SplitIntoPieces(std::string_view text, bool withFont) {
    std::vector<Piece> pieces;
    size_t characters = 0;
    for (size_t index = 0; index < text.size() && characters < kMostCharacters; ++characters) {
        const size_t start = index;
        platform::NextCodePoint(text, index);
        const std::string_view character = text.substr(start, index - start);
        const std::optional<std::vector<SkinGlyphCell>> glyphs = withFont ? GlyphsOf(character) : std::nullopt;
        if (glyphs) {
            for (const SkinGlyphCell& glyph : *glyphs) pieces.push_back({glyph, {}, 0});
            continue;
        }
        if (pieces.empty() || pieces.back().glyph) pieces.push_back({});
        pieces.back().text.append(character);
    }
    return pieces;
}

}  // namespace

SkinTextLine::~SkinTextLine() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

int PitchToFit(size_t characters, int width) {
    const bool fits = characters * kSkinGlyphWidth <= static_cast<size_t>(std::max(width, 0));
    return fits ? kSkinGlyphWidth : kSkinGlyphWidth - 1;
}

void SkinTextLine::Render(std::string_view text, const SkinTextStyle& style) {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = 0;
    height_ = style.height;

    HDC font = CreateCompatibleDC(nullptr);
    HDC line = CreateCompatibleDC(nullptr);
    const bool withFont = g_skin.TextBmp != nullptr && SelectObject(font, g_skin.TextBmp) != nullptr;
    const TextColors colors = withFont ? FontColors(font) : TextColors{g_skin.NormalColor, g_skin.NormalBgColor};
    background_ = colors.background;

    LOGFONT logFont;
    logFont.lfHeight = style.fontHeight;
    logFont.lfCharSet = JOHAB_CHARSET;
    HFONT systemFont = CreateFontIndirect(&logFont);
    SelectObject(line, systemFont);

    std::vector<Piece> pieces = SplitIntoPieces(text, withFont);
    for (Piece& piece : pieces) {
        SIZE extent;
        piece.width = piece.glyph ? style.pitch : GetTextExtentPoint32(line, piece.text, &extent) ? extent.cx : 0;
        width_ += piece.width;
    }
    bitmap_ = width_ > 0 && height_ > 0 ? CreateCompatibleBitmap(nullptr, width_, height_) : nullptr;
    if (bitmap_ == nullptr || SelectObject(line, bitmap_) == nullptr) {
        width_ = 0;
    } else {
        SetTextColor(line, colors.text);
        SetBkColor(line, colors.background);
        const RECT whole{0, 0, width_, height_};
        ExtTextOut(line, 0, 0, ETO_OPAQUE, &whole, {});
        int x = 0;
        for (const Piece& piece : pieces) {
            if (piece.glyph) {
                BitBlt(line, x, style.glyphTop, std::min(piece.width, kSkinGlyphWidth), kSkinGlyphHeight, font,
                       piece.glyph->column * kSkinGlyphWidth, piece.glyph->row * kSkinGlyphHeight, SRCCOPY);
            } else {
                const RECT area{x, 0, x + piece.width, height_};
                ExtTextOut(line, x, style.fontTop, ETO_OPAQUE | ETO_CLIPPED, &area, piece.text);
            }
            x += piece.width;
        }
    }
    DeleteDC(line);
    DeleteDC(font);
    DeleteObject(systemFont);
}

bool SkinTextLine::Copy(HDC target, int x, int y, int width, int sourceX) const {
    HDC line = CreateCompatibleDC(target);
    if (line == nullptr) return false;
    const bool copied = SelectObject(line, bitmap_) != nullptr && BitBlt(target, x, y, width, height_, line, sourceX, 0, SRCCOPY);
    DeleteDC(line);
    return copied;
}

void SkinTextLine::Fill(HDC target, const RECT& area) const {
    if (area.right <= area.left) return;
    HBRUSH brush = CreateSolidBrush(background_);
    FillRect(target, &area, brush);
    DeleteObject(brush);
}

bool SkinTextLine::DrawScrolled(HDC target, const RECT& box, int offset) const {
    if (target == nullptr) return false;
    if (width_ <= 0) {
        Fill(target, box);
        return true;
    }
    offset %= width_;
    bool copied = true;
    for (int x = box.left; x < box.right; offset = 0) {
        const int width = std::min(width_ - offset, box.right - x);
        copied = Copy(target, x, box.top, width, offset) && copied;
        x += width;
    }
    return copied;
}

bool SkinTextLine::DrawAligned(HDC target, const RECT& box, bool rightAligned) const {
    if (target == nullptr) return false;
    const int width = rightAligned ? width_ : std::min(width_, box.Width());
    const int left = rightAligned ? box.right - width : box.left;
    if (rightAligned) {
        Fill(target, {box.left, box.top, left, box.bottom});
    } else {
        Fill(target, {left + width, box.top, box.right, box.bottom});
    }
    return width <= 0 || Copy(target, left, box.top, width, 0);
}
