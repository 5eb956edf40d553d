#include "ui/skin/main_placements.h"

#include <algorithm>
#include <string>

#include "ui/skin/skin.h"
#include "ui/skin/skin_font.h"

namespace {

using namespace main_placement;

constexpr int kBlankGlyph = 10;
constexpr int kMinusGlyph = 11;
constexpr int64_t kMostRemainingSeconds = 99 * 60 + 59;
constexpr int kTextFontHeight = 12;
constexpr int kBalanceCentre = 12;

int Scaled(int length) { return ScaleToScreen(length); }

// A thumb sits `offset` skin units along its bar, one pixel in and one
// scaled unit down.
SpriteAdjustment BarThumbAdjustment(int offset) { return {Scaled(offset) + 1, Scaled(1), 0, 0}; }

// A text box in screen pixels: its corner scaled and moved up, its size as it is.
RECT TextRect(const TextPlacement& text) {
    const int left = Scaled(text.x);
    const int top = Scaled(text.y) + kTextBoxDy;
    return RECT{left, top, left + text.width, top + text.height};
}

// The bitmap font's glyphs sit at the box's unmoved corner; the system
// font starts where the placement says.
SkinTextStyle TextStyle(const TextPlacement& text, int pitch) {
    return SkinTextStyle{text.height, -kTextBoxDy, pitch, kTextFontHeight, text.textDy};
}

// Nothing loaded, or a rate not known, leaves the box empty rather than "0".
bool PaintNumber(HDC target, const TextPlacement& box, int number) {
    const std::string digits = number > 0 ? std::to_string(number) : std::string();
    SkinTextLine line;
    line.Render(digits, TextStyle(box, PitchToFit(digits.size(), box.width)));
    return line.DrawAligned(target, TextRect(box), true);
}

}  // namespace

std::array<int, 5> ClockGlyphs(int64_t seconds, bool remaining) {
    if (remaining) seconds = std::clamp<int64_t>(seconds, 0, kMostRemainingSeconds);
    const int64_t minutes = seconds / 60;
    const int64_t hundreds = minutes / 100;
    // From 1000 minutes on the first place stays blank.
    const int first = remaining                      ? kMinusGlyph
                      : hundreds == 0 || hundreds >= 10 ? kBlankGlyph
                                                         : static_cast<int>(hundreds);
    return {first, static_cast<int>(minutes % 100 / 10), static_cast<int>(minutes % 10),
            static_cast<int>(seconds % 60 / 10), static_cast<int>(seconds % 10)};
}

std::array<int, 5> BlankClockGlyphs() { return {kBlankGlyph, kBlankGlyph, kBlankGlyph, kBlankGlyph, kBlankGlyph}; }

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

bool PaintPlayState(HDC target, PlayState state) {
    const bool lamp = DrawPlayStateLamp(target, Scaled(kPlayStateLamp.x), Scaled(kPlayStateLamp.y), state);
    const bool picture = DrawPlayState(target, Scaled(kPlayState.x), Scaled(kPlayState.y), state);
    return lamp && picture;
}

bool PaintBitRate(HDC target, int kilobitsPerSecond) { return PaintNumber(target, kBitRateText, kilobitsPerSecond); }

bool PaintSampleRate(HDC target, int hertz) { return PaintNumber(target, kSampleRateText, hertz / 1000); }

int TitleBoxWidth() { return kTitleText.width; }

void RenderTitle(SkinTextLine& line, std::string_view title) {
    line.Render(title, TextStyle(kTitleText, kSkinGlyphWidth));
}

bool PaintTitle(HDC target, const SkinTextLine& line, int offset, bool scrolling) {
    const RECT box = TextRect(kTitleText);
    return scrolling ? line.DrawScrolled(target, box, offset) : line.DrawAligned(target, box, false);
}

bool PaintTitle(HDC target, std::string_view title) {
    SkinTextLine line;
    RenderTitle(line, title);
    return PaintTitle(target, line, 0, false);
}
