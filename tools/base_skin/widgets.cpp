#include "tools/base_skin/widgets.h"

#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"

namespace base_skin {

void VerticalGradient(Surface& surface, Rect area, int top, int bottom) {
    for (int row = 0; row < area.height; ++row) {
        surface.HorizontalLine(area.x, area.y + row, area.width, Slate(GradientLevel(top, bottom, row, area.height)));
    }
}

void WindowBody(Surface& surface, Rect area) { VerticalGradient(surface, area, tone::kBodyHigh, tone::kBodyLow); }

void ButtonFace(Surface& surface, Rect area, bool pressed) {
    surface.Outline(area, Slate(tone::kShadow));
    const Rect face = area.Inset(1);
    if (pressed) {
        VerticalGradient(surface, face, tone::kFaceLow - 9, tone::kFaceLow - 4);
        surface.HorizontalLine(face.x, face.y, face.width, Slate(tone::kShadow + 2));
        surface.VerticalLine(face.x, face.y, face.height, Slate(tone::kShadow + 2));
        return;
    }
    VerticalGradient(surface, face, tone::kFaceHigh, tone::kFaceLow);
    surface.HorizontalLine(face.x, face.y, face.width, Slate(tone::kHighlight));
    surface.HorizontalLine(face.x, face.Bottom() - 1, face.width, Slate(tone::kFaceLow - 6));
}

void SunkenWell(Surface& surface, Rect area, int floorLevel) {
    surface.Fill(area, Slate(floorLevel));
    surface.HorizontalLine(area.x, area.y, area.width, Slate(2));
    surface.VerticalLine(area.x, area.y, area.height, Slate(2));
    surface.HorizontalLine(area.x, area.Bottom() - 1, area.width, Slate(tone::kFaceHigh));
    surface.VerticalLine(area.Right() - 1, area.y + 1, area.height - 1, Slate(tone::kFaceLow + 2));
}

void Lamp(Surface& surface, Rect area, bool lit) {
    if (!lit) {
        surface.Fill(area, Slate(3));
        surface.HorizontalLine(area.x, area.Bottom() - 1, area.width, Slate(tone::kFaceLow - 4));
        return;
    }
    surface.Fill(area, Glow(tone::kLitGlow + 4));
}

void ToggleButton(Surface& surface, Rect area, std::string_view label, bool on, bool pressed, bool lamp) {
    ButtonFace(surface, area, pressed);
    const int shift = pressed ? 1 : 0;
    const uint8_t ink = on ? Glow(tone::kLitGlow + 4) : Slate(pressed ? tone::kLabel - 8 : tone::kLabel);
    const int textY = area.y + (area.height - kCapitalHeight) / 2 + shift;
    if (!lamp) {
        DrawTextCentered(surface, {area.x + shift, area.y + shift, area.width, area.height}, label, ink);
        return;
    }
    constexpr int kLampWidth = 3;
    constexpr int kLampGap = 2;
    const int contentWidth = kLampWidth + kLampGap + TextWidth(label);
    const int left = area.x + (area.width - contentWidth) / 2 + shift;
    Lamp(surface, {left, textY, kLampWidth, kCapitalHeight}, on);
    DrawText(surface, left + kLampWidth + kLampGap, textY, label, ink);
}

void Knob(Surface& surface, Rect area, bool pressed, bool horizontal) {
    surface.Outline(area, Slate(tone::kShadow));
    const Rect face = area.Inset(1);
    VerticalGradient(surface, face, pressed ? 52 : 46, pressed ? 42 : 36);
    surface.HorizontalLine(face.x, face.y, face.width, Slate(pressed ? 58 : 52));
    const uint8_t line = pressed ? Glow(58) : Glow(tone::kLitGlow);
    if (horizontal) {
        surface.VerticalLine(area.x + area.width / 2, face.y + 1, face.height - 2, line);
    } else {
        surface.HorizontalLine(face.x + 1, area.y + area.height / 2, face.width - 2, line);
    }
}

void TitleGrooves(Surface& surface, Rect area, bool active) {
    const int middle = area.y + area.height / 2;
    const uint8_t dark = Slate(active ? 8 : 12);
    const uint8_t light = Slate(active ? 36 : 28);
    for (int offset : {-2, 1}) {
        surface.HorizontalLine(area.x, middle + offset, area.width, dark);
        surface.HorizontalLine(area.x, middle + offset + 1, area.width, light);
    }
}

}  // namespace base_skin
