// The shell on the headless backend: layout, volume, display power and the
// shutdown order.

#include "ui/shell/application.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/ui/ui_backend_headless.h"
#include "platform/wave_volume.h"
#include "prefs/settings.h"
#include "tests/support/fixtures.h"
#include "ui/skin/skin.h"

namespace {

using namespace platform::ui;

TEST(ShellLayout, EqualizerAndPlaylistShownOrHiddenAndTheFrameFitsThem) {
    HeadlessBackend backend;
    WindowManager windows(backend);
    Window frame("Tunelark"), mainWindow("Tunelark_MN"), equalizer("Tunelark_EQ"), playlist("Tunelark_PL");
    ASSERT_TRUE(windows.CreateWindow(frame, nullptr, "Tunelark", {0, 26, 240, 320}, true));
    for (Window* child : {&mainWindow, &equalizer, &playlist}) {
        ASSERT_TRUE(windows.CreateWindow(*child, &frame, "", {}, true));
    }
    LayoutWindows(windows, true, true, &frame, &mainWindow, &equalizer, &playlist);
    EXPECT_EQ(mainWindow.Placement(), (Rect{0, 0, 240, 100}));
    EXPECT_EQ(equalizer.Placement(), (Rect{0, 100, 240, 200}));
    EXPECT_EQ(playlist.Placement(), (Rect{0, 200, 240, 294}));
    EXPECT_EQ(playlist.ScreenRect(), (Rect{0, 226, 240, 320}));
    EXPECT_EQ(frame.Placement(), (Rect{0, 26, 240, 320}));

    LayoutWindows(windows, false, true, &frame, &mainWindow, &equalizer, &playlist);
    EXPECT_EQ(equalizer.Placement(), (Rect{0, 0, 0, 0})) << "hidden at zero size";
    EXPECT_EQ(playlist.Placement(), (Rect{0, 100, 240, 294})) << "y 100, height 194";
    EXPECT_TRUE(playlist.Exists()) << "moved, not recreated";

    LayoutWindows(windows, false, false, &frame, &mainWindow, &equalizer, &playlist);
    EXPECT_EQ(playlist.Placement(), (Rect{0, 0, 0, 0})) << "the playlist hidden at zero size";
    EXPECT_EQ(mainWindow.Placement(), (Rect{0, 0, 240, 100}));
    EXPECT_EQ(frame.Placement(), (Rect{0, 26, 240, 126})) << "the frame ends below the main window";

    LayoutWindows(windows, true, false, &frame, &mainWindow, &equalizer, &playlist);
    EXPECT_EQ(frame.Placement(), (Rect{0, 26, 240, 226})) << "and below the equalizer when it shows";
}

TEST(ShellDevice, VolumePercentages) {
    test::TemporaryFile directory({});
    setenv("TUNELARK_HOME", directory.Directory().c_str(), 1);
    struct Case {
        int32_t percent;
        uint32_t level;
        int32_t readBack;
    };
    const Case cases[] = {{100, 65534, 99}, {50, 32767, 49}, {20, 13107, 20}, {0, 0, 0}};
    for (const auto& [percent, level, readBack] : cases) {
        DeviceControl::SetVolumePercent(percent);
        EXPECT_EQ(platform::GetWaveOutVolume(), level | (level << 16)) << percent;
        EXPECT_EQ(DeviceControl::GetVolumePercent(), readBack) << percent;
    }
    platform::SetWaveOutVolume(0xFFFFFFFF);
    EXPECT_EQ(DeviceControl::GetVolumePercent(), 100);
    unsetenv("TUNELARK_HOME");
}

TEST(ShellDevice, DisplayToggleByEitherMethodAndBackOn) {
    HeadlessBackend backend;
    WindowManager windows(backend);
    Settings settings;
    DeviceControl device(windows, settings);
    device.ToggleScreen();
    EXPECT_FALSE(windows.DisplayPowerOn());
    EXPECT_TRUE(device.ScreenIsOff());
    device.ScreenBackOn();
    EXPECT_TRUE(windows.DisplayPowerOn());

    settings.UseDiffScr = true;
    device.ToggleScreen();
    EXPECT_FALSE(settings.ScreenOn);
    EXPECT_EQ(g_alternativePowerState, kVideoPowerOff);
    EXPECT_TRUE(device.ScreenIsOff());
    device.ScreenBackOn();
    EXPECT_TRUE(settings.ScreenOn);
    EXPECT_TRUE(windows.DisplayPowerOn());
}

// Runs the player until Ctrl+Q, waiting on the headless clock for the
// player's loop, closes it in order.
int RunUntilClosed(Application& application, HeadlessBackend& backend) {
    backend.PressKey('Q', 0, platform::ui::MOD_CONTROL);
    return application.Run(backend);
}

// The player leaves its engine to the end of the process; a test that runs
// it twice ends the first one itself.
void DestroyEngine() {
    PlayerDestroy(g_settings.Engine);
    g_settings.Engine = nullptr;
}

TEST(ShellRun, StartsWithTheSavedSkinOrFallsBackToTheBaseSkin) {
    test::TemporaryFile directory({});
    setenv("TUNELARK_HOME", directory.Directory().c_str(), 1);
    const std::string skin = test::FixturePath("skin_Refugee");
    g_settings.SkinDir = skin;
    SaveSettings();
    {
        HeadlessBackend backend;
        Application application;
        EXPECT_EQ(RunUntilClosed(application, backend), 0);
    }
    DestroyEngine();
    EXPECT_FALSE(g_skin.IsBaseSkin);
    EXPECT_EQ(g_skin.NormalColor, 0x00FF9924u);
    EXPECT_EQ(g_settings.SkinDir, skin);

    g_settings.SkinDir = directory.Directory() + "/gone";
    SaveSettings();
    {
        HeadlessBackend backend;
        Application application;
        EXPECT_EQ(RunUntilClosed(application, backend), 0);
    }
    DestroyEngine();
    EXPECT_TRUE(g_skin.IsBaseSkin);
    EXPECT_NE(g_skin.MainBmp, nullptr);
    EXPECT_EQ(g_skin.NormalColor, kDefaultNormalColor);
    EXPECT_EQ(g_settings.SkinDir, kBaseSkinDir);
    ReleaseSkinBitmaps();
    unsetenv("TUNELARK_HOME");
}

TEST(ShellRun, ClosingTheFrameSavesTheSettingsAndQuits) {
    test::TemporaryFile directory({});
    setenv("TUNELARK_HOME", directory.Directory().c_str(), 1);
    HeadlessBackend backend;
    Application application;
    EXPECT_EQ(RunUntilClosed(application, backend), 0);
    EXPECT_TRUE(std::filesystem::exists(directory.Directory() + "/registry.txt")) << "settings saved at shutdown";
    EXPECT_FALSE(application.Frame().Exists());
    unsetenv("TUNELARK_HOME");
}

}  // namespace
