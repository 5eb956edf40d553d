#include "platform/ui/device_context.h"

#include "platform/ui/canvas_stretch.h"
#include "platform/ui/font_face.h"

#include <utility>

namespace platform::ui {

DeviceContext::DeviceContext(Framebuffer& target, Point origin, Rect clip)
    : target_(&target), origin_(origin), clip_(clip) {
    SelectFont(StockFont());
}

DeviceContext::DeviceContext() : stockBitmap_(std::make_unique<Bitmap>(1, 1)) {
    stockBitmap_->stock_ = true;
    selectedBitmap_ = stockBitmap_.get();
    selectedBitmap_->selections_ += 1;
    target_ = &selectedBitmap_->Image();
    SelectFont(StockFont());
}

DeviceContext::~DeviceContext() {
    if (selectedBitmap_ != nullptr) {
        selectedBitmap_->selections_ -= 1;
    }
}

Rect DeviceContext::Clip() const {
    const Rect bounds = target_->Bounds();
    return clip_ ? IntersectRects(*clip_, bounds) : bounds;
}

Bitmap* DeviceContext::SelectBitmap(Bitmap* bitmap) {
    if (bitmap == nullptr || !IsMemory() || (bitmap->selections_ > 0 && bitmap != selectedBitmap_)) {
        return nullptr;
    }
    Bitmap* previous = selectedBitmap_;
    previous->selections_ -= 1;
    bitmap->selections_ += 1;
    selectedBitmap_ = bitmap;
    target_ = &bitmap->Image();
    return previous;
}

Font* DeviceContext::SelectFont(Font* font) {
    if (font == nullptr) {
        return nullptr;
    }
    Font* previous = font_;
    font_ = font;
    face_ = font->Face();
    antialiased_ = font->Antialiased();
    return previous;
}

COLORREF DeviceContext::SetTextColor(COLORREF color) { return std::exchange(textColor_, color); }

COLORREF DeviceContext::SetBkColor(COLORREF color) { return std::exchange(backgroundColor_, color); }

int DeviceContext::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return std::exchange(backgroundMode_, mode);
}

bool DeviceContext::StretchBlt(int x, int y, int width, int height, const DeviceContext& source, int sourceX,
                               int sourceY, int sourceWidth, int sourceHeight, uint32_t rasterOperation) {
    if (rasterOperation != SRCCOPY) {
        return false;
    }
    const BlitArea destination{x + origin_.x, y + origin_.y, width, height};
    const BlitArea from{sourceX + source.origin_.x, sourceY + source.origin_.y, sourceWidth, sourceHeight};
    const bool copied = StretchCopy(*target_, Clip(), destination, *source.target_, from);
    if (copied) {
        target_->MarkChanged();
    }
    return copied;
}

bool DeviceContext::BitBlt(int x, int y, int width, int height, const DeviceContext& source, int sourceX, int sourceY,
                           uint32_t rasterOperation) {
    return StretchBlt(x, y, width, height, source, sourceX, sourceY, width, height, rasterOperation);
}

bool DeviceContext::FillRect(const Rect& rect, COLORREF color) {
    target_->Fill(IntersectRects(ToTarget(rect), Clip()), ColorToPixel(color));
    target_->MarkChanged();
    return true;
}

COLORREF DeviceContext::SetPixel(int x, int y, COLORREF color) {
    const Point at{x + origin_.x, y + origin_.y};
    if (!Clip().Contains(at)) {
        return CLR_INVALID;
    }
    target_->SetPixel(at.x, at.y, ColorToPixel(color));
    target_->MarkChanged();
    return PixelToColor(ColorToPixel(color));
}

COLORREF DeviceContext::GetPixel(int x, int y) const {
    const Point at{x + origin_.x, y + origin_.y};
    if (!Clip().Contains(at)) {
        return CLR_INVALID;
    }
    return PixelToColor(target_->Pixel(at.x, at.y));
}

const FontFace* DeviceContext::Face() const { return face_.get(); }

}  // namespace platform::ui
