#include "ui/skin/main_placements.h"

#include <algorithm>
#include <string>

#include "ui/skin/skin.h"

namespace {

struct Position {
    int x;
    int y;
};

constexpr int kBlankGlyph = 10;
constexpr int kTextFontHeight = 12;

constexpr std::array<Position, 6> kTransportPositions{{{16, 88}, {39, 88}, {62, 88}, {85, 88}, {108, 88}, {136, 89}}};
constexpr std::array<SpriteAdjustment, 6> kTransportAdjustments{{
    {1, 0, 1, 0}, {2, 0, 0, 0}, {2, 0, 0, 0}, {2, 0, 0, 0}, {2, 0, 0, 0}, {1, -1, 0, 1},
}};
constexpr std::array<Position, 4> kTogglePositions{{{164, 89}, {210, 89}, {219, 58}, {242, 58}}};
constexpr std::array<SpriteAdjustment, 4> kToggleAdjustments{{{2, -1, 0, 0}, {2, -1, 0, 0}, {}, {}}};
constexpr std::array<Position, 5> kClockPositions{{{36, 26}, {48, 26}, {60, 26}, {78, 26}, {90, 26}}};

constexpr Position kVolumeBar{107, 57};
constexpr Position kVolumeThumb{107, 58};
constexpr Position kBalanceBar{177, 57};
constexpr Position kBalanceThumb{177, 58};
constexpr int kBalanceCentre = 12;
constexpr Position kPositionBar{16, 72};

int Scaled(int length) { return ScaleToScreen(length); }

// A thumb sits `offset` skin units along its bar, one pixel in and one
// scaled unit down.
SpriteAdjustment BarThumbAdjustment(int offset) { return {Scaled(offset) + 1, Scaled(1), 0, 0}; }

SkinTextBox TextBox(Position position, int width, int height, int textDy) {
    return SkinTextBox{Scaled(position.x), Scaled(position.y), width, height, 0, textDy, 0, -2};
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

bool PaintMainBackground(HDC target) { return DrawMainBackground(target, 0, 0, {0, 0, 1, 0}); }

bool PaintMainTitleBar(HDC target) { return DrawMainTitleBar(target, 0, 0, TitleBarState::Active); }

bool PaintTransportButton(HDC target, TransportButton button, bool pressed) {
    size_t index = static_cast<size_t>(button);
    Position position = kTransportPositions.at(index);
    return DrawTransportButton(target, button, Scaled(position.x), Scaled(position.y),
                               pressed ? ButtonState::Pressed : ButtonState::Normal, kTransportAdjustments.at(index));
}

bool PaintMainToggle(HDC target, MainToggle toggle, bool on, bool pressed) {
    size_t index = static_cast<size_t>(toggle);
    Position position = kTogglePositions.at(index);
    return DrawMainToggle(target, toggle, Scaled(position.x), Scaled(position.y), ToggleStateOf(on, pressed),
                          kToggleAdjustments.at(index));
}

void PaintChannelIndicators(HDC target, int channels) {
    if (channels < 0 || channels > 2) {
        return;
    }
    DrawChannelIndicator(target, ChannelIndicator::Stereo, Scaled(239), Scaled(41),
                         channels == 2 ? IndicatorState::Lit : IndicatorState::Unlit, {2, 0, 0, 0});
    DrawChannelIndicator(target, ChannelIndicator::Mono, Scaled(212), Scaled(41),
                         channels == 1 ? IndicatorState::Lit : IndicatorState::Unlit);
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
        DrawDigit(target, Scaled(kClockPositions[i].x), Scaled(kClockPositions[i].y), glyphs[i]);
    }
}

bool PaintPosition(HDC target, int permille) {
    int x = Scaled(kPositionBar.x);
    int y = Scaled(kPositionBar.y);
    bool bar = DrawPositionBar(target, x, y, {0, 0, 3, 1});
    bool thumb = DrawPositionThumb(target, x, y, ButtonState::Normal,
                                   {Scaled(PositionThumbOffset(permille)), 0, 0, 1});
    return bar && thumb;
}

bool PaintBitRate(HDC target, int kilobitsPerSecond) {
    return DrawMainText(target, TextBox({111, 43}, 15, 9, -2), kTextFontHeight, std::to_string(kilobitsPerSecond));
}

bool PaintSampleRate(HDC target, int hertz) {
    return DrawMainText(target, TextBox({156, 43}, 11, 9, -2), kTextFontHeight, std::to_string(hertz / 1000));
}

bool PaintTitle(HDC target, std::string_view title) {
    return DrawMainText(target, TextBox({111, 27}, 135, 10, -1), kTextFontHeight, title);
}
