#include "ui/skin/main_placements.h"

#include <algorithm>
#include <string>

#include "ui/skin/skin.h"

namespace {

using namespace main_placement;

constexpr int kBlankGlyph = 10;
constexpr int kTextFontHeight = 12;
constexpr int kBalanceCentre = 12;

int Scaled(int length) { return ScaleToScreen(length); }

// A thumb sits `offset` skin units along its bar, one pixel in and one
// scaled unit down.
SpriteAdjustment BarThumbAdjustment(int offset) { return {Scaled(offset) + 1, Scaled(1), 0, 0}; }

SkinTextBox TextBox(const TextPlacement& text) {
    return SkinTextBox{Scaled(text.x), Scaled(text.y), text.width, text.height, 0, text.textDy, 0, kTextBoxDy};
}

}  // namespace

std::array<int, 5> ClockGlyphs(int64_t elapsedSeconds) {
    int64_t minutes = elapsedSeconds / 60;
    // From 1000 minutes on the first place has no glyph (10 is the blank, and
    // 11 or more draws nothing); the cap only keeps huge times in an int.
    int64_t hundreds = std::min<int64_t>(minutes / 100, kBlankGlyph + 1);
    return {hundreds == 0 ? kBlankGlyph : static_cast<int>(hundreds),
            static_cast<int>(minutes % 100 / 10), static_cast<int>(minutes % 10),
            static_cast<int>(elapsedSeconds % 60 / 10), static_cast<int>(elapsedSeconds % 10)};
}

int VolumeFrame(int volume) { return volume * 28 / 100; }

int VolumeThumbOffset(int volume) { return std::clamp(volume * 54 / 100, 0, 53); }

int PositionThumbOffset(int permille) { return std::clamp(static_cast<int>(int64_t{permille} * 219 / 1000), 0, 218); }

bool PaintMainBackground(HDC target) {
    return DrawMainBackground(target, Scaled(kBackground.x), Scaled(kBackground.y), kBackground.adjustment);
}

bool PaintMainTitleBar(HDC target) {
    return DrawMainTitleBar(target, Scaled(kTitleBar.x), Scaled(kTitleBar.y), TitleBarState::Active);
}

bool PaintTransportButton(HDC target, TransportButton button, bool pressed) {
    const SpritePlacement& placement = kTransportButtons.at(static_cast<size_t>(button));
    return DrawTransportButton(target, button, Scaled(placement.x), Scaled(placement.y),
                               pressed ? ButtonState::Pressed : ButtonState::Normal, placement.adjustment);
}

bool PaintMainToggle(HDC target, MainToggle toggle, bool on, bool pressed) {
    const SpritePlacement& placement = kToggles.at(static_cast<size_t>(toggle));
    return DrawMainToggle(target, toggle, Scaled(placement.x), Scaled(placement.y), ToggleStateOf(on, pressed),
                          placement.adjustment);
}

void PaintChannelIndicators(HDC target, int channels) {
    if (channels < 0 || channels > 2) {
        return;
    }
    DrawChannelIndicator(target, ChannelIndicator::Stereo, Scaled(kStereo.x), Scaled(kStereo.y),
                         channels == 2 ? IndicatorState::Lit : IndicatorState::Unlit, kStereo.adjustment);
    DrawChannelIndicator(target, ChannelIndicator::Mono, Scaled(kMono.x), Scaled(kMono.y),
                         channels == 1 ? IndicatorState::Lit : IndicatorState::Unlit, kMono.adjustment);
}

bool PaintVolume(HDC target, int volume) {
    bool bar = DrawVolumeBar(target, Scaled(kVolumeBar.x), Scaled(kVolumeBar.y), VolumeFrame(volume));
    bool thumb = DrawVolumeThumb(target, Scaled(kVolumeThumb.x), Scaled(kVolumeThumb.y), ButtonState::Normal,
                                 BarThumbAdjustment(VolumeThumbOffset(volume)));
    return bar && thumb;
}

bool PaintBalance(HDC target) {
    bool bar = DrawBalanceBar(target, Scaled(kBalanceBar.x), Scaled(kBalanceBar.y), 0);
    bool thumb = DrawBalanceThumb(target, Scaled(kBalanceThumb.x), Scaled(kBalanceThumb.y), ButtonState::Normal,
                                  BarThumbAdjustment(std::clamp(kBalanceCentre, 0, 23)));
    return bar && thumb;
}

void PaintClock(HDC target, const std::array<int, 5>& glyphs) {
    for (size_t i = 0; i < glyphs.size(); ++i) {
        DrawDigit(target, Scaled(kClockDigitLefts[i]), Scaled(kClockDigit.y), glyphs[i]);
    }
}

bool PaintPosition(HDC target, int permille) {
    int x = Scaled(kPositionBar.x);
    int y = Scaled(kPositionBar.y);
    bool bar = DrawPositionBar(target, x, y, kPositionBar.adjustment);
    SpriteAdjustment thumbAdjustment = kPositionThumb.adjustment;
    thumbAdjustment.dx += Scaled(PositionThumbOffset(permille));
    bool thumb = DrawPositionThumb(target, Scaled(kPositionThumb.x), Scaled(kPositionThumb.y), ButtonState::Normal,
                                   thumbAdjustment);
    return bar && thumb;
}

bool PaintBitRate(HDC target, int kilobitsPerSecond) {
    return DrawMainText(target, TextBox(kBitRateText), kTextFontHeight, std::to_string(kilobitsPerSecond));
}

bool PaintSampleRate(HDC target, int hertz) {
    return DrawMainText(target, TextBox(kSampleRateText), kTextFontHeight, std::to_string(hertz / 1000));
}

bool PaintTitle(HDC target, std::string_view title) {
    return DrawMainText(target, TextBox(kTitleText), kTextFontHeight, title);
}
