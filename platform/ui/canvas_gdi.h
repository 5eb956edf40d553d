#pragma once

// The GDI calls of the player under their Windows names, over the drawing
// context, bitmap and font objects. Handles are plain pointers; whoever
// creates one deletes it (DeleteDC, DeleteObject), as on Windows.
//
// Implements: CreateCompatibleDC, DeleteDC, CreateCompatibleBitmap,
// SHLoadDIBitmap (a BMP file) and LoadDIBitmapFromMemory (an embedded BMP),
// CreateFontIndirect, CreateSolidBrush, SelectObject for bitmaps and fonts,
// DeleteObject, SetTextColor, SetBkColor, SetBkMode, StretchBlt,
// BitBlt, FillRect, SetPixel, GetPixel, ExtTextOut, DrawText and
// GetTextExtentPoint32. A call on a null context fails as it would on Windows.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ui/bitmap.h"
#include "platform/ui/device_context.h"
#include "platform/ui/font.h"

namespace platform::ui {

// The object behind an HBRUSH: FillRect's colour.
struct Brush {
    COLORREF color = 0;
};

using HDC = DeviceContext*;
using HBITMAP = Bitmap*;
using HFONT = Font*;
using HBRUSH = Brush*;
using RECT = Rect;
using SIZE = Size;

HDC CreateCompatibleDC(HDC reference);
bool DeleteDC(HDC context);

// A black bitmap; nullptr for a size out of range.
HBITMAP CreateCompatibleBitmap(HDC reference, int width, int height);
// A BMP file, path in UTF-8; nullptr when it cannot be read.
HBITMAP SHLoadDIBitmap(const std::string& path);
// A BMP image in memory (an embedded resource); nullptr when it cannot be read.
HBITMAP LoadDIBitmapFromMemory(std::span<const uint8_t> bytes);
HFONT CreateFontIndirect(const LOGFONT* logFont);
HBRUSH CreateSolidBrush(COLORREF color);

// The object replaced, or nullptr (nothing changed) on failure.
HBITMAP SelectObject(HDC context, HBITMAP bitmap);
HFONT SelectObject(HDC context, HFONT font);

// False for a bitmap still selected into a context or a stock bitmap, which
// stay. A font may be deleted while selected: the context keeps its typeface.
bool DeleteObject(HBITMAP bitmap);
bool DeleteObject(HFONT font);
bool DeleteObject(HBRUSH brush);

COLORREF SetTextColor(HDC context, COLORREF color);
COLORREF SetBkColor(HDC context, COLORREF color);
int SetBkMode(HDC context, int mode);

bool StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, uint32_t rasterOperation);
bool BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            uint32_t rasterOperation);
bool FillRect(HDC context, const RECT* rect, HBRUSH brush);
COLORREF SetPixel(HDC context, int x, int y, COLORREF color);
COLORREF GetPixel(HDC context, int x, int y);

bool ExtTextOut(HDC context, int x, int y, uint32_t options, const RECT* rect, std::string_view text);
int DrawText(HDC context, std::string_view text, RECT* rect, uint32_t format);
bool GetTextExtentPoint32(HDC context, std::string_view text, SIZE* size);

}  // namespace platform::ui
