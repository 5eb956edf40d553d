// The transport buttons, the toggles and the channel lamps of the main window.

#include <string_view>

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/symbols.h"
#include "tools/base_skin/widgets.h"
#include "tools/base_skin/window_layout.h"

namespace base_skin {
namespace {

Surface TransportDesign(int width, int height, Symbol symbol, bool pressed) {
    Surface design(width, height);
    const Rect face = {0, 0, width, height};
    ButtonFace(design, face, pressed);
    const int shift = pressed ? 1 : 0;
    const uint8_t ink = pressed ? Glow(tone::kLitGlow) : Slate(tone::kLabel + 4);
    DrawSymbol(design, {shift, shift, width, height - 1}, symbol, ink);
    return design;
}

struct TransportButton {
    Symbol symbol;
    Rect normal;  // skin rectangle; the pressed picture lies `pressedDrop` lower
    int pressedDrop;
    Rect screen;
};

Surface ToggleDesign(Rect screen, std::string_view label, bool on, bool pressed) {
    Surface design(screen.width, screen.height);
    ToggleButton(design, {0, 0, screen.width, screen.height}, label, on, pressed);
    return design;
}

// The four pictures of a toggle in the order the skin file keeps them.
struct ToggleStates {
    Rect off;
    Rect offPressed;
    Rect on;
    Rect onPressed;
};

void PlaceToggle(Surface& skin, const ToggleStates& states, Rect screen, std::string_view label) {
    PlaceOnSkin(skin, states.off, ToggleDesign(screen, label, false, false));
    PlaceOnSkin(skin, states.offPressed, ToggleDesign(screen, label, false, true));
    PlaceOnSkin(skin, states.on, ToggleDesign(screen, label, true, false));
    PlaceOnSkin(skin, states.onPressed, ToggleDesign(screen, label, true, true));
}

Surface ChannelLampDesign(Rect screen, std::string_view label, bool lit) {
    Surface design(screen.width, screen.height, ink::kBlack);
    DrawTextCentered(design, {0, 0, screen.width, screen.height}, label,
                     lit ? Glow(tone::kLitGlow) : Glow(tone::kUnlitGlow + 3));
    return design;
}

}  // namespace

Surface PaintControlButtons() {
    using namespace main_window;
    const TransportButton buttons[] = {
        {Symbol::Previous, {0, 0, 23, 18}, 18, kPrevious}, {Symbol::Play, {23, 0, 23, 18}, 18, kPlay},
        {Symbol::Pause, {46, 0, 23, 18}, 18, kPause},       {Symbol::Stop, {69, 0, 23, 18}, 18, kStop},
        {Symbol::Next, {92, 0, 22, 18}, 18, kNext},         {Symbol::Eject, {114, 0, 22, 16}, 16, kEject},
    };
    Surface skin(136, 36, Slate(tone::kBodyLow));
    for (const TransportButton& button : buttons) {
        for (bool pressed : {false, true}) {
            Rect area = button.normal;
            if (pressed) area.y += button.pressedDrop;
            PlaceOnSkin(skin, area, TransportDesign(button.screen.width, button.screen.height, button.symbol, pressed));
        }
    }
    return skin;
}

Surface PaintPreviousButtonPicture() { return TransportDesign(22, 18, Symbol::Previous, false); }

Surface PaintNextButtonPicture() { return TransportDesign(22, 18, Symbol::Next, false); }

// Small play, pause and stop marks, nine pixels square, and two state cells;
// the player keeps this file but draws none of it.
Surface PaintPlayStateIcons() {
    Surface skin(42, 9, ink::kBlack);
    DrawSymbol(skin, {0, 0, 9, 9}, Symbol::Play, Glow(tone::kLitGlow));
    DrawSymbol(skin, {9, 0, 9, 9}, Symbol::Pause, Glow(30));
    skin.Fill({20, 2, 5, 5}, Glow(30));
    skin.Fill({28, 3, 2, 3}, Glow(tone::kUnlitGlow));
    skin.Fill({37, 3, 2, 3}, Glow(tone::kLitGlow));
    return skin;
}

Surface PaintToggleButtons() {
    using namespace main_window;
    Surface skin(92, 85, Slate(tone::kBodyLow));
    PlaceToggle(skin, {{0, 0, 28, 15}, {0, 15, 28, 15}, {0, 30, 28, 15}, {0, 45, 28, 15}}, kRepeat, "REP");
    PlaceToggle(skin, {{28, 0, 47, 15}, {28, 15, 47, 15}, {28, 30, 47, 15}, {28, 45, 47, 15}}, kShuffle, "SHUFFLE");
    PlaceToggle(skin, {{0, 61, 23, 12}, {46, 61, 23, 12}, {0, 73, 23, 12}, {46, 73, 23, 12}}, kEqualizerToggle, "EQ");
    PlaceToggle(skin, {{23, 61, 23, 12}, {69, 61, 23, 12}, {23, 73, 23, 12}, {69, 73, 23, 12}}, kPlaylistToggle, "PL");
    return skin;
}

Surface PaintChannelIndicators() {
    using namespace main_window;
    Surface skin(58, 24, ink::kBlack);
    PlaceOnSkin(skin, {0, 0, 29, 12}, ChannelLampDesign(kStereo, "STEREO", true));
    PlaceOnSkin(skin, {0, 12, 29, 12}, ChannelLampDesign(kStereo, "STEREO", false));
    PlaceOnSkin(skin, {29, 0, 27, 12}, ChannelLampDesign(kMono, "MONO", true));
    PlaceOnSkin(skin, {29, 12, 27, 12}, ChannelLampDesign(kMono, "MONO", false));
    return skin;
}

}  // namespace base_skin
