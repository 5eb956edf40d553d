// tunelark-skin-preview: draws a skin's three windows (main, equalizer,
// playlist) where the player puts them on the 240 x 320 screen, with sample
// values, and saves the screen as a PNG. For looking at a skin, and for the
// README's picture of the base skin.
//
//   tunelark-skin-preview [--zoom N] OUT.png [SKIN_DIRECTORY]
//
// Without a directory the base skin the program carries is drawn.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "platform/command_options.h"
#include "platform/ui/png_file.h"
#include "platform/ui/ui_backend_headless.h"
#include "platform/ui/window.h"
#include "platform/ui/window_manager.h"
#include "resources/tunelark_module.h"
#include "ui/skin/equalizer_placements.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/playlist_sprites.h"
#include "ui/skin/skin.h"
#include "ui/skin/skin_text.h"

using namespace platform::ui;

namespace {

constexpr int kWindowScale = 87;
constexpr int kWindowHeight = 100;
constexpr int kFrameHeight = kScreenHeight - kNavigationBarHeight;
constexpr int kRowHeight = 12;
constexpr long kMaximumPreviewZoom = 8;

// A child window that paints itself with a drawing function.
class PreviewWindow : public Window {
public:
    using Painter = std::function<void(HDC target, int width, int height)>;
    PreviewWindow(std::string className, Painter painter) : Window(std::move(className)), painter_(std::move(painter)) {}

    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_PAINT) {
            return DefaultHandleMessage(message, wParam, lParam);
        }
        DeviceContext context = Manager()->GetDC(*this);
        Rect area = ScreenRect();
        g_skin.Scale = kWindowScale;
        painter_(&context, area.Width(), area.Height());
        return 0;
    }

private:
    Painter painter_;
};

void PaintMain(HDC target, int, int) {
    PaintMainBackground(target);
    PaintMainTitleBar(target);
    for (TransportButton button : {TransportButton::Prev, TransportButton::Play, TransportButton::Pause,
                                   TransportButton::Stop, TransportButton::Next, TransportButton::Eject}) {
        PaintTransportButton(target, button, button == TransportButton::Play);
    }
    PaintMainToggle(target, MainToggle::Shuffle, false, false);
    PaintMainToggle(target, MainToggle::Repeat, true, false);
    PaintMainToggle(target, MainToggle::Equalizer, true, false);
    PaintMainToggle(target, MainToggle::Playlist, true, false);
    PaintChannelIndicators(target, 2);
    PaintVolume(target, 70);
    PaintBalance(target);
    PaintPlayState(target, PlayState::Playing);
    PaintClock(target, ClockGlyphs(3 * 60 + 27));
    PaintPosition(target, 380);
    PaintBitRate(target, 192);
    PaintSampleRate(target, 44100);
    PaintTitle(target, "1. Morning Chorus - Open Fields");
}

void PaintEqualizer(HDC target, int, int) {
    PaintEqualizerBackground(target);
    PaintEqualizerTitleBar(target);
    PaintEqualizerOnButton(target, true, false);
    PaintEqualizerAutoButton(target, false);
    PaintPresetsButton(target, false);
    PaintSlider(target, kPreampSliderColumn, 50);
    const int bands[kEqualizerBands] = {72, 66, 58, 50, 44, 46, 54, 62, 68, 70};
    for (int band = 0; band < kEqualizerBands; ++band) {
        PaintSlider(target, BandSliderColumn(band), bands[band]);
    }
}

void PaintPlaylist(HDC target, int width, int height) {
    const int scaled20 = ScaleToScreen(20);
    const int tile = ScaleToScreen(29);
    DrawPlaylistTopBar(target, 0, 0, 2);
    // Border tiles down both sides, the last one cut to what is left.
    for (int y = scaled20; y < height - ScaleToScreen(38); y += tile) {
        int bottom = std::min(y + tile, height - ScaleToScreen(38));
        DrawPlaylistLeftBorder(target, RECT{0, y, 10, bottom});
        DrawPlaylistRightBorder(target, RECT{width - 17, y, width, bottom});
    }
    DrawPlaylistScrollThumb(target, ScaleToScreen(260), scaled20, ButtonState::Normal);
    if (g_skin.IsBaseSkin) {
        g_skin.Scale = 100;
        DrawPlaylistBottomLeft(target, 0, height - 33);
        DrawPlaylistBottomRight(target, width - 131, height - 33);
        g_skin.Scale = kWindowScale;
    } else {
        int y = height - ScaleToScreen(38);
        DrawPlaylistBottomLeft(target, 0, y);
        DrawPlaylistBottomRight(target, width - ScaleToScreen(150), y, {-2, 0, 2, 0});
    }
    const char* titles[] = {"Morning Chorus - Open Fields", "Skylark - High Meadow", "Wind Over Barley",
                            "Evening Song - Hedgerow", "Dawn Chorus (Live)"};
    // Whole rows, then one cut to the room left above the bottom bar.
    const int listBottom = height - ScaleToScreen(38);
    for (int row = 0; scaled20 + row * kRowHeight < listBottom; ++row) {
        int top = scaled20 + row * kRowHeight;
        SkinTextBox box{10, top, 213, std::min(kRowHeight, listBottom - top)};
        std::string text = row < 5 ? std::to_string(row + 1) + ". " + titles[row] : std::string();
        DrawPlaylistText(target, box, kRowHeight, PlaylistRowOf(row == 0, row == 2), text);
    }
}

constexpr int kUsageExitStatus = 2;
constexpr std::string_view kUsage = "usage: tunelark-skin-preview [--zoom N] OUT.png [SKIN_DIRECTORY]\n";
constexpr platform::OptionSpec kOptions[] = {{"--zoom", true}};

int Misuse(const std::string& why) {
    std::fprintf(stderr, "tunelark-skin-preview: %s\n%s", why.c_str(), std::string(kUsage).c_str());
    return kUsageExitStatus;
}

// The screen at an integer zoom, nearest neighbour, as the player's window shows it.
Framebuffer Zoomed(const Framebuffer& screen, int zoom) {
    Framebuffer zoomed(screen.Width() * zoom, screen.Height() * zoom);
    for (int y = 0; y < zoomed.Height(); ++y) {
        for (int x = 0; x < zoomed.Width(); ++x) {
            zoomed.SetPixel(x, y, screen.Pixel(x / zoom, y / zoom));
        }
    }
    return zoomed;
}

}  // namespace

int main(int argc, char** argv) {
    const platform::ParsedArguments arguments = platform::ParseArguments({argv + 1, argv + argc}, kOptions);
    if (arguments.help) {
        std::fputs(std::string(kUsage).c_str(), stdout);
        return 0;
    }
    if (!arguments.misuse.empty()) return Misuse(arguments.misuse);
    if (arguments.operands.empty() || arguments.operands.size() > 2) return Misuse("give OUT.png and at most a skin");
    const std::string& output = arguments.operands[0];
    const std::string skinDirectory = arguments.operands.size() > 1 ? arguments.operands[1] : "";
    int zoom = 1;
    for (const platform::ParsedOption& option : arguments.options) {
        char* end = nullptr;
        const long value = std::strtol(option.value.c_str(), &end, 10);
        if (option.value.empty() || *end != '\0' || value < 1 || value > kMaximumPreviewZoom) {
            return Misuse("bad zoom '" + option.value + "' (1 to " + std::to_string(kMaximumPreviewZoom) + ")");
        }
        zoom = static_cast<int>(value);
    }

    SetModuleInstance(TunelarkModule());
    if (skinDirectory.empty()) {
        LoadBaseSkin();
    } else if (!LoadSkinDirectory(skinDirectory)) {
        std::fprintf(stderr, "tunelark-skin-preview: %s is not a skin directory\n", skinDirectory.c_str());
        return 1;
    }

    HeadlessBackend backend;
    WindowManager windows(backend);
    PreviewWindow frame("Tunelark", [](HDC, int, int) {});
    PreviewWindow main("Tunelark_Main", PaintMain);
    PreviewWindow equalizer("Tunelark_EQ", PaintEqualizer);
    PreviewWindow playlist("Tunelark_PL", PaintPlaylist);
    windows.CreateWindow(frame, nullptr, "Tunelark", {0, kNavigationBarHeight, kScreenWidth, kScreenHeight}, true);
    windows.CreateWindow(main, &frame, "", {0, 0, kScreenWidth, kWindowHeight}, true);
    windows.CreateWindow(equalizer, &frame, "", {0, kWindowHeight, kScreenWidth, 2 * kWindowHeight}, true);
    windows.CreateWindow(playlist, &frame, "", {0, 2 * kWindowHeight, kScreenWidth, kFrameHeight}, true);
    windows.SetFocus(&frame);
    windows.PumpPending();

    std::string error;
    if (!SavePng(Zoomed(windows.Screen(), zoom), output, &error)) {
        std::fprintf(stderr, "tunelark-skin-preview: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
