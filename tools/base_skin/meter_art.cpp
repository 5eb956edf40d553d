// The clock digits, the volume and balance bars and the position bar.

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/widgets.h"
#include "tools/base_skin/window_layout.h"

namespace base_skin {
namespace {

constexpr int kFrames = 28;
constexpr int kFramePitch = 15;
constexpr int kBedFloor = 3;

// Seven segments in a 7 x 11 cell: a (top), b, c (right), d (bottom), e, f
// (left), g (middle). Unlit segments glow faintly, as on a real display.
constexpr Rect kSegments[7] = {
    {1, 0, 5, 2}, {5, 1, 2, 4}, {5, 6, 2, 4}, {1, 9, 5, 2}, {0, 6, 2, 4}, {0, 1, 2, 4}, {1, 5, 5, 1},
};
// Lit segments of 0-9 (bit 0 = a ... bit 6 = g); glyph 10, the blank, has none.
constexpr int kDigitSegments[11] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x00};

Surface DigitDesign(int glyph) {
    Surface design(main_window::kDigit.width, main_window::kDigit.height, ink::kBlack);
    for (int segment = 0; segment < 7; ++segment) {
        if ((kDigitSegments[glyph] & (1 << segment)) == 0) design.Fill(kSegments[segment], Glow(tone::kUnlitGlow - 2));
    }
    for (int segment = 0; segment < 7; ++segment) {
        if ((kDigitSegments[glyph] & (1 << segment)) != 0) design.Fill(kSegments[segment], Glow(tone::kLitGlow));
    }
    return design;
}

// The thumb's centre, in screen pixels from the bar's left edge, for the
// middle volume of `frame`; the player picks frame and thumb from one volume.
int VolumeFillWidth(int frame) {
    const int volume = (frame * 100 + 50) / kFrames;
    const int travel = volume * 54 / 100;
    return 1 + ScreenLength(travel) + main_window::kVolumeThumb.width / 2;
}

// A wedge that rises to the right, lit up to the thumb, brighter when louder.
Surface VolumeDesign(int frame) {
    const Rect screen = main_window::kVolume;
    Surface design(screen.width, screen.height, Slate(kBedFloor));
    const int lit = VolumeFillWidth(frame);
    const int level = GradientLevel(20, 56, frame, kFrames);
    for (int x = 1; x < screen.width - 1; ++x) {
        const int rise = 2 + x * 6 / (screen.width - 2);
        const int bottom = screen.height - 2;
        const bool filled = x < lit;
        design.VerticalLine(x, bottom - rise + 1, rise, filled ? Glow(level) : Slate(12));
        design.Set(x, bottom - rise + 1, filled ? Glow(level + 6) : Slate(17));
    }
    return design;
}

// A level groove with a centre mark; later frames light it outwards from the
// centre and turn warmer. The player shows only frame 0, the centre.
Surface BalanceDesign(int frame) {
    const Rect screen = main_window::kBalance;
    Surface design(screen.width, screen.height, Slate(kBedFloor));
    const int middle = screen.width / 2;
    const Rect groove = {1, screen.height / 2 - 1, screen.width - 2, 3};
    design.Fill(groove, Slate(10));
    const int reach = frame * (middle - 1) / (kFrames - 1);
    const uint8_t fill = frame < kFrames / 2 ? Glow(GradientLevel(24, 48, frame, kFrames / 2))
                                             : Warm(GradientLevel(2, 15, frame - kFrames / 2, kFrames / 2));
    design.Fill({middle - reach, groove.y, 2 * reach + 1, groove.height}, fill);
    design.VerticalLine(middle, 1, screen.height - 2, Slate(40));
    return design;
}

Surface KnobDesign(Rect screen, bool pressed) {
    Surface design(screen.width, screen.height);
    Knob(design, {0, 0, screen.width, screen.height}, pressed, true);
    return design;
}

void PlaceThumbs(Surface& skin) {
    PlaceOnSkin(skin, {0, 422, 14, 11}, KnobDesign(main_window::kVolumeThumb, true));
    PlaceOnSkin(skin, {15, 422, 14, 11}, KnobDesign(main_window::kVolumeThumb, false));
}

Surface PositionBarDesign() {
    const Rect screen = main_window::kPositionBar;
    Surface design(screen.width, screen.height, Slate(kBedFloor));
    SunkenWell(design, {0, 2, screen.width, 5}, 0);
    const int thumbHalf = main_window::kPositionThumb.width / 2;
    const int travel = screen.width - main_window::kPositionThumb.width;
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const int x = thumbHalf + travel * quarter / 4;
        design.Set(x, 0, Slate(22));
        design.Set(x, screen.height - 1, Slate(22));
    }
    return design;
}

}  // namespace

Surface PaintDigits() {
    Surface skin(99, 13, ink::kBlack);
    for (int glyph = 0; glyph <= 10; ++glyph) PlaceOnSkin(skin, {9 * glyph, 0, 9, 13}, DigitDesign(glyph));
    return skin;
}

Surface PaintVolumeBar() {
    Surface skin(68, 433, Slate(tone::kBodyLow));
    for (int frame = 0; frame < kFrames; ++frame) {
        PlaceOnSkin(skin, {0, kFramePitch * frame, 68, 13}, VolumeDesign(frame));
    }
    PlaceThumbs(skin);
    return skin;
}

Surface PaintBalanceBar() {
    Surface skin(68, 433, Slate(tone::kBodyLow));
    for (int frame = 0; frame < kFrames; ++frame) {
        skin.Fill({0, kFramePitch * frame, 68, 13}, Slate(kBedFloor));
        PlaceOnSkin(skin, {9, kFramePitch * frame, 38, 13}, BalanceDesign(frame));
    }
    PlaceThumbs(skin);
    return skin;
}

Surface PaintPositionBar() {
    Surface skin(307, 10, Slate(tone::kBodyLow));
    PlaceOnSkin(skin, {0, 0, 248, 10}, PositionBarDesign());
    PlaceOnSkin(skin, {248, 0, 29, 10}, KnobDesign(main_window::kPositionThumb, false));
    PlaceOnSkin(skin, {278, 0, 29, 10}, KnobDesign(main_window::kPositionThumb, true));
    return skin;
}

}  // namespace base_skin
