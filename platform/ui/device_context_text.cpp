// The text calls of the drawing context: ExtTextOut, DrawText and the extent.

#include "platform/ui/device_context.h"
#include "platform/ui/font_face.h"
#include "platform/ui/text_layout.h"

namespace platform::ui {

bool DeviceContext::ExtTextOut(int x, int y, uint32_t options, const Rect* rect, std::string_view text) {
    const Rect clip = Clip();
    Rect textClip = clip;
    if (rect != nullptr) {
        const Rect box = ToTarget(*rect);
        if ((options & ETO_OPAQUE) != 0) {
            target_->Fill(IntersectRects(box, clip), ColorToPixel(backgroundColor_));
            target_->MarkChanged();
        }
        if ((options & ETO_CLIPPED) != 0) {
            textClip = IntersectRects(box, clip);
        }
    }
    const FontFace* face = Face();
    if (face == nullptr) {
        return text.empty();
    }
    const TextLayout layout = LayOutText(*face, text);
    const int left = x + origin_.x;
    const int top = y + origin_.y;
    if (backgroundMode_ == OPAQUE) {
        target_->Fill(IntersectRects(Rect{left, top, left + layout.width, top + layout.height}, textClip),
                      ColorToPixel(backgroundColor_));
    }
    DrawTextLayout(*target_, textClip, left, top, *face, layout, ColorToPixel(textColor_), antialiased_);
    target_->MarkChanged();
    return true;
}

Size DeviceContext::GetTextExtent(std::string_view text) const {
    const FontFace* face = Face();
    if (face == nullptr) {
        return Size{};
    }
    const TextLayout layout = LayOutText(*face, text);
    return Size{layout.width, layout.height};
}

int DeviceContext::DrawText(std::string_view text, Rect& rect, uint32_t format) {
    const Size extent = GetTextExtent(text);
    if ((format & DT_CALCRECT) != 0) {
        rect.right = rect.left + extent.cx;
        rect.bottom = rect.top + extent.cy;
        return extent.cy;
    }
    int x = rect.left;
    if ((format & DT_CENTER) != 0) {
        x = rect.left + (rect.Width() - extent.cx) / 2;
    } else if ((format & DT_RIGHT) != 0) {
        x = rect.right - extent.cx;
    }
    int y = rect.top;
    if ((format & DT_VCENTER) != 0) {
        y = rect.top + (rect.Height() - extent.cy) / 2;
    } else if ((format & DT_BOTTOM) != 0) {
        y = rect.bottom - extent.cy;
    }
    const uint32_t options = (format & DT_NOCLIP) != 0 ? 0 : ETO_CLIPPED;
    return ExtTextOut(x, y, options, &rect, text) ? extent.cy : 0;
}

}  // namespace platform::ui
