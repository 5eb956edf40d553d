#pragma once

// The drawing context (what GDI calls a DC) the player's windows draw with.
//
// Implements:
//   - a context over the screen framebuffer with an origin (where the
//     window's logical (0, 0) lies on the screen) and a clip rectangle (the
//     window's area), both in framebuffer pixels;
//   - memory contexts: a stock 1 x 1 bitmap until a bitmap is selected, then
//     drawing from and into that bitmap (SelectObject returns the previous one);
//   - the selected font, text and background colours (COLORREF) and the
//     background mode, with Windows' defaults (black on white, OPAQUE);
//   - StretchBlt and BitBlt with SRCCOPY (nearest neighbour, canvas_stretch.h),
//     FillRect, SetPixel and GetPixel;
//   - ExtTextOut with ETO_OPAQUE and ETO_CLIPPED, DrawText on one line, and
//     the text extent for measuring.
// All drawing happens on the user-interface thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/bitmap.h"
#include "platform/ui/colors.h"
#include "platform/ui/font.h"
#include "platform/ui/framebuffer.h"

namespace platform::ui {

class FontFace;

constexpr uint32_t SRCCOPY = 0x00CC0020;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// ExtTextOut options.
constexpr uint32_t ETO_OPAQUE = 0x0002;
constexpr uint32_t ETO_CLIPPED = 0x0004;

// DrawText formats (one line: DT_SINGLELINE is implied).
constexpr uint32_t DT_LEFT = 0x0000;
constexpr uint32_t DT_CENTER = 0x0001;
constexpr uint32_t DT_RIGHT = 0x0002;
constexpr uint32_t DT_VCENTER = 0x0004;
constexpr uint32_t DT_BOTTOM = 0x0008;
constexpr uint32_t DT_SINGLELINE = 0x0020;
constexpr uint32_t DT_NOCLIP = 0x0100;
constexpr uint32_t DT_CALCRECT = 0x0400;

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

class DeviceContext {
public:
    // A context drawing on `target`: logical (0, 0) is `origin` and nothing
    // is drawn outside `clip` (both in target pixels). The target must
    // outlive the context.
    DeviceContext(Framebuffer& target, Point origin, Rect clip);
    // A memory context (CreateCompatibleDC).
    DeviceContext();
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    bool IsMemory() const { return stockBitmap_ != nullptr; }
    // The pixels drawn on: the screen, or the selected bitmap's.
    Framebuffer& Target() const { return *target_; }
    Point Origin() const { return origin_; }
    void SetOrigin(Point origin) { origin_ = origin; }
    // The clip in target pixels; a memory context clips to its bitmap.
    Rect Clip() const;
    void SetClip(Rect clip) { clip_ = clip; }

    // Memory contexts only: selects `bitmap` and returns the one it replaces;
    // nullptr (nothing changes) for a null bitmap, a screen context, or a
    // bitmap that another context has selected.
    Bitmap* SelectBitmap(Bitmap* bitmap);
    Bitmap* SelectedBitmap() const { return selectedBitmap_; }
    // Selects `font` and returns the one it replaces; nullptr for a null font.
    Font* SelectFont(Font* font);
    Font* SelectedFont() const { return font_; }

    COLORREF SetTextColor(COLORREF color);
    COLORREF TextColor() const { return textColor_; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF BkColor() const { return backgroundColor_; }
    // TRANSPARENT or OPAQUE; returns the previous mode, 0 for another value.
    int SetBkMode(int mode);
    int BkMode() const { return backgroundMode_; }

    // Logical coordinates in both contexts. Only SRCCOPY is supported.
    bool StretchBlt(int x, int y, int width, int height, const DeviceContext& source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, uint32_t rasterOperation);
    bool BitBlt(int x, int y, int width, int height, const DeviceContext& source, int sourceX, int sourceY,
                uint32_t rasterOperation);
    // Fills `rect` (right and bottom excluded) with `color`.
    bool FillRect(const Rect& rect, COLORREF color);
    COLORREF SetPixel(int x, int y, COLORREF color);
    // CLR_INVALID outside the clip.
    COLORREF GetPixel(int x, int y) const;

    // Writes `text` (UTF-8) with its cell's top-left corner at (x, y).
    // ETO_OPAQUE fills `rect` with the background colour first; ETO_CLIPPED
    // keeps the text inside `rect`. In OPAQUE mode the text's own cell is
    // filled with the background colour too. False when nothing can be drawn.
    bool ExtTextOut(int x, int y, uint32_t options, const Rect* rect, std::string_view text);
    // The width of `text` and the cell height of the selected font.
    Size GetTextExtent(std::string_view text) const;
    // One line of text aligned in `rect` (DT_LEFT, DT_CENTER, DT_RIGHT,
    // DT_VCENTER, DT_BOTTOM) and clipped to it unless DT_NOCLIP. DT_CALCRECT
    // only sets rect's right and bottom to fit the text. Returns the text height.
    int DrawText(std::string_view text, Rect& rect, uint32_t format);

private:
    const FontFace* Face() const;
    Rect ToTarget(Rect logical) const { return MovedRect(logical, origin_.x, origin_.y); }

    Framebuffer* target_ = nullptr;
    Point origin_;
    std::optional<Rect> clip_;  // none: the whole target
    std::unique_ptr<Bitmap> stockBitmap_;  // memory contexts only
    Bitmap* selectedBitmap_ = nullptr;
    Font* font_ = nullptr;
    // The face of the selected font, held so that text still draws if the
    // font handle is deleted while selected.
    std::shared_ptr<const FontFace> face_;
    bool antialiased_ = true;  // of the selected font, copied for the same reason
    COLORREF textColor_ = RGB(0, 0, 0);
    COLORREF backgroundColor_ = RGB(255, 255, 255);
    int backgroundMode_ = OPAQUE;
};

}  // namespace platform::ui
