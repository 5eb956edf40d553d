// The main window's background and its title bars.

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/title_bar_art.h"
#include "tools/base_skin/widgets.h"
#include "tools/base_skin/window_layout.h"

namespace base_skin {
namespace {

using namespace main_window;

constexpr int kLegendGlow = 30;
constexpr int kDividerGlow = 11;
// The display glass runs from near the left edge to just past the stereo lamp.
constexpr Rect kGlass = {6, 15, kStereo.Right() + 2 - 6, 33};

// The display: a black glass holding the play state and the clock on the
// left and the track's title, rates and channel lamps on the right. Black
// matches the text font's background, so its text boxes sit in the glass
// unseen.
void PaintDisplay(Surface& design) {
    SunkenWell(design, kGlass, 0);
    design.Fill(kGlass.Inset(1), ink::kBlack);

    const int colonX = kDigitLefts[2] + kDigit.width + (kDigitLefts[3] - kDigitLefts[2] - kDigit.width) / 2 - 1;
    design.Fill({colonX, kDigit.y + 2, 2, 2}, Glow(tone::kLitGlow));
    design.Fill({colonX, kDigit.y + 7, 2, 2}, Glow(tone::kLitGlow));

    const int legendTop = kDigit.Bottom() + 3;
    const Rect minutes = {kDigitLefts[0], legendTop, kDigitLefts[2] + kDigit.width - kDigitLefts[0], kCapitalHeight};
    const Rect seconds = {kDigitLefts[3], legendTop, kDigitLefts[4] + kDigit.width - kDigitLefts[3], kCapitalHeight};
    DrawTextCentered(design, minutes, "MIN", Glow(kLegendGlow));
    DrawTextCentered(design, seconds, "SEC", Glow(kLegendGlow));

    const int dividerX = kTitleText.x - 5;
    for (int y = kGlass.y + 3; y < kGlass.Bottom() - 3; y += 2) design.Set(dividerX, y, Glow(kDividerGlow));

    const int legendY = kBitRateText.y + 2;
    DrawText(design, kBitRateText.Right() + 2, legendY, "kbps", Glow(kLegendGlow));
    DrawText(design, kSampleRateText.Right() + 2, legendY, "kHz", Glow(kLegendGlow));
}

// Recessed beds under the buttons, so the rows of buttons read as groups.
void PaintButtonBeds(Surface& design) {
    const auto bed = [&design](Rect first, Rect last) {
        SunkenWell(design, {first.x - 1, first.y - 1, last.Right() - first.x + 2, first.height + 2}, 3);
    };
    bed(kPrevious, kNext);
    bed(kEject, kEject);
    bed(kShuffle, kRepeat);
    bed(kEqualizerToggle, kPlaylistToggle);
    bed(kVolume, kBalance);
    bed(kPositionBar, kPositionBar);
}

}  // namespace

Surface PaintMainBackground() {
    Surface design(kBackground.width, kBackground.height);
    WindowBody(design, {0, 0, design.Width(), design.Height()});
    design.HorizontalLine(0, design.Height() - 1, design.Width(), Slate(tone::kShadow));
    design.Paste(TitleBarDesign("TUNELARK", true, design.Width(), true), 0, 0);
    PaintDisplay(design);
    PaintButtonBeds(design);
    DrawText(design, kVolume.x - 4 - TextWidth("VOL"), kVolume.y + (kVolume.height - kCapitalHeight) / 2, "VOL",
             Slate(tone::kEngraved));
    Surface skin(275, 116);
    PlaceOnSkin(skin, {0, 0, 275, 116}, design);
    return skin;
}

Surface PaintTitleBars() {
    Surface skin(344, 87, Slate(tone::kBodyLow));
    PlaceOnSkin(skin, {27, 0, 275, 14}, TitleBarDesign("TUNELARK", true, kTitleBar.width, true));
    PlaceOnSkin(skin, {27, 15, 275, 14}, TitleBarDesign("TUNELARK", false, kTitleBar.width, true));
    return skin;
}

}  // namespace base_skin
