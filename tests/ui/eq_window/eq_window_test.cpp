// The equalizer window of the running player on the headless backend: the
// slider values, taps and drags, the presets and their dialog, hiding it,
// what the user hears, and how it looks.

#include "ui/eq_window/eq_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/ui/window_manager.h"
#include "platform/registry.h"
#include "prefs/settings.h"
#include "tests/support/band_power.h"
#include "tests/support/captured_audio.h"
#include "tests/support/golden_picture.h"
#include "tests/support/running_player.h"
#include "ui/eq_window/slider_values.h"
#include "ui/skin/equalizer_placements.h"
#include "ui/skin/skin.h"

namespace {

using namespace platform::ui;
using test::FixturePath;
using test::RunningPlayer;

// The equalizer window lies below the navigation bar and the main window.
constexpr int kEqualizerTop = kNavigationBarHeight + 100;

// Points of the equalizer window, in its own pixels at 87 %.
constexpr Point kOnButton{22, 21};
constexpr Point kPresetsButton{208, 21};
constexpr Point kCloseCorner{230, 5};
constexpr int kSliderTopY = 34;
constexpr int kSliderBottomY = 88;

Point OnScreen(Point windowPoint) { return {windowPoint.x, windowPoint.y + kEqualizerTop}; }

// The middle of slider `slider`: the preamp, or band 1 to 10.
int SliderX(int slider) {
    const int column = slider == kPreampSlider ? kPreampSliderColumn : BandSliderColumn(slider - 1);
    return (column + 7) * 87 / 100;
}

// The preset dialog's controls on the screen.
constexpr Point kDialogOk{212, 44};
constexpr Point kLoad{66, 300};
constexpr Point kCancel{174, 300};
Point DialogRow(int row) { return {100, 71 + 20 * row}; }

PlayerEqSettings EngineEqualizer(RunningPlayer& player) {
    PlayerEqSettings settings;
    PlayerGetEqualizer(player.Engine(), &settings);
    return settings;
}

using Bands = std::array<int32_t, kEqualizerBands>;

Bands EngineBands(RunningPlayer& player) {
    const PlayerEqSettings settings = EngineEqualizer(player);
    Bands bands;
    std::copy(std::begin(settings.bands), std::end(settings.bands), bands.begin());
    return bands;
}

// Drags slider `slider` from its middle to window y `y`.
void DragSlider(RunningPlayer& player, int slider, int y) {
    player.Drag(OnScreen({SliderX(slider), 60}), {OnScreen({SliderX(slider), y})});
}

constexpr Bands kFlat{31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
constexpr Bands kClassical{31, 31, 31, 31, 31, 31, 44, 44, 44, 48};
constexpr Bands kClub{31, 31, 25, 22, 22, 22, 25, 31, 31, 31};
constexpr Bands kDance{16, 23, 28, 31, 31, 40, 44, 44, 31, 31};
constexpr Bands kTechno{19, 22, 31, 40, 40, 31, 19, 16, 16, 17};

TEST(EqualizerSliders, EveryEngineValueComesBackFromASliderPosition) {
    for (int value = 0; value <= kEngineBottomValue; ++value) {
        EXPECT_EQ(EngineFromSlider(SliderFromEngine(value)), value);
    }
    const std::array<std::array<int, 2>, 3> valueAndPosition{{{31, 50}, {0, 100}, {63, 0}}};
    for (const auto& [value, position] : valueAndPosition) EXPECT_EQ(SliderFromEngine(value), position) << value;
}

TEST(EqualizerRegions, TapsLandOnTheRegionsIncludingTheirEdges) {
    struct Case {
        Point tap;
        EqRegion region;
    };
    const Case cases[] = {
        {{13, 16}, {EqControl::OnButton}},       {{33, 26}, {EqControl::OnButton}},
        {{12, 16}, {}},                          {{34, 21}, {}},  // 39.08 skin units: past the ON button
        {{189, 16}, {EqControl::PresetsButton}}, {{227, 26}, {EqControl::PresetsButton}},
        {{19, kSliderTopY}, {EqControl::Slider, kPreampSlider}},
        {{19, kSliderTopY - 1}, {}},             {{30, kSliderBottomY}, {EqControl::Slider, kPreampSlider}},
        {{30, kSliderBottomY + 1}, {}},          {{68, 50}, {EqControl::Slider, 1}},
        {{214, 60}, {EqControl::Slider, 10}},    {{50, 21}, {}},  // the AUTO button
    };
    for (const auto& [tap, region] : cases) EXPECT_EQ(EqRegionAt(tap.x, tap.y, 87), region) << tap.x << "," << tap.y;
    EXPECT_TRUE(InTitleBarCloseBox(225, 0));
    EXPECT_TRUE(InTitleBarCloseBox(240, 15));
    EXPECT_FALSE(InTitleBarCloseBox(224, 5));
    EXPECT_FALSE(InTitleBarCloseBox(230, 16));
}

// Writes and reads numbers of the player's stored settings.
void StoreNumbers(const std::vector<std::pair<std::string, platform::DWORD>>& values) {
    platform::Registry registry;
    platform::HKEY key{};
    const auto access = platform::KEY_ALL_ACCESS;
    ASSERT_EQ(registry.CreateKey(platform::HKEY_CURRENT_USER, kSettingsKeyPath, access, &key, nullptr),
              platform::ERROR_SUCCESS);
    for (const auto& [name, value] : values) registry.SetValue(key, name, value);
    registry.CloseKey(key);
}

platform::DWORD StoredNumber(const std::string& name) {
    platform::Registry registry;
    platform::HKEY key{};
    platform::DWORD value = 0;
    platform::DWORD size = sizeof value;
    if (registry.OpenKey(platform::HKEY_CURRENT_USER, kSettingsKeyPath, platform::KEY_READ, &key) ==
        platform::ERROR_SUCCESS) {
        registry.QueryValue(key, name, nullptr, &value, &size);
        registry.CloseKey(key);
    }
    return value;
}

TEST(EqWindow, SlidersStartFromTheStoredSettingsAndDragsAreStoredAtExit) {
    RunningPlayer player;
    StoreNumbers({{"Preamp", 0}, {"EqBank1", 63}});
    player.Start();
    EXPECT_EQ(player.Equalizer().SliderPosition(kPreampSlider), 100);
    EXPECT_EQ(player.Equalizer().SliderPosition(1), 0);
    EXPECT_EQ(player.Equalizer().SliderPosition(2), 50);

    DragSlider(player, 3, kSliderTopY);
    EXPECT_EQ(player.Equalizer().SliderPosition(3), 98);
    EXPECT_EQ(EngineBands(player)[2], 1);
    // Past the top the stylus leaves the slider, which stays where it was.
    player.Drag(OnScreen({SliderX(3), 40}), {OnScreen({SliderX(3), kSliderTopY}), OnScreen({SliderX(3), 20})});
    EXPECT_EQ(EngineBands(player)[2], 1);
    DragSlider(player, 4, kSliderBottomY);
    EXPECT_EQ(player.Equalizer().SliderPosition(4), 0);
    player.Tap(OnScreen({SliderX(5), 70}));
    EXPECT_EQ(player.Equalizer().SliderPosition(5), 50) << "a tap without movement";

    player.Windows().DestroyWindow(player.application.Frame());
    const std::pair<const char*, platform::DWORD> stored[] = {
        {"Preamp", 0}, {"EqBank1", 63}, {"EqBank2", 31}, {"EqBank3", 1}, {"EqBank4", 63}, {"EqBank5", 31}};
    for (const auto& [name, value] : stored) EXPECT_EQ(StoredNumber(name), value) << name;
}

// A notch of the wheel over a slider moves it one of the engine's steps.
TEST(EqWindow, TheWheelOverASliderMovesItAStepANotch) {
    RunningPlayer player;
    player.Start();
    const struct {
        int notches;
        int engineValue;
    } turns[] = {{1, 30}, {3, 27}, {-5, 32}, {-40, 63}, {70, 0}};
    for (const auto& [notches, engineValue] : turns) {
        player.backend.Inject({.kind = platform::ui::InputEvent::Kind::Wheel, .point = OnScreen({SliderX(2), 70}),
                               .wheelNotches = notches});
        player.Windows().PumpPending();
        EXPECT_EQ(EngineBands(player)[1], engineValue) << notches;
    }
    EXPECT_EQ(EngineBands(player)[0], 31) << "the slider beside it stays";
}

TEST(EqWindow, PresetsSetTheTenBandsAndLeaveThePreamp) {
    RunningPlayer player;
    player.Start();
    DragSlider(player, kPreampSlider, 70);  // position 32: engine value 42
    struct Case {
        const char* name;
        Bands bands;
    };
    const Case cases[] = {{"Classical", kClassical},
                          {"Full Bass", {16, 16, 16, 22, 28, 39, 45, 49, 50, 50}},
                          {"Techno", kTechno},
                          {"techno", kTechno}};  // names match with case: nothing changes
    for (const auto& [name, bands] : cases) {
        player.Equalizer().ApplyPreset(name);
        EXPECT_EQ(EngineBands(player), bands) << name;
        EXPECT_EQ(EngineEqualizer(player).preamp, 42) << name;
    }
}

// The screen shows the ON button in state `on`, not pressed.
void ExpectOnButtonShows(RunningPlayer& player, bool on) {
    Framebuffer expected = player.Windows().Screen();
    DeviceContext context(expected, {0, kEqualizerTop}, {0, 0, kScreenWidth, kScreenHeight});
    g_skin.Scale = 87;
    PaintEqualizerOnButton(&context, on, false);
    EXPECT_TRUE(expected.Pixels() == player.Windows().Screen().Pixels()) << (on ? "on" : "off");
}

TEST(EqWindow, TheOnButtonFlipsTheEngineAndShowsTheStateAfterTheTap) {
    RunningPlayer player;
    player.Start();
    ExpectOnButtonShows(player, false);
    for (const bool enabled : {true, false}) {
        player.Tap(OnScreen(kOnButton));
        EXPECT_EQ(EngineEqualizer(player).enabled, enabled ? 1 : 0);
        ExpectOnButtonShows(player, enabled);
    }
    // Lifted elsewhere, the button springs back without acting.
    player.Drag(OnScreen(kOnButton), {OnScreen({120, 21})});
    EXPECT_EQ(EngineEqualizer(player).enabled, 0);
    ExpectOnButtonShows(player, false);
}

// Runs `action` once, `afterMs` from now, inside whatever loop turns then.
class Later final : public Window {
public:
    Later(WindowManager& windows, uint64_t afterMs, std::function<void()> action)
        : Window("Later"), action_(std::move(action)) {
        windows.CreateWindow(*this, nullptr, "", {}, false);
        windows.SetTimer(*this, 1, static_cast<uint32_t>(afterMs));
    }

    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_TIMER) return DefaultHandleMessage(message, wParam, lParam);
        Manager()->KillTimer(*this, 1);
        action_();
        return 0;
    }

private:
    std::function<void()> action_;
};

TEST(PresetDialog, LoadsTheChosenPresetByTapOrKeyAndNothingOtherwise) {
    RunningPlayer player;
    player.Start();
    // A dialog left open by a fault is closed long after the last case, so
    // that the fault fails the test instead of hanging it.
    Later watchdog(player.Windows(), 60'000, [&] {
        ADD_FAILURE() << "the dialog was left open";
        player.backend.PressKey(VK_ESCAPE);
    });
    struct Input {
        bool isKey;
        uint32_t key;
        Point tap;
    };
    const auto key = [](uint32_t virtualKey) { return Input{true, virtualKey, {}}; };
    const auto tap = [](Point point) { return Input{false, 0, point}; };
    struct Case {
        const char* what;
        std::vector<Input> inputs;
        Bands bands;
    };
    // Each case starts from the bands the one before left.
    const Case cases[] = {
        {"Load with nothing selected", {tap(kLoad)}, kFlat},
        {"Enter with nothing selected", {key(VK_RETURN)}, kFlat},
        {"a row, then Load", {tap(DialogRow(1)), tap(kLoad)}, kClub},
        {"the first row by the keyboard", {key(VK_DOWN), key(VK_RETURN)}, kClassical},
        {"the last row, then the title bar's OK", {key(VK_END), tap(kDialogOk)}, kTechno},
        {"a row, then Cancel", {tap(DialogRow(0)), tap(kCancel)}, kTechno},
        {"a row, then Escape", {key(VK_DOWN), key(VK_ESCAPE)}, kTechno},
        {"a double tap on a row", {tap(DialogRow(2)), tap(DialogRow(2))}, kDance},
    };
    for (const auto& [what, inputs, bands] : cases) {
        uint64_t after = 0;
        for (const Input& input : inputs) {
            after += 100;
            if (input.isKey) {
                player.ScheduleKey(input.key, after);
            } else {
                player.ScheduleTap(input.tap, after);
            }
        }
        player.Tap(OnScreen(kPresetsButton));
        EXPECT_EQ(EngineBands(player), bands) << what;
    }
}

TEST(EqWindow, TheCloseCornerHidesItAndTheMainWindowsToggleShowsItAgain) {
    RunningPlayer player;
    player.Start();
    DragSlider(player, 1, kSliderTopY);
    player.Tap(OnScreen(kCloseCorner));
    EXPECT_EQ(g_settings.EQWnd, 0);
    EXPECT_TRUE(player.Equalizer().Placement().IsEmpty());
    EXPECT_EQ(player.application.ListWindow().Placement(), (Rect{0, 100, kScreenWidth, 294}));

    player.TapMain(200, 55);  // the main window's EQ toggle
    EXPECT_EQ(g_settings.EQWnd, 1);
    EXPECT_EQ(player.Equalizer().Placement(), (Rect{0, 100, kScreenWidth, 200}));
    EXPECT_EQ(player.Equalizer().SliderPosition(1), 98) << "hidden, it kept its sliders";
}

// The power of the captured audio between two frequencies, in decibels; only
// differences between two stretches of it mean anything.
struct Spectrum {
    std::vector<int16_t> samples;
    int channels;
    int sampleRate;

    double Decibels(double lowHz, double highHz, size_t firstFrame, size_t endFrame) const {
        return 10 * std::log10(test::BandPower(samples, channels, sampleRate, lowHz, highHz, firstFrame, endFrame));
    }
};

TEST(EqWindow, RaisingBandOneWhilePlayingRaisesTheLowestFrequenciesOnly) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    player.Start({FixturePath("loud.mp3")});
    // Paced, so that the track still plays when the band moves.
    test::CapturedAudio audio(4);
    PlayerSetOutputDevice(player.Engine(), platform::WaveBackend::Capture, audio.Sink());
    player.Tap(OnScreen(kOnButton));
    // The full-scale noise is lowered by 20 dB, so that raising a band cannot clip it.
    DragSlider(player, kPreampSlider, kSliderBottomY);
    ASSERT_TRUE(player.Main().PlayEntry(0));
    player.RunUntil([&] { return audio.Milliseconds() >= 300; });
    const size_t bytesBefore = audio.Bytes().size();
    DragSlider(player, 1, kSliderTopY);  // +19.4 dB in 0 to 689 Hz
    player.RunUntil([&] { return PlayerGetStatus(player.Engine()) == PLAYER_STOPPED; });

    const std::vector<uint8_t> bytes = audio.Bytes();
    const platform::WaveFormat format = audio.Format();
    ASSERT_EQ(format.bitsPerSample, 16);
    Spectrum spectrum{std::vector<int16_t>(bytes.size() / 2), format.channels, int(format.sampleRate)};
    std::memcpy(spectrum.samples.data(), bytes.data(), spectrum.samples.size() * 2);
    const size_t frames = spectrum.samples.size() / size_t(format.channels);
    EXPECT_NEAR(double(frames) / format.sampleRate, 3.0, 0.05) << "no gap";
    EXPECT_EQ(std::count_if(spectrum.samples.begin(), spectrum.samples.end(),
                            [](int16_t sample) { return sample == 32767 || sample == -32768; }),
              0)
        << "clipped";
    // Before: what was heard before the drag, past the encoder's silent
    // start. After: the last second, well past the blocks that were queued
    // when the band moved.
    const size_t beforeStart = 2048;
    const size_t beforeEnd = bytesBefore / format.BlockAlign();
    const size_t afterStart = frames - format.sampleRate;
    const auto rise = [&](double lowHz, double highHz) {
        return spectrum.Decibels(lowHz, highHz, afterStart, frames) -
               spectrum.Decibels(lowHz, highHz, beforeStart, beforeEnd);
    };
    const double lowRise = rise(100, 550);
    const double topRise = rise(14000, 19000);
    EXPECT_NEAR(lowRise, 19.4, 1.0);
    EXPECT_NEAR(topRise, 0, 0.5);
}

void ExpectEqualizerLooksLike(RunningPlayer& player, const std::string& name) {
    test::ExpectAreaLooksLike(player.Windows().Screen(), {0, kEqualizerTop, kScreenWidth, kEqualizerTop + 100},
                              "tests/ui/eq_window/golden/" + name + ".png");
}

TEST(EqWindow, LooksAsDrawnWithTheBaseSkinAndARealSkin) {
    for (const std::string skin : {"base", "Refugee"}) {
        RunningPlayer player;
        if (skin != "base") g_settings.SkinDir = FixturePath("skin_" + skin);
        player.Start();
        ExpectEqualizerLooksLike(player, "flat_" + skin);

        player.Tap(OnScreen(kOnButton));
        player.Equalizer().ApplyPreset("Rock");
        DragSlider(player, kPreampSlider, 70);
        player.backend.Inject({InputEvent::Kind::StylusDown, OnScreen(kPresetsButton), false, 0});
        player.Windows().PumpPending();
        ExpectEqualizerLooksLike(player, "rock_presets_held_" + skin);
    }
}

TEST(PresetDialog, LooksAsDrawn) {
    RunningPlayer player;
    player.Start();
    uint64_t after = 0;
    // Far enough down the list that it scrolls.
    for (int step = 0; step < 14; ++step) player.ScheduleKey(VK_DOWN, after += 50);
    Later picture(player.Windows(), after += 50, [&] {
        test::ExpectAreaLooksLike(player.Windows().Screen(), {0, kNavigationBarHeight, kScreenWidth, kScreenHeight},
                                  "tests/ui/eq_window/golden/preset_dialog.png");
    });
    player.ScheduleKey(VK_ESCAPE, after += 50);
    player.Tap(OnScreen(kPresetsButton));
    EXPECT_EQ(EngineBands(player), kFlat);
}

}  // namespace
