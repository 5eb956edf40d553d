#pragma once

// Colours as the drawing calls take them: COLORREF is 0x00BBGGRR, as on
// Windows, while the pixels of a framebuffer are 0x00RRGGBB. The helpers
// convert between the two.

#include <cstdint>

namespace platform::ui {

using COLORREF = uint32_t;

// What GetPixel returns outside the drawable area.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(uint8_t red, uint8_t green, uint8_t blue) {
    return COLORREF{red} | (COLORREF{green} << 8) | (COLORREF{blue} << 16);
}
constexpr uint8_t GetRValue(COLORREF color) { return static_cast<uint8_t>(color & 0xFF); }
constexpr uint8_t GetGValue(COLORREF color) { return static_cast<uint8_t>((color >> 8) & 0xFF); }
constexpr uint8_t GetBValue(COLORREF color) { return static_cast<uint8_t>((color >> 16) & 0xFF); }

// The framebuffer pixel of a COLORREF; the top byte is ignored.
constexpr uint32_t ColorToPixel(COLORREF color) {
    return (uint32_t{GetRValue(color)} << 16) | (uint32_t{GetGValue(color)} << 8) | GetBValue(color);
}

constexpr COLORREF PixelToColor(uint32_t pixel) {
    return RGB(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel));
}

}  // namespace platform::ui
