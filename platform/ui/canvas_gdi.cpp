#include "platform/ui/canvas_gdi.h"

namespace platform::ui {

HDC CreateCompatibleDC(HDC) { return new DeviceContext(); }

bool DeleteDC(HDC context) {
    if (context == nullptr) {
        return false;
    }
    delete context;
    return true;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaximumBitmapSide || height > kMaximumBitmapSide ||
        int64_t{width} * height > kMaximumBitmapPixels) {
        return nullptr;
    }
    return new Bitmap(width, height);
}

HBITMAP SHLoadDIBitmap(const std::string& path) { return LoadBmpFile(path).release(); }

HBITMAP LoadDIBitmapFromMemory(std::span<const uint8_t> bytes) { return LoadBmpFromMemory(bytes).release(); }

HFONT CreateFontIndirect(const LOGFONT* logFont) {
    return logFont != nullptr ? CreateFontFromLogFont(*logFont).release() : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) { return new Brush{color}; }

HBITMAP SelectObject(HDC context, HBITMAP bitmap) {
    return context != nullptr ? context->SelectBitmap(bitmap) : nullptr;
}

HFONT SelectObject(HDC context, HFONT font) { return context != nullptr ? context->SelectFont(font) : nullptr; }

bool DeleteObject(HBITMAP bitmap) {
    if (bitmap == nullptr || bitmap->Selections() > 0 || bitmap->IsStock()) {
        return false;
    }
    delete bitmap;
    return true;
}

bool DeleteObject(HFONT font) {
    if (font == nullptr || font == StockFont()) {
        return false;
    }
    delete font;
    return true;
}

bool DeleteObject(HBRUSH brush) {
    if (brush == nullptr) {
        return false;
    }
    delete brush;
    return true;
}

COLORREF SetTextColor(HDC context, COLORREF color) {
    return context != nullptr ? context->SetTextColor(color) : CLR_INVALID;
}

COLORREF SetBkColor(HDC context, COLORREF color) {
    return context != nullptr ? context->SetBkColor(color) : CLR_INVALID;
}

int SetBkMode(HDC context, int mode) { return context != nullptr ? context->SetBkMode(mode) : 0; }

bool StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, uint32_t rasterOperation) {
    if (target == nullptr || source == nullptr) {
        return false;
    }
    return target->StretchBlt(x, y, width, height, *source, sourceX, sourceY, sourceWidth, sourceHeight,
                              rasterOperation);
}

bool BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            uint32_t rasterOperation) {
    if (target == nullptr || source == nullptr) {
        return false;
    }
    return target->BitBlt(x, y, width, height, *source, sourceX, sourceY, rasterOperation);
}

bool FillRect(HDC context, const RECT* rect, HBRUSH brush) {
    if (context == nullptr || rect == nullptr || brush == nullptr) {
        return false;
    }
    return context->FillRect(*rect, brush->color);
}

COLORREF SetPixel(HDC context, int x, int y, COLORREF color) {
    return context != nullptr ? context->SetPixel(x, y, color) : CLR_INVALID;
}

COLORREF GetPixel(HDC context, int x, int y) { return context != nullptr ? context->GetPixel(x, y) : CLR_INVALID; }

bool ExtTextOut(HDC context, int x, int y, uint32_t options, const RECT* rect, std::string_view text) {
    return context != nullptr && context->ExtTextOut(x, y, options, rect, text);
}

int DrawText(HDC context, std::string_view text, RECT* rect, uint32_t format) {
    if (context == nullptr || rect == nullptr) {
        return 0;
    }
    return context->DrawText(text, *rect, format);
}

bool GetTextExtentPoint32(HDC context, std::string_view text, SIZE* size) {
    if (context == nullptr || size == nullptr) {
        return false;
    }
    *size = context->GetTextExtent(text);
    return true;
}

}  // namespace platform::ui
