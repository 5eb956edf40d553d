#include "ui/skin/skin_sprites.h"

#include <algorithm>
#include <array>

#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

struct SourcePoint {
    int x = 0;
    int y = 0;
};

// A picture in one of the skin's bitmaps: which bitmap and how big.
struct SpriteSheet {
    HBITMAP Skin::*bitmap;
    int width;
    int height;
};

// A sprite is as large in its bitmap as its placement in the window.
constexpr SpriteSheet Sheet(HBITMAP Skin::*bitmap, const SpritePlacement& placement) {
    return {bitmap, placement.width, placement.height};
}

// Sources by state, in the order of the state enums.
using ButtonSources = std::array<SourcePoint, 2>;
using ToggleSources = std::array<SourcePoint, 4>;

constexpr int kLastBarFrame = 27;
constexpr int kBlankGlyph = 10;

bool Draw(HDC target, SpriteSheet sheet, int x, int y, SourcePoint source, SpriteAdjustment adjustment) {
    RECT sourceRect{source.x, source.y, source.x + sheet.width, source.y + sheet.height};
    return DrawScaledSprite(target, g_skin.*sheet.bitmap, x, y, sourceRect, adjustment);
}

template <typename State, size_t N>
bool DrawState(HDC target, SpriteSheet sheet, int x, int y, State state, const std::array<SourcePoint, N>& sources,
               SpriteAdjustment adjustment) {
    size_t index = static_cast<size_t>(state);
    if (index >= N) {
        return false;
    }
    return Draw(target, sheet, x, y, sources[index], adjustment);
}

int ClampFrame(int frame) { return std::clamp(frame, 0, kLastBarFrame); }

constexpr SpriteSheet kMainBackground = Sheet(&Skin::MainBmp, main_placement::kBackground);
constexpr SpriteSheet kMainTitleBar = Sheet(&Skin::TitleBarBmp, main_placement::kTitleBar);
constexpr ButtonSources kMainTitleBarSources{{{27, 0}, {27, 15}}};

struct TransportSprite {
    SpriteSheet sheet;
    ButtonSources sources;
};
constexpr std::array<TransportSprite, 6> kTransportSprites{{
    {Sheet(&Skin::CButtonsBmp, main_placement::kPrevious), {{{0, 0}, {0, 18}}}},
    {Sheet(&Skin::CButtonsBmp, main_placement::kPlay), {{{23, 0}, {23, 18}}}},
    {Sheet(&Skin::CButtonsBmp, main_placement::kPause), {{{46, 0}, {46, 18}}}},
    {Sheet(&Skin::CButtonsBmp, main_placement::kStop), {{{69, 0}, {69, 18}}}},
    {Sheet(&Skin::CButtonsBmp, main_placement::kNext), {{{92, 0}, {92, 18}}}},
    {Sheet(&Skin::CButtonsBmp, main_placement::kEject), {{{114, 0}, {114, 16}}}},
}};

struct ToggleSprite {
    SpriteSheet sheet;
    ToggleSources sources;  // off, off pressed, on, on pressed
};
constexpr std::array<ToggleSprite, 4> kMainToggleSprites{{
    {Sheet(&Skin::ShufRepBmp, main_placement::kShuffle), {{{28, 0}, {28, 15}, {28, 30}, {28, 45}}}},
    {Sheet(&Skin::ShufRepBmp, main_placement::kRepeat), {{{0, 0}, {0, 15}, {0, 30}, {0, 45}}}},
    {Sheet(&Skin::ShufRepBmp, main_placement::kEqualizerToggle), {{{0, 61}, {46, 61}, {0, 73}, {46, 73}}}},
    {Sheet(&Skin::ShufRepBmp, main_placement::kPlaylistToggle), {{{23, 61}, {69, 61}, {23, 73}, {69, 73}}}},
}};

struct IndicatorSprite {
    SpriteSheet sheet;
    ButtonSources sources;  // lit, unlit
};
constexpr std::array<IndicatorSprite, 2> kIndicatorSprites{{
    {Sheet(&Skin::MonoSterBmp, main_placement::kStereo), {{{0, 0}, {0, 12}}}},
    {Sheet(&Skin::MonoSterBmp, main_placement::kMono), {{{29, 0}, {29, 12}}}},
}};

constexpr SpriteSheet kVolumeBar = Sheet(&Skin::VolumeBmp, main_placement::kVolumeBar);
constexpr SpriteSheet kVolumeThumb = Sheet(&Skin::VolumeBmp, main_placement::kVolumeThumb);
constexpr SpriteSheet kBalanceBar = Sheet(&Skin::BalanceBmp, main_placement::kBalanceBar);
constexpr SpriteSheet kBalanceThumb = Sheet(&Skin::BalanceBmp, main_placement::kBalanceThumb);
constexpr ButtonSources kBarThumbSources{{{15, 422}, {0, 422}}};
constexpr int kBarFrameSpacing = 15;

constexpr SpriteSheet kDigit = Sheet(&Skin::NumbersBmp, main_placement::kClockDigit);
constexpr int kMinusGlyph = 11;
// A numbers bitmap without the minus glyph lends the 2's middle stroke.
constexpr RECT kMinusStroke{20, 6, 25, 7};

using PlayStateSources = std::array<SourcePoint, 3>;  // playing, paused, stopped
constexpr SpriteSheet kPlayState = Sheet(&Skin::PlayPausBmp, main_placement::kPlayState);
constexpr PlayStateSources kPlayStateSources{{{0, 0}, {9, 0}, {18, 0}}};
constexpr SpriteSheet kPlayStateLamp = Sheet(&Skin::PlayPausBmp, main_placement::kPlayStateLamp);
constexpr PlayStateSources kPlayStateLampSources{{{36, 0}, {27, 0}, {27, 0}}};
constexpr SpriteSheet kPositionBar = Sheet(&Skin::PosbarBmp, main_placement::kPositionBar);
constexpr SpriteSheet kPositionThumb = Sheet(&Skin::PosbarBmp, main_placement::kPositionThumb);
constexpr ButtonSources kPositionThumbSources{{{248, 0}, {278, 0}}};

constexpr SpriteSheet kEqualizerBackground = Sheet(&Skin::EqMainBmp, equalizer_placement::kBackground);
constexpr SpriteSheet kEqualizerTitleBar = Sheet(&Skin::EqMainBmp, equalizer_placement::kTitleBar);
constexpr ButtonSources kEqualizerTitleBarSources{{{0, 134}, {0, 149}}};
constexpr std::array<ToggleSprite, 2> kEqualizerToggleSprites{{
    {Sheet(&Skin::EqMainBmp, equalizer_placement::kOnButton), {{{10, 119}, {128, 119}, {69, 119}, {187, 119}}}},
    {Sheet(&Skin::EqMainBmp, equalizer_placement::kAutoButton), {{{35, 119}, {153, 119}, {94, 119}, {212, 119}}}},
}};
constexpr SpriteSheet kPresetsButton = Sheet(&Skin::EqMainBmp, equalizer_placement::kPresetsButton);
constexpr ButtonSources kPresetsButtonSources{{{224, 164}, {224, 176}}};
constexpr SpriteSheet kSliderBar = Sheet(&Skin::EqMainBmp, equalizer_placement::kSliderBar);
constexpr SpriteSheet kSliderThumb = Sheet(&Skin::EqMainBmp, equalizer_placement::kSliderThumb);
constexpr ButtonSources kSliderThumbSources{{{0, 164}, {0, 176}}};

}  // namespace

ToggleState ToggleStateOf(bool on, bool pressed) {
    if (on) {
        return pressed ? ToggleState::OnPressed : ToggleState::On;
    }
    return pressed ? ToggleState::OffPressed : ToggleState::Off;
}

int ScaleToScreen(int length) { return length * g_skin.Scale / 100; }

float ToSkinUnits(int pixels, int scale) { return static_cast<float>(pixels) * (100.0f / static_cast<float>(scale)); }

bool InTitleBarCloseBox(int x, int y) {
    constexpr int kLeft = 225;
    constexpr int kRight = 240;
    constexpr int kBottom = 15;
    return x >= kLeft && x <= kRight && y >= 0 && y <= kBottom;
}

bool CopySprite(HDC target, HBITMAP bitmap, const RECT& destination, const RECT& source) {
    if (target == nullptr || bitmap == nullptr) {
        return false;
    }
    HDC memory = CreateCompatibleDC(target);
    if (memory == nullptr) {
        return false;
    }
    HBITMAP previous = SelectObject(memory, bitmap);
    bool copied = previous != nullptr &&
                  StretchBlt(target, destination.left, destination.top, destination.Width(), destination.Height(),
                             memory, source.left, source.top, source.Width(), source.Height(), SRCCOPY);
    if (previous != nullptr) {
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    return copied;
}

bool DrawScaledSprite(HDC target, HBITMAP bitmap, int x, int y, const RECT& source, SpriteAdjustment adjustment) {
    RECT destination{x + adjustment.dx, y + adjustment.dy, 0, 0};
    destination.right = destination.left + ScaleToScreen(source.Width()) + adjustment.dw;
    destination.bottom = destination.top + ScaleToScreen(source.Height()) + adjustment.dh;
    return CopySprite(target, bitmap, destination, source);
}

bool DrawMainBackground(HDC target, int x, int y, SpriteAdjustment adjustment) {
    return Draw(target, kMainBackground, x, y, {0, 0}, adjustment);
}

bool DrawMainTitleBar(HDC target, int x, int y, TitleBarState state, SpriteAdjustment adjustment) {
    return DrawState(target, kMainTitleBar, x, y, state, kMainTitleBarSources, adjustment);
}

bool DrawTransportButton(HDC target, TransportButton button, int x, int y, ButtonState state,
                         SpriteAdjustment adjustment) {
    const TransportSprite& sprite = kTransportSprites.at(static_cast<size_t>(button));
    return DrawState(target, sprite.sheet, x, y, state, sprite.sources, adjustment);
}

bool DrawMainToggle(HDC target, MainToggle toggle, int x, int y, ToggleState state, SpriteAdjustment adjustment) {
    const ToggleSprite& sprite = kMainToggleSprites.at(static_cast<size_t>(toggle));
    return DrawState(target, sprite.sheet, x, y, state, sprite.sources, adjustment);
}

bool DrawChannelIndicator(HDC target, ChannelIndicator indicator, int x, int y, IndicatorState state,
                          SpriteAdjustment adjustment) {
    const IndicatorSprite& sprite = kIndicatorSprites.at(static_cast<size_t>(indicator));
    return DrawState(target, sprite.sheet, x, y, state, sprite.sources, adjustment);
}

bool DrawVolumeBar(HDC target, int x, int y, int frame, SpriteAdjustment adjustment) {
    return Draw(target, kVolumeBar, x, y, {0, kBarFrameSpacing * ClampFrame(frame)}, adjustment);
}

bool DrawVolumeThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment) {
    return DrawState(target, kVolumeThumb, x, y, state, kBarThumbSources, adjustment);
}

bool DrawBalanceBar(HDC target, int x, int y, int frame, SpriteAdjustment adjustment) {
    return Draw(target, kBalanceBar, x, y, {9, kBarFrameSpacing * ClampFrame(frame)}, adjustment);
}

bool DrawBalanceThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment) {
    return DrawState(target, kBalanceThumb, x, y, state, kBarThumbSources, adjustment);
}

bool DrawDigit(HDC target, int x, int y, int glyph, SpriteAdjustment adjustment) {
    if (glyph < 0 || glyph > kMinusGlyph) {
        return false;
    }
    const HBITMAP numbers = g_skin.NumbersBmp;
    if (glyph == kMinusGlyph && numbers != nullptr && numbers->Width() < kDigit.width * (kMinusGlyph + 1)) {
        if (!Draw(target, kDigit, x, y, {kDigit.width * kBlankGlyph, 0}, adjustment)) return false;
        // At least a pixel high, however small the scale.
        const SpriteAdjustment stroke{adjustment.dx, adjustment.dy, adjustment.dw,
                                      std::max(0, 1 - ScaleToScreen(kMinusStroke.Height()))};
        return DrawScaledSprite(target, numbers, x + ScaleToScreen(2), y + ScaleToScreen(kMinusStroke.top),
                                kMinusStroke, stroke);
    }
    return Draw(target, kDigit, x, y, {kDigit.width * glyph, 0}, adjustment);
}

bool DrawPlayState(HDC target, int x, int y, PlayState state, SpriteAdjustment adjustment) {
    return DrawState(target, kPlayState, x, y, state, kPlayStateSources, adjustment);
}

bool DrawPlayStateLamp(HDC target, int x, int y, PlayState state, SpriteAdjustment adjustment) {
    return DrawState(target, kPlayStateLamp, x, y, state, kPlayStateLampSources, adjustment);
}

bool DrawPositionBar(HDC target, int x, int y, SpriteAdjustment adjustment) {
    return Draw(target, kPositionBar, x, y, {0, 0}, adjustment);
}

bool DrawPositionThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment) {
    return DrawState(target, kPositionThumb, x, y, state, kPositionThumbSources, adjustment);
}

bool DrawEqualizerBackground(HDC target, int x, int y, SpriteAdjustment adjustment) {
    return Draw(target, kEqualizerBackground, x, y, {0, 0}, adjustment);
}

bool DrawEqualizerTitleBar(HDC target, int x, int y, TitleBarState state, SpriteAdjustment adjustment) {
    return DrawState(target, kEqualizerTitleBar, x, y, state, kEqualizerTitleBarSources, adjustment);
}

bool DrawEqualizerToggle(HDC target, EqualizerToggle toggle, int x, int y, ToggleState state,
                         SpriteAdjustment adjustment) {
    const ToggleSprite& sprite = kEqualizerToggleSprites.at(static_cast<size_t>(toggle));
    return DrawState(target, sprite.sheet, x, y, state, sprite.sources, adjustment);
}

bool DrawPresetsButton(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment) {
    return DrawState(target, kPresetsButton, x, y, state, kPresetsButtonSources, adjustment);
}

bool DrawSliderBar(HDC target, int x, int y, int frame, SpriteAdjustment adjustment) {
    // Two rows of fourteen frames each.
    int clamped = ClampFrame(frame);
    constexpr int kFramesPerRow = 14;
    SourcePoint source = clamped < kFramesPerRow ? SourcePoint{13 + 15 * clamped, 164}
                                                 : SourcePoint{13 + 15 * (clamped - kFramesPerRow), 229};
    return Draw(target, kSliderBar, x, y, source, adjustment);
}

bool DrawSliderThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment) {
    return DrawState(target, kSliderThumb, x, y, state, kSliderThumbSources, adjustment);
}
