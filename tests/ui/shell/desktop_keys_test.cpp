// The desktop's keys on the running player: each does its command, and a
// key mapped to a hardware button's function does that function only.

#include "ui/shell/desktop_keys.h"

#include <functional>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "prefs/button_functions.h"
#include "prefs/settings.h"
#include "tests/support/later.h"
#include "tests/support/running_player.h"

namespace {

using namespace platform::ui;
using test::FixturePath;
using test::RunningPlayer;
using Pace = RunningPlayer::Pace;

constexpr int kStartVolume = 50;
constexpr int64_t kSeekMs = 5000;
constexpr int64_t kSlackMs = 1000;

struct KeyCase {
    const char* what;
    uint32_t key;
    uint32_t modifiers;
    bool playing;                              // the long track plays before the key
    std::function<void()> prepare;             // settings to change before the start
    std::function<void(RunningPlayer&)> check;  // what the key did
};

PlayerStatus Status(RunningPlayer& player) { return PlayerGetStatus(player.Engine()); }
int64_t Position(RunningPlayer& player) { return PlayerGetPosition(player.Engine()); }

TEST(DesktopKeys, EachKeyDoesItsCommandAndAMappedKeyOnlyItsFunction) {
    const KeyCase cases[] = {
        {"Space while stopped plays", VK_SPACE, 0, false, {},
         [](RunningPlayer& p) { EXPECT_EQ(Status(p), PLAYER_PLAYING); }},
        {"Space while playing pauses", VK_SPACE, 0, true, {},
         [](RunningPlayer& p) { EXPECT_EQ(Status(p), PLAYER_PAUSED); }},
        {"Right seeks forward", VK_RIGHT, 0, true, {},
         [](RunningPlayer& p) { EXPECT_NEAR(Position(p), kSeekMs, kSlackMs); }},
        {"Left seeks back", VK_LEFT, 0, true, [] { g_settings.SeekStep = 1; },
         [](RunningPlayer& p) { EXPECT_LT(Position(p), kSlackMs); }},
        {"Up raises the volume", VK_UP, 0, false, {},
         [](RunningPlayer& p) { EXPECT_EQ(p.Main().Volume(), kStartVolume + kVolumeKeyStep); }},
        {"Down lowers the volume", VK_DOWN, 0, false, {},
         [](RunningPlayer& p) { EXPECT_EQ(p.Main().Volume(), kStartVolume - kVolumeKeyStep); }},
        {"Ctrl+Q closes the player in order", 'Q', MOD_CONTROL, true, {},
         [](RunningPlayer& p) {
             EXPECT_FALSE(p.application.Frame().Exists());
             EXPECT_TRUE(p.Windows().QuitReceived());
         }},
        {"Q alone does nothing", 'Q', 0, true, {},
         [](RunningPlayer& p) { EXPECT_TRUE(p.application.Frame().Exists()); }},
        {"Ctrl+Space is not Space", VK_SPACE, MOD_CONTROL, true, {},
         [](RunningPlayer& p) { EXPECT_EQ(Status(p), PLAYER_PLAYING); }},
        {"Right mapped to Next goes to the next track", VK_RIGHT, 0, true, [] { g_settings.MapRight = kNextCode; },
         [](RunningPlayer& p) {
             EXPECT_EQ(p.List().CurrentIndex, 1);
             EXPECT_LT(Position(p), kSlackMs) << "and does not seek";
         }},
        {"Up mapped to Volume Down lowers by its step", VK_UP, 0, false, [] { g_settings.MapUp = kVolumeDownCode; },
         [](RunningPlayer& p) { EXPECT_EQ(p.Main().Volume(), kStartVolume - g_settings.VolDownStep); }},
        {"Left mapped to Stop stops", VK_LEFT, 0, true, [] { g_settings.MapLeft = kStopCode; },
         [](RunningPlayer& p) { EXPECT_EQ(Status(p), PLAYER_STOPPED); }},
    };
    for (const KeyCase& each : cases) {
        RunningPlayer player;
        if (each.prepare) each.prepare();
        player.Start({FixturePath("long_130min.mp3"), FixturePath("cbr128.mp3")}, Pace::RealTime);
        player.Main().SetVolume(kStartVolume);
        if (each.playing) player.Main().PlayAction();
        player.PressKey(each.key, each.modifiers);
        SCOPED_TRACE(each.what);
        each.check(player);
    }
}

TEST(DesktopKeys, CtrlOOpensAddFile) {
    RunningPlayer player;
    player.Start();
    std::string dialogTitle;
    test::Later look(player.Windows(), 100, [&] { dialogTitle = player.Windows().Focus()->Title(); });
    player.ScheduleKey(VK_ESCAPE, 200);
    player.PressKey('O', MOD_CONTROL);
    EXPECT_EQ(dialogTitle, "Add File");
    EXPECT_EQ(player.Windows().Focus(), &player.application.Frame()) << "the keyboard is the player's again";
}

TEST(DesktopKeys, KeysInADialogAreTheDialogs) {
    RunningPlayer player;
    player.Start({FixturePath("long_130min.mp3")}, Pace::RealTime);
    player.ScheduleKey(VK_SPACE, 100);
    player.ScheduleKey(VK_ESCAPE, 200);
    player.PressKey('O', MOD_CONTROL);
    EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED) << "Space ticked a file in the dialog instead";
}

}  // namespace
