// The equalizer window: background, title bars, buttons, slider bars and knob.

#include <string_view>

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/title_bar_art.h"
#include "tools/base_skin/widgets.h"
#include "tools/base_skin/window_layout.h"

namespace base_skin {
namespace {

using namespace equalizer_window;

constexpr int kFrames = 28;
constexpr int kPanelFloor = 8;
// The bands' centre frequencies in kHz at 44.1 kHz: band 1 is the lowest MPEG
// subband, band 10 the top twelve.
constexpr std::string_view kBandLabels[kEqualizerBands] = {"0.3", "1",   "1.7", "2.4", "3.1",
                                                           "3.8", "4.8", "6.9", "11",  "18"};
constexpr Rect kGroove = {3, 1, 5, 53};

int ThumbCentre(int percent) { return SliderThumbTop(percent) - kSliderBar.y + kSliderThumb.height / 2; }

// A frame of a slider bar: a groove lit from the bottom up to the knob's
// centre, in a brighter green the higher the slider stands.
Surface SliderBarDesign(int frame) {
    Surface design(kSliderBar.width, kSliderBar.height, Slate(kPanelFloor));
    SunkenWell(design, kGroove, 0);
    const int percent = (frame * 100 + 50) / kFrames;
    const int top = ThumbCentre(percent);
    const Rect floor = kGroove.Inset(1);
    design.Fill({floor.x, top, floor.width, floor.Bottom() - top}, Glow(GradientLevel(20, 54, frame, kFrames)));
    const int zeroDecibels = ThumbCentre(50);
    design.HorizontalLine(0, zeroDecibels, 2, Slate(30));
    design.HorizontalLine(kSliderBar.width - 2, zeroDecibels, 2, Slate(30));
    return design;
}

Surface ButtonDesign(Rect screen, std::string_view label, bool on, bool pressed, bool lamp) {
    Surface design(screen.width, screen.height);
    ToggleButton(design, {0, 0, screen.width, screen.height}, label, on, pressed, lamp);
    return design;
}

void PaintSliderPanel(Surface& design) {
    const Rect panel = {6, kSliderBar.y - 4, design.Width() - 12, design.Height() - kSliderBar.y + 2};
    SunkenWell(design, panel, kPanelFloor);

    const int firstBand = ScreenLength(BandSliderColumn(0));
    const int lastBandEnd = ScreenLength(BandSliderColumn(kEqualizerBands - 1)) + kSliderBar.width;
    const struct {
        int percent;
        std::string_view label;
    } marks[] = {{100, "+20"}, {50, "0"}, {0, "-20"}};
    for (const auto& mark : marks) {
        const int y = kSliderBar.y + ThumbCentre(mark.percent);
        for (int x = firstBand - 2; x < lastBandEnd + 2; x += 2) design.Set(x, y, Slate(18));
        DrawText(design, firstBand - 4 - TextWidth(mark.label), y - 2, mark.label, Slate(tone::kEngraved + 6));
    }

    const int labelTop = kSliderBar.Bottom() + 2;
    const auto labelUnder = [&](int skinColumn, std::string_view label) {
        DrawTextCentered(design, {ScreenLength(skinColumn), labelTop, kSliderBar.width - 1, kCapitalHeight}, label,
                         Slate(tone::kLabel));
    };
    labelUnder(kPreampSliderColumn, "PREAMP");
    DrawText(design, firstBand - 4 - TextWidth("KHZ"), labelTop, "KHZ", Slate(tone::kEngraved + 6));
    for (int band = 0; band < kEqualizerBands; ++band) labelUnder(BandSliderColumn(band), kBandLabels[band]);
}

Surface BackgroundDesign() {
    Surface design(kBackground.width, kBackground.height);
    WindowBody(design, {0, 0, design.Width(), design.Height()});
    design.HorizontalLine(0, design.Height() - 1, design.Width(), Slate(tone::kShadow));
    design.Paste(TitleBarDesign("EQUALIZER", true, design.Width(), false), 0, 0);

    const auto bed = [&design](Rect first, Rect last) {
        SunkenWell(design, {first.x - 1, first.y - 1, last.Right() - first.x + 2, first.height + 2}, 3);
    };
    bed(kOnButton, kAutoButton);
    bed(kPresetsButton, kPresetsButton);
    const int grooveLeft = kAutoButton.Right() + 6;
    TitleGrooves(design, {grooveLeft, kOnButton.y, kPresetsButton.x - 6 - grooveLeft, kOnButton.height}, true);
    PaintSliderPanel(design);
    return design;
}

Surface KnobDesign(bool pressed) {
    Surface design(kSliderThumb.width, kSliderThumb.height);
    Knob(design, {0, 0, kSliderThumb.width, kSliderThumb.height}, pressed, false);
    return design;
}

}  // namespace

Surface PaintEqualizer() {
    Surface skin(275, 315, Slate(tone::kBodyLow));
    PlaceOnSkin(skin, {0, 0, 275, 116}, BackgroundDesign());
    PlaceOnSkin(skin, {0, 134, 275, 14}, TitleBarDesign("EQUALIZER", true, kTitleBar.width, false));
    PlaceOnSkin(skin, {0, 149, 275, 14}, TitleBarDesign("EQUALIZER", false, kTitleBar.width, false));

    // Off, on, off pressed, on pressed, from left to right.
    const int onColumns[] = {10, 69, 128, 187};
    const int autoColumns[] = {35, 94, 153, 212};
    for (int state = 0; state < 4; ++state) {
        const bool on = state % 2 == 1;
        const bool pressed = state >= 2;
        PlaceOnSkin(skin, {onColumns[state], 119, 24, 12}, ButtonDesign(kOnButton, "ON", on, pressed, true));
        PlaceOnSkin(skin, {autoColumns[state], 119, 33, 12}, ButtonDesign(kAutoButton, "AUTO", on, pressed, true));
    }
    PlaceOnSkin(skin, {224, 164, 44, 12}, ButtonDesign(kPresetsButton, "PRESETS", false, false, false));
    PlaceOnSkin(skin, {224, 176, 44, 12}, ButtonDesign(kPresetsButton, "PRESETS", false, true, false));

    for (int frame = 0; frame < kFrames; ++frame) {
        const int column = frame < 14 ? 13 + 15 * frame : 13 + 15 * (frame - 14);
        const int row = frame < 14 ? 164 : 229;
        PlaceOnSkin(skin, {column, row, 14, 64}, SliderBarDesign(frame));
    }
    PlaceOnSkin(skin, {0, 164, 11, 11}, KnobDesign(false));
    PlaceOnSkin(skin, {0, 176, 11, 11}, KnobDesign(true));
    return skin;
}

}  // namespace base_skin
