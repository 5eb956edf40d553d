// The main window of the running player on the headless backend: taps,
// drags, the commands and their stop marks, titles, the clock, and how it
// looks.

#include "ui/main_window/main_window.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/ui/window_manager.h"
#include "platform/wave_volume.h"
#include "prefs/settings.h"
#include "tests/support/golden_picture.h"
#include "tests/support/later.h"
#include "tests/support/running_player.h"
#include "tests/support/watchdog.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/skin.h"
#include "ui/skin/skin_text_line.h"

namespace {

using namespace platform::ui;
using test::FixturePath;
using test::RunningPlayer;
using Pace = RunningPlayer::Pace;

// Centres of the regions in main-window pixels at 87 %.
constexpr Point kPrev{24, 84};
constexpr Point kPlay{44, 84};
constexpr Point kStop{84, 84};
constexpr Point kNext{103, 84};
constexpr Point kShuffle{163, 84};
constexpr Point kPlaylistToggle{220, 55};
constexpr int kVolumeY = 55;
constexpr int kClockX = 60;
constexpr int kClockY = 28;
constexpr Point kTitle{150, 25};
constexpr int kPositionY = 66;

TEST(MainRegions, TapsLandOnTheRegionsIncludingTheirEdges) {
    struct Case {
        Point tap;
        MainRegion region;
    };
    const Case cases[] = {
        {kPlay, MainRegion::Play},       {{34, 77}, MainRegion::Play},  // 39.08 skin units: Play, not Prev
        {{33, 77}, MainRegion::Prev},    {{118, 77}, MainRegion::None},  // the gap before Eject
        {{94, kVolumeY}, MainRegion::Volume}, {{229, kPositionY}, MainRegion::Position},
        {{230, kPositionY}, MainRegion::None}, {{kClockX, kClockY}, MainRegion::Clock},
        {kTitle, MainRegion::Title},          {{30, kClockY}, MainRegion::None},  // the play state
    };
    for (const auto& [tap, region] : cases) EXPECT_EQ(MainRegionAt(tap.x, tap.y, 87), region) << tap.x << "," << tap.y;
    EXPECT_EQ(MainCornerAt(5, 5), MainCorner::Options);
    EXPECT_EQ(MainCornerAt(230, 5), MainCorner::Close);
    EXPECT_EQ(MainCornerAt(230, 16), MainCorner::None);
}

TEST(MainWindow, DraggingTheVolumeSweepsOneToHundredAndATapLeavesIt) {
    RunningPlayer player;
    player.Start();
    player.DragMain({94, kVolumeY}, {{94, kVolumeY}});
    EXPECT_EQ(player.Main().Volume(), 1);
    player.DragMain({94, kVolumeY}, {{120, kVolumeY}, {152, kVolumeY}});
    EXPECT_EQ(player.Main().Volume(), 100);
    EXPECT_EQ(DeviceControl::GetVolumePercent(), 99) << "100 % reads back as 99 from the device";
    player.TapMain(120, kVolumeY);
    EXPECT_EQ(player.Main().Volume(), 100) << "a tap without movement";
}

TEST(MainWindow, DraggingThePositionSeeksOnceWhenLiftedAndTheClockLeavesTheHeldThumb) {
    RunningPlayer player;
    player.Start({FixturePath("cbr128.mp3")}, Pace::RealTime);
    player.TapMain(kPlay.x, kPlay.y);
    ASSERT_EQ(PlayerGetStatus(player.Engine()), PLAYER_PLAYING);
    PlayerPause(player.Engine());
    using Kind = InputEvent::Kind;
    player.backend.Inject({Kind::StylusDown, {50, kPositionY + kNavigationBarHeight}, false, 0});
    player.backend.Inject({Kind::StylusMove, {120, kPositionY + kNavigationBarHeight}, false, 0});
    player.Windows().PumpPending();
    EXPECT_EQ(player.Main().Position(), 497);
    // Held still over a few clock ticks.
    player.backend.Advance(player.Windows(), 3 * kClockTimerPeriodMs);
    EXPECT_EQ(player.Main().Position(), 497) << "the clock moved the held thumb";
    EXPECT_LT(PlayerGetPosition(player.Engine()), 1000) << "no seek while dragging";
    player.backend.Inject({Kind::StylusUp, {120, kPositionY + kNavigationBarHeight}, false, 0});
    player.Windows().PumpPending();
    EXPECT_NEAR(PlayerGetPosition(player.Engine()), 5000 * 497 / 1000, 100);
}

TEST(MainWindow, AClickOnThePositionBarSeeksThere) {
    RunningPlayer player;
    player.Start({FixturePath("cbr128.mp3")}, Pace::RealTime);
    player.TapMain(kPlay.x, kPlay.y);
    ASSERT_EQ(PlayerGetStatus(player.Engine()), PLAYER_PLAYING);
    PlayerPause(player.Engine());
    player.TapMain(120, kPositionY);
    EXPECT_EQ(player.Main().Position(), 497);
    EXPECT_NEAR(PlayerGetPosition(player.Engine()), 5000 * 497 / 1000, 100);
}

TEST(MainWindow, WhileTheVolumeIsDraggedNothingElseMovesItsThumb) {
    RunningPlayer player;
    player.Start();
    // The device's volume outlives the player: later pictures show it.
    const uint32_t before = platform::GetWaveOutVolume();
    using Kind = InputEvent::Kind;
    player.backend.Inject({Kind::StylusDown, {94, kVolumeY + kNavigationBarHeight}, false, 0});
    player.backend.Inject({Kind::StylusMove, {120, kVolumeY + kNavigationBarHeight}, false, 0});
    player.Windows().PumpPending();
    const int dragged = player.Main().Volume();
    const std::function<void()> others[] = {
        [&] { player.Main().SetVolume(dragged + 20); },
        [&] { player.Main().ReadVolumeFromDevice(); },
    };
    for (const auto& other : others) {
        DeviceControl::SetVolumePercent(dragged + 30);
        other();
        EXPECT_EQ(player.Main().Volume(), dragged);
    }
    player.backend.Inject({Kind::StylusUp, {120, kVolumeY + kNavigationBarHeight}, false, 0});
    player.Windows().PumpPending();
    player.Main().SetVolume(dragged + 20);
    EXPECT_EQ(player.Main().Volume(), dragged + 20) << "after the drag";
    platform::SetWaveOutVolume(before);
}

TEST(MainWindow, TheCloseCornerEndsThePlayer) {
    RunningPlayer player;
    player.Start();
    player.ScheduleKey(VK_ESCAPE, 100);  // closes the options sheet
    player.TapMain(5, 5);
    player.Windows().PumpPending();
    EXPECT_TRUE(player.application.Frame().Exists()) << "the options corner does not close";
    player.TapMain(230, 5);
    player.Windows().PumpPending();
    EXPECT_FALSE(player.application.Frame().Exists());
    EXPECT_TRUE(player.Windows().QuitReceived());
}

TEST(MainWindow, PlayWhilePlayingRestartsTheTrackWithoutAdvancing) {
    RunningPlayer player;
    player.Start({FixturePath("cbr128.mp3"), FixturePath("short.mp3")}, Pace::RealTime);
    player.TapMain(kPlay.x, kPlay.y);
    // The stop this causes is reported before the tap's handling ends.
    player.TapMain(kPlay.x, kPlay.y);
    EXPECT_FALSE(player.Main().Marks().PlayMark) << "lowered by the stop report";
    EXPECT_EQ(player.List().CurrentIndex, 0);
    EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_PLAYING);
}

TEST(MainWindow, StopWhileStoppedThenPlayAdvancesAtTheEndAndStopsAfterTheLast) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    player.Start({FixturePath("short.mp3"), FixturePath("id3v1.mp3")});
    player.TapMain(kStop.x, kStop.y);
    EXPECT_FALSE(player.Main().Marks().StopMark) << "no stop report follows";
    player.TapMain(kPlay.x, kPlay.y);
    player.RunUntil([&] { return player.List().CurrentIndex == 1 && PlayerGetStatus(player.Engine()) == PLAYER_STOPPED; });
    EXPECT_EQ(player.Main().TitleText(), "The Artist - Song Title");
    const size_t captured = player.CapturedBytes();
    player.Windows().PumpPending();
    EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED) << "nothing after the last with Repeat None";
    EXPECT_EQ(player.CapturedBytes(), captured);
}

TEST(MainWindow, NextOnTheLastEntryDoesNothingAndTheTrackStillEndsByTheRules) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    player.Start({FixturePath("short.mp3"), FixturePath("short.mp3")}, Pace::RealTime);
    player.List().CurrentIndex = 1;
    player.TapMain(kPlay.x, kPlay.y);
    player.TapMain(kNext.x, kNext.y);
    EXPECT_FALSE(player.Main().Marks().NextMark);
    EXPECT_EQ(player.List().CurrentIndex, 1);
    // Had Next left its mark raised, the end of the track would be taken for its stop.
    g_settings.Repeat = REPEAT_ALL;
    player.RunUntil([&] { return player.List().CurrentIndex == 0; });
}

TEST(MainWindow, AnEndReportReadAfterPlayStartedAgainIsNotTakenForTheEndOfTheNewTrack) {
    test::RunWithWatchdog(std::chrono::seconds(20), "a play after an unread end", [] {
        RunningPlayer player;
        g_settings.Repeat = REPEAT_ALL;
        player.Start({FixturePath("short.mp3"), FixturePath("cbr128.mp3")}, Pace::RealTime);
        player.TapMain(kPlay.x, kPlay.y);
        // The track ends while the loop does not run: its report waits in the queue.
        while (PlayerGetStatus(player.Engine()) != PLAYER_STOPPED) std::this_thread::yield();
        player.TapMain(kPlay.x, kPlay.y);
        EXPECT_EQ(player.List().CurrentIndex, 0) << "the tap's track plays on";
        EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_PLAYING);
    });
}

TEST(MainWindow, StudyModeSeeksInsteadOfChangingTrackAndNothingWhileStopped) {
    RunningPlayer player;
    g_settings.StudyMode = 1;
    g_settings.SeekStep = 2;
    player.Start({FixturePath("cbr128.mp3"), FixturePath("short.mp3")}, Pace::RealTime);
    player.TapMain(kNext.x, kNext.y);
    EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED);
    EXPECT_EQ(player.List().CurrentIndex, 0);
    player.TapMain(kPlay.x, kPlay.y);
    PlayerPause(player.Engine());
    player.TapMain(kNext.x, kNext.y);
    EXPECT_NEAR(PlayerGetPosition(player.Engine()), 2000, 100);
    player.TapMain(kPrev.x, kPrev.y);
    EXPECT_LT(PlayerGetPosition(player.Engine()), 100);
    EXPECT_EQ(player.List().CurrentIndex, 0);
}

TEST(MainWindow, TitleFromTheTagOrTheFileName) {
    RunningPlayer player;
    const std::vector<std::string> files = {FixturePath("id3v1.mp3"), FixturePath("short.mp3"),
                                            FixturePath("artist_only.ogg"), FixturePath("pcm.wav")};
    player.Start(files);
    const char* expected[] = {"The Artist - Song Title", "short.mp3", "Skylark - Untitled", "pcm.wav"};
    for (int32_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(player.Main().PlayEntry(i));
        EXPECT_EQ(player.Main().TitleText(), expected[i]);
        PlayerStop(player.Engine());
    }
}

TEST(MainWindow, ShuffleAndPlaylistTogglesFlipTheirSettings) {
    RunningPlayer player;
    player.Start();
    player.TapMain(kShuffle.x, kShuffle.y);
    EXPECT_EQ(g_settings.Shuffle, 1);
    player.TapMain(kPlaylistToggle.x, kPlaylistToggle.y);
    EXPECT_EQ(g_settings.PLWnd, 0);
    // Lifting on another button acts on neither.
    player.DragMain(kShuffle, {kPlay});
    EXPECT_EQ(g_settings.Shuffle, 1);
    EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED);
}

TEST(MainWindow, TheDesktopWindowShowsOnlyTheWindowsThePlaylistToggleLeaves) {
    RunningPlayer player;
    g_settings.EQWnd = 0;
    player.Start();
    struct Step {
        int shownHeight;
        const char* what;
    };
    const Step steps[] = {{kNavigationBarHeight + 100, "the main window alone"}, {kScreenHeight, "the playlist again"}};
    for (const auto& [shownHeight, what] : steps) {
        player.TapMain(kPlaylistToggle.x, kPlaylistToggle.y);
        EXPECT_EQ(player.backend.ShownHeight(), shownHeight) << what;
        EXPECT_EQ(player.application.Frame().ScreenRect().bottom, shownHeight) << what;
    }
}

// The screen shows these clock glyphs: drawing them again changes nothing.
void ExpectClock(WindowManager& windows, const std::array<int, 5>& glyphs) {
    Framebuffer expected = windows.Screen();
    DeviceContext context(expected, {0, kNavigationBarHeight}, {0, 0, kScreenWidth, kScreenHeight});
    g_skin.Scale = 87;
    PaintClock(&context, glyphs);
    EXPECT_TRUE(expected.Pixels() == windows.Screen().Pixels())
        << glyphs[0] << glyphs[1] << glyphs[2] << ":" << glyphs[3] << glyphs[4];
}

// Paused, the clock blinks: blank one tick, shown the next. A tap on it
// switches to the time left (with a minus) and back, kept in the settings.
TEST(MainWindow, TheClockShowsMinutesPastAnHourOrTheTimeLeftAndBlinksWhilePaused) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    player.Start({FixturePath("long_130min.mp3")}, Pace::RealTime);
    player.TapMain(kPlay.x, kPlay.y);
    PlayerPause(player.Engine());
    const int64_t duration = PlayerGetDuration(player.Engine());
    const auto secondsLeft = [duration](int64_t milliseconds) { return (duration - milliseconds + 999) / 1000; };
    struct Case {
        int32_t milliseconds;
        bool remaining;
        std::array<int, 5> glyphs;
    };
    const Case cases[] = {
        {(75 * 60 + 3) * 1000 + 500, false, {10, 7, 5, 0, 3}},
        {123 * 60 * 1000 + 500, false, {1, 2, 3, 0, 0}},
        {(75 * 60 + 3) * 1000 + 500, true, ClockGlyphs(secondsLeft((75 * 60 + 3) * 1000 + 500), true)},
        {1000, true, {11, 9, 9, 5, 9}},
    };
    for (const Case& test : cases) {
        if (test.remaining != g_settings.TimeRemaining) player.TapMain(kClockX, kClockY);
        ASSERT_EQ(g_settings.TimeRemaining, test.remaining);
        ASSERT_EQ(PlayerSeek(player.Engine(), test.milliseconds), 1);
        player.backend.Advance(player.Windows(), kClockTimerPeriodMs);
        ExpectClock(player.Windows(), BlankClockGlyphs());
        player.backend.Advance(player.Windows(), kClockTimerPeriodMs);
        ExpectClock(player.Windows(), test.glyphs);
    }
    PlayerStop(player.Engine());
    player.Windows().PumpPending();
    ExpectClock(player.Windows(), {10, 0, 0, 0, 0});
}

// The title's box on the screen shows its line from `offset` on.
void ExpectTitle(WindowManager& windows, const std::string& title, int offset) {
    Framebuffer expected = windows.Screen();
    DeviceContext context(expected, {0, kNavigationBarHeight}, {0, 0, kScreenWidth, kScreenHeight});
    g_skin.Scale = 87;
    SkinTextLine line;
    RenderTitle(line, title + "  ***  ");
    PaintTitle(&context, line, offset, true);
    EXPECT_TRUE(expected.Pixels() == windows.Screen().Pixels()) << "offset " << offset;
}

// A title longer than its box scrolls a pixel a step while it plays, and
// holds still while paused; a tap on it stops the scrolling and starts it
// again, kept in the settings.
TEST(MainWindow, ALongTitleScrollsWhilePlayingAndATapStopsAndStartsIt) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    const std::string name = "A title far too long for the box it is shown in";
    const std::string path = player.Home() + "/" + name + ".mp3";
    std::filesystem::copy_file(FixturePath("long_130min.mp3"), path);
    player.Start({path}, Pace::RealTime);
    player.TapMain(kPlay.x, kPlay.y);
    player.RunUntil([&] { return player.Main().TitleScrolls(); });
    ASSERT_EQ(player.Main().TitleText(), name + ".mp3");
    const int start = player.Main().TitleOffset();
    player.backend.Advance(player.Windows(), 3 * kTitleScrollPeriodMs);
    EXPECT_EQ(player.Main().TitleOffset(), start + 3);
    ExpectTitle(player.Windows(), name + ".mp3", start + 3);

    PlayerPause(player.Engine());
    player.RunUntil([&] { return !player.Main().TitleScrolls(); });
    player.backend.Advance(player.Windows(), 3 * kTitleScrollPeriodMs);
    EXPECT_EQ(player.Main().TitleOffset(), start + 3) << "paused, the title holds still";
    PlayerPause(player.Engine());
    player.RunUntil([&] { return player.Main().TitleScrolls(); });

    // A minimized desktop window stops the scrolling at its next step; shown
    // again, it is painted anew and scrolls on.
    player.backend.SetWindowShown(false);
    player.backend.Advance(player.Windows(), 3 * kTitleScrollPeriodMs);
    EXPECT_FALSE(player.Main().TitleScrolls());
    player.backend.SetWindowShown(true);
    player.Windows().PumpPending();
    EXPECT_TRUE(player.Main().TitleScrolls());

    player.TapMain(kTitle.x, kTitle.y);
    EXPECT_FALSE(g_settings.ScrollTitle);
    EXPECT_FALSE(player.Main().TitleScrolls());
    EXPECT_EQ(player.Main().TitleOffset(), 0);
    player.TapMain(kTitle.x, kTitle.y);
    EXPECT_TRUE(g_settings.ScrollTitle);
    EXPECT_TRUE(player.Main().TitleScrolls());
    PlayerStop(player.Engine());
    player.RunUntil([&] { return !player.Main().TitleScrolls(); });
}

// The wheel over the position bar seeks a step a notch; elsewhere on the
// main window it sets the volume.
TEST(MainWindow, TheWheelSeeksOverThePositionBarAndSetsTheVolumeElsewhere) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    player.Start({FixturePath("long_130min.mp3")}, Pace::RealTime);
    player.TapMain(kPlay.x, kPlay.y);
    PlayerPause(player.Engine());
    const auto turn = [&player](Point point, int notches) {
        player.backend.Inject({.kind = InputEvent::Kind::Wheel, .point = {point.x, point.y + kNavigationBarHeight},
                               .wheelNotches = notches});
        player.Windows().PumpPending();
    };
    const uint32_t deviceLevel = platform::GetWaveOutVolume();
    player.Main().SetVolume(50);
    const int volume = player.Main().Volume();
    turn({150, 30}, 2);
    EXPECT_EQ(player.Main().Volume(), volume + 10);
    turn({150, 30}, -1);
    EXPECT_EQ(player.Main().Volume(), volume + 5);
    const int32_t before = PlayerGetPosition(player.Engine());
    turn({120, kPositionY}, 2);
    player.RunUntil([&] { return PlayerGetPosition(player.Engine()) >= before + 2 * g_settings.SeekStep * 1000; });
    EXPECT_EQ(player.Main().Volume(), volume + 5) << "over the bar the wheel only seeks";
    platform::SetWaveOutVolume(deviceLevel);  // the device outlives the test
}

TEST(MainWindow, PlayOnAnEmptyListAddsTheChosenFilesAndPlaysThemInTurn) {
    RunningPlayer player;
    g_settings.Repeat = REPEAT_NONE;
    const std::string music = player.Home() + "/music";
    std::filesystem::create_directory(music);
    std::filesystem::copy_file(FixturePath("short.mp3"), music + "/a.mp3");
    std::filesystem::copy_file(FixturePath("id3v1.mp3"), music + "/b.mp3");
    g_settings.LastDir = music;
    player.Start();
    // In the "Add File" dialog: tick both files from the keyboard, then OK.
    uint64_t after = 50;
    for (uint32_t key : {VK_DOWN, VK_SPACE, VK_DOWN, VK_SPACE, VK_RETURN}) player.ScheduleKey(key, after += 50);
    player.TapMain(kPlay.x, kPlay.y);
    ASSERT_EQ(player.List().Count(), 2);
    EXPECT_EQ(player.List().Entries()[1].Path, music + "/b.mp3");
    player.RunUntil([&] { return player.List().CurrentIndex == 1 && PlayerGetStatus(player.Engine()) == PLAYER_STOPPED; });
    EXPECT_EQ(player.Main().TitleText(), "The Artist - Song Title");
    const size_t captured = player.CapturedBytes();
    player.Windows().PumpPending();
    EXPECT_EQ(player.CapturedBytes(), captured) << "stopped after the second";
}

// The main window's pixels against a picture kept beside this test.
void ExpectMainWindowLooksLike(const WindowManager& windows, const std::string& name) {
    test::ExpectAreaLooksLike(const_cast<WindowManager&>(windows).Screen(),
                              {0, kNavigationBarHeight, kScreenWidth, kNavigationBarHeight + 100},
                              "tests/ui/main_window/golden/" + name + ".png");
}

TEST(MainWindow, LooksAsDrawnWithTheBaseSkinAndARealSkin) {
    for (const std::string skin : {"base", "Refugee"}) {
        RunningPlayer player;
        g_settings.Repeat = REPEAT_NONE;
        if (skin != "base") g_settings.SkinDir = FixturePath("skin_" + skin);
        player.Start({FixturePath("id3v1.mp3")});
        ExpectMainWindowLooksLike(player.Windows(), "started_" + skin);

        ASSERT_TRUE(player.List().OpenEntry(player.Engine(), 0));
        player.TapMain(kShuffle.x, kShuffle.y);
        player.DragMain({94, kVolumeY}, {{135, kVolumeY}});
        player.backend.Inject({InputEvent::Kind::StylusDown, {kPlay.x, kPlay.y + kNavigationBarHeight}, false, 0});
        player.Windows().PumpPending();
        ExpectMainWindowLooksLike(player.Windows(), "track_play_held_" + skin);
    }
}

// Without a sound device, or with one that stops playing by itself (a
// capture whose file cannot be written, as a sound server that goes away),
// Play says so and why in a message box and stops there; the player goes on
// working, and Play tries again each time.
TEST(MainWindow, PlayWithoutAWorkingSoundDeviceSaysSoAndTheWindowGoesOn) {
    const struct {
        const char* audio;
        const char* sdlDriver;
    } devices[] = {{"sdl", "no-such-driver"}, {"capture:/dev/full", nullptr}};
    for (const auto& device : devices) {
        SCOPED_TRACE(device.audio);
        setenv("TUNELARK_AUDIO", device.audio, 1);
        if (device.sdlDriver != nullptr) setenv("SDL_AUDIODRIVER", device.sdlDriver, 1);
        RunningPlayer player;
        player.Start({FixturePath("short.mp3"), FixturePath("cbr128.mp3")});
        int told = 0;
        for (int round = 1; round <= 2; ++round) {
            const auto answer = player.AnswerNextMessageBox(told);
            player.TapMain(kPlay.x, kPlay.y);
            player.RunUntil([&] { return told == round; });
            EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED);
            EXPECT_EQ(PlayerDeviceFailed(player.Engine()), 1);
            EXPECT_EQ(player.List().CurrentIndex, 0) << "the next entry is not tried";
        }
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("TUNELARK_AUDIO");
        EXPECT_EQ(player.List().Count(), 2);
    }
}

// A pipe in the list is refused at once, with a message, not waited on.
TEST(MainWindow, PlayingAPipeSaysItCannotPlay) {
    test::TemporaryFile directory({});
    const std::string pipe = directory.Directory() + "/music.ogg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // The whole player runs under the watchdog, as an open that waited on
    // the pipe would never return.
    test::RunWithWatchdog(std::chrono::seconds(30), "playing a pipe", [&] {
        RunningPlayer player;
        player.Start({pipe});
        int told = 0;
        const auto answer = player.AnswerNextMessageBox(told);
        player.TapMain(kPlay.x, kPlay.y);
        player.RunUntil([&] { return told == 1; });
        EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED);
    });
}

}  // namespace
