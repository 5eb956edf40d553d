// Drawing the skinned windows from the base skin at the windows' 87 %: a
// full repaint of the main window and of the equalizer, and the partial
// updates the main window makes every clock tick. Every sprite makes its own
// memory context and stretches its source again, as the windows draw them.

#include <benchmark/benchmark.h>

#include "platform/ui/device_context.h"
#include "resources/tunelark_module.h"
#include "ui/skin/equalizer_placements.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/skin.h"

namespace {

using platform::ui::DeviceContext;
using platform::ui::Framebuffer;

class Screen {
public:
    Screen() {
        SetModuleInstance(TunelarkModule());
        LoadBaseSkin();
        g_skin.Scale = 87;
    }
    HDC Target() { return &context_; }

private:
    Framebuffer pixels_{240, 100};
    DeviceContext context_{pixels_, {0, 0}, pixels_.Bounds()};
};

void MainWindowFullRepaint(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        HDC target = screen.Target();
        PaintMainBackground(target);
        PaintMainTitleBar(target);
        for (TransportButton button : {TransportButton::Prev, TransportButton::Play, TransportButton::Pause,
                                       TransportButton::Stop, TransportButton::Next, TransportButton::Eject}) {
            PaintTransportButton(target, button, false);
        }
        for (MainToggle toggle : {MainToggle::Shuffle, MainToggle::Repeat, MainToggle::Equalizer, MainToggle::Playlist}) {
            PaintMainToggle(target, toggle, true, false);
        }
        PaintChannelIndicators(target, 2);
        PaintVolume(target, 70);
        PaintBalance(target);
        PaintClock(target, ClockGlyphs(207));
        PaintPosition(target, 400);
        PaintBitRate(target, 128);
        PaintSampleRate(target, 44100);
        PaintTitle(target, "1. Morning Chorus - Open Fields");
    }
}
BENCHMARK(MainWindowFullRepaint)->Unit(benchmark::kMicrosecond);

void MainWindowClockTick(benchmark::State& state) {
    Screen screen;
    int64_t seconds = 0;
    for (auto _ : state) {
        PaintClock(screen.Target(), ClockGlyphs(++seconds));
        PaintPosition(screen.Target(), static_cast<int>(seconds % 1000));
    }
}
BENCHMARK(MainWindowClockTick)->Unit(benchmark::kMicrosecond);

void EqualizerFullRepaint(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        HDC target = screen.Target();
        PaintEqualizerBackground(target);
        PaintEqualizerTitleBar(target);
        PaintEqualizerOnButton(target, true, false);
        PaintEqualizerAutoButton(target, false);
        PaintPresetsButton(target, false);
        PaintSlider(target, kPreampSliderColumn, 50);
        for (int band = 0; band < kEqualizerBands; ++band) {
            PaintSlider(target, BandSliderColumn(band), band * 10);
        }
    }
}
BENCHMARK(EqualizerFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
