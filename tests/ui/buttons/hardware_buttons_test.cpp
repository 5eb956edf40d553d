// The hardware buttons on the running player: the multi-function counter and
// its clicks, the hold rule, the volume steps and the release on focus loss.

#include "ui/buttons/hardware_buttons.h"

#include <gtest/gtest.h>

#include "platform/ui/window_manager.h"
#include "prefs/button_functions.h"
#include "prefs/settings.h"
#include "tests/support/running_player.h"

namespace {

using namespace platform::ui;
using test::FixturePath;
using test::RunningPlayer;

constexpr int32_t kNextCode = 5;
constexpr int32_t kVolumeUpCode = 8;
constexpr int32_t kVolumeDownCode = 9;
constexpr int32_t kScreenToggleCode = 10;
constexpr int32_t kNextSlotCode = 20;

int g_clicks = 0;

// Counts the clicks instead of playing them, for one test.
class CountedClicks {
public:
    CountedClicks() {
        g_clicks = 0;
        g_playClickSound = [] { ++g_clicks; };
    }
    ~CountedClicks() { g_playClickSound = saved_; }

private:
    void (*saved_)() = g_playClickSound;
};

// A stopped player on the middle of three entries, so Prev and Next show
// as the current entry moving.
void StartOnTheMiddleEntry(RunningPlayer& player) {
    const std::string track = FixturePath("short.mp3");
    player.Start({track, track, track});
    player.List().CurrentIndex = 1;
}

// Presses the key at each offset from now, in milliseconds.
void PressAt(RunningPlayer& player, uint32_t virtualKey, std::initializer_list<uint64_t> offsets) {
    const uint64_t start = player.backend.NowMs();
    for (uint64_t offset : offsets) player.backend.PressKey(virtualKey, start + offset);
}

TEST(MultiFunction, ThreeQuickPressesRunTheThirdSlotAfterThreeClicks) {
    CountedClicks clicks;
    RunningPlayer player;
    g_settings.MapCenter = kMultiFunctionCode;
    StartOnTheMiddleEntry(player);
    PressAt(player, VK_RETURN, {0, 250, 550});
    player.backend.Advance(player.Windows(), 550 + 700);
    EXPECT_EQ(player.List().CurrentIndex, 1) << "still counting";
    EXPECT_EQ(g_clicks, 0);
    player.backend.Advance(player.Windows(), 100);
    EXPECT_EQ(player.List().CurrentIndex, 0) << "Prev, the third slot";
    EXPECT_EQ(g_clicks, 3);
    EXPECT_GT(player.Windows().NextTimerDue(), player.backend.NowMs() + 1000) << "no tick while idle";
}

TEST(MultiFunction, SixPressesRunNothingAndTheCountStartsAgain) {
    CountedClicks clicks;
    RunningPlayer player;
    g_settings.MapCenter = kMultiFunctionCode;
    g_settings.MultiFunc1 = kNextSlotCode;
    g_settings.UseSound = false;
    StartOnTheMiddleEntry(player);
    PressAt(player, VK_RETURN, {0, 100, 200, 300, 400, 500});
    player.backend.Advance(player.Windows(), 2000);
    EXPECT_EQ(player.List().CurrentIndex, 1);
    PressAt(player, VK_RETURN, {0});
    player.backend.Advance(player.Windows(), 1000);
    EXPECT_EQ(player.List().CurrentIndex, 2) << "one press: Next";
    EXPECT_EQ(g_clicks, 0) << "no sound without UseSound";
}

TEST(HardwareButtons, WithTheScreenHeldOffOnlyMediaKeysAndWakingGetThrough) {
    struct Case {
        int32_t Settings::*mapping;
        uint32_t virtualKey;
        int32_t code;
        int32_t currentAfter;
        bool screenOnAfter;
    };
    const Case cases[] = {
        {&Settings::MapCenter, VK_RETURN, kNextCode, 1, false},
        {&Settings::MapLxNext, VK_MEDIA_NEXT_TRACK, kNextCode, 2, false},
        {&Settings::Map01, VK_APP1, kScreenToggleCode, 1, true},
    };
    for (const auto& [mapping, virtualKey, code, currentAfter, screenOnAfter] : cases) {
        RunningPlayer player;
        g_settings.ButtonHold = true;
        g_settings.*mapping = code;
        StartOnTheMiddleEntry(player);
        player.application.Device().ToggleScreen();
        ASSERT_TRUE(player.application.Device().ScreenIsOff());
        player.backend.PressKey(virtualKey);
        player.Windows().PumpPending();
        EXPECT_EQ(player.List().CurrentIndex, currentAfter) << virtualKey;
        EXPECT_EQ(player.Windows().DisplayPowerOn(), screenOnAfter) << virtualKey;
    }
}

TEST(HardwareButtons, VolumeStepsStopAtTheEnds) {
    struct Case {
        int start;
        int32_t code;
        int expected;
    };
    const Case cases[] = {{98, kVolumeUpCode, 100}, {5, kVolumeDownCode, 0}};
    RunningPlayer player;
    g_settings.VolUpStep = 3;
    g_settings.VolDownStep = 10;
    player.Start();
    for (const auto& [start, code, expected] : cases) {
        player.Main().SetVolume(start);
        RunButtonFunction(player.application, 0, code);
        EXPECT_EQ(player.Main().Volume(), expected) << start;
    }
    EXPECT_EQ(DeviceControl::GetVolumePercent(), 0) << "applied to the device";
}

TEST(HardwareButtons, LosingFocusWithUnMapKeepsOnlyTheMediaKeys) {
    RunningPlayer player;
    g_settings.Map01 = kVolumeUpCode;
    g_settings.MapLxNext = kVolumeDownCode;
    player.Start();
    player.Main().SetVolume(50);
    player.Windows().SetFocus(nullptr);
    player.backend.PressKey(VK_APP1);
    player.Windows().PumpPending();
    EXPECT_EQ(player.Main().Volume(), 50) << "Button 1 released";
    player.backend.PressKey(VK_MEDIA_NEXT_TRACK);
    player.Windows().PumpPending();
    EXPECT_EQ(player.Main().Volume(), 40) << "Loox Next still claimed";

    player.Windows().SetFocus(&player.application.Frame());
    const int regained = player.Main().Volume();
    player.backend.PressKey(VK_APP1);
    player.Windows().PumpPending();
    EXPECT_EQ(player.Main().Volume(), regained + 3) << "claimed again with the focus";
}

}  // namespace
