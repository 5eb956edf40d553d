// Next, Prev and the end-of-track rule, driving a real engine over the null
// device (real time, so a started track keeps playing through a case) and the
// capture device (no pacing, so a track ends at once).

#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/recording_window.h"
#include "playlist/stop_marks.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/playlist_test_support.h"
#include "tests/support/waiting.h"

namespace {

using Paths = std::vector<std::string>;

// Fixture names: five-second tracks, and a file that does not open.
const Paths kThree = {"cbr128.mp3", "cbr128_noinfo.mp3", "vbr.mp3"};
const Paths kMiddleBad = {"cbr128.mp3", "garbage.bin", "vbr.mp3"};

enum class Engine { Stopped, Loaded, Playing, Paused };

// One engine, list and recording view in a given state.
struct Rig {
    Rig(const Paths& fixtures, int32_t current, Engine state,
        platform::WaveBackend backend = platform::WaveBackend::Null) : engine(PlayerCreate()) {
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), backend);
        for (const std::string& name : fixtures) playlist.Insert(test::FixturePath(name), -1);
        playlist.CurrentIndex = current;
        playlist.SetView(&view);
        // Which track is loaded does not matter to the rules, only the status.
        if (state != Engine::Stopped) {
            EXPECT_EQ(PlayerOpen(engine.get(), test::FixturePath("cbr128.mp3")), 1);
        }
        if (state == Engine::Playing || state == Engine::Paused) {
            EXPECT_EQ(PlayerPlay(engine.get()), 1);
        }
        if (state == Engine::Paused) PlayerPause(engine.get());
    }
    PlayerStatus Status() { return PlayerGetStatus(engine.get()); }
    // What was asked of the main window.
    Paths Actions() const {
        Paths actions = view.CallsStartingWith("ShowTrack");
        for (const std::string& call : view.calls) {
            if (call == "Stop") actions.push_back(call);
        }
        return actions;
    }

    platform::RecordingWindow window;
    test::EngineHandle engine;
    test::RecordingView view;
    Playlist playlist;
};

struct MoveCase {
    const char* name;
    Paths entries;
    int32_t current;
    Engine state;
    int32_t repeat;
    int32_t expectedCurrent;
    Paths expectedActions;
    PlayerStatus expectedStatus;
    bool expectedClosed;
};

void RunMoveCases(const std::vector<MoveCase>& cases, bool previous) {
    for (const MoveCase& c : cases) {
        Rig rig(c.entries, c.current, c.state);
        const PlaylistModes modes{c.repeat, true};  // Shuffle never matters here
        const bool closed = previous ? rig.playlist.PrevEntry(rig.engine.get(), modes)
                                     : rig.playlist.NextEntry(rig.engine.get(), modes);
        EXPECT_EQ(closed, c.expectedClosed) << c.name;
        EXPECT_EQ(rig.playlist.CurrentIndex, c.expectedCurrent) << c.name;
        EXPECT_EQ(rig.Actions(), c.expectedActions) << c.name;
        EXPECT_EQ(rig.Status(), c.expectedStatus) << c.name;
        const Paths repaints = c.current == c.expectedCurrent
            ? Paths{}
            : Paths{"RepaintRow " + std::to_string(c.current), "RepaintRow " + std::to_string(c.expectedCurrent)};
        EXPECT_EQ(rig.view.CallsStartingWith("RepaintRow"), repaints) << c.name;
        EXPECT_EQ(rig.view.calls.back(), previous ? "EnsureCurrentVisible prev" : "EnsureCurrentVisible") << c.name;
    }
}

TEST(PlaylistNavigation, NextEntry) {
    RunMoveCases({
        {"playing", kThree, 0, Engine::Playing, REPEAT_NONE, 1, {"ShowTrack 1"}, PLAYER_PLAYING, true},
        {"paused", kThree, 1, Engine::Paused, REPEAT_NONE, 2, {"ShowTrack 2"}, PLAYER_PLAYING, true},
        {"last, None", kThree, 2, Engine::Playing, REPEAT_NONE, 2, {}, PLAYER_PLAYING, false},
        {"last, None, paused", kThree, 2, Engine::Paused, REPEAT_NONE, 2, {}, PLAYER_PAUSED, false},
        {"last, All", kThree, 2, Engine::Playing, REPEAT_ALL, 0, {"ShowTrack 0"}, PLAYER_PLAYING, true},
        {"last, One", kThree, 2, Engine::Playing, REPEAT_ONE, 0, {"ShowTrack 0"}, PLAYER_PLAYING, true},
        {"open fails", kMiddleBad, 0, Engine::Playing, REPEAT_ALL, 1, {}, PLAYER_STOPPED, true},
        {"current removed from the front", kThree, -1, Engine::Playing, REPEAT_NONE, 0, {"ShowTrack 0"}, PLAYER_PLAYING, true},
        {"current past the end", kThree, 7, Engine::Playing, REPEAT_ALL, 0, {"ShowTrack 0"}, PLAYER_PLAYING, true},
        {"empty list, All", {}, -1, Engine::Playing, REPEAT_ALL, -1, {}, PLAYER_PLAYING, false},
        {"stopped", kThree, 1, Engine::Stopped, REPEAT_NONE, 2, {}, PLAYER_STOPPED, false},
        {"stopped, loaded", kThree, 0, Engine::Loaded, REPEAT_NONE, 1, {}, PLAYER_STOPPED, false},
        {"stopped at the last wraps", kThree, 2, Engine::Stopped, REPEAT_NONE, 0, {}, PLAYER_STOPPED, false},
        {"stopped, none current", kThree, -1, Engine::Stopped, REPEAT_NONE, 0, {}, PLAYER_STOPPED, false},
    }, false);
}

TEST(PlaylistNavigation, PrevEntry) {
    RunMoveCases({
        {"playing", kThree, 2, Engine::Playing, REPEAT_NONE, 1, {"ShowTrack 1"}, PLAYER_PLAYING, true},
        {"paused", kThree, 1, Engine::Paused, REPEAT_NONE, 0, {"ShowTrack 0"}, PLAYER_PLAYING, true},
        {"first, None", kThree, 0, Engine::Playing, REPEAT_NONE, 0, {}, PLAYER_PLAYING, false},
        {"first, All", kThree, 0, Engine::Playing, REPEAT_ALL, 2, {"ShowTrack 2"}, PLAYER_PLAYING, true},
        {"none current, One", kThree, -1, Engine::Playing, REPEAT_ONE, 2, {"ShowTrack 2"}, PLAYER_PLAYING, true},
        {"open fails", kMiddleBad, 2, Engine::Playing, REPEAT_NONE, 1, {}, PLAYER_STOPPED, true},
        {"current past the end", kThree, 7, Engine::Playing, REPEAT_NONE, 2, {"ShowTrack 2"}, PLAYER_PLAYING, true},
        {"stopped", kThree, 1, Engine::Stopped, REPEAT_NONE, 0, {}, PLAYER_STOPPED, false},
        {"stopped at the first wraps", kThree, 0, Engine::Loaded, REPEAT_NONE, 2, {}, PLAYER_STOPPED, false},
        {"stopped, none current", kThree, -1, Engine::Stopped, REPEAT_NONE, 2, {}, PLAYER_STOPPED, false},
        {"stopped, empty list", {}, 0, Engine::Stopped, REPEAT_ALL, -1, {}, PLAYER_STOPPED, false},
    }, true);
}

// The end of a track: the loaded entry has stopped and is rewound.
TEST(PlaylistNavigation, AdvanceAtEndOfTrack) {
    const struct {
        const char* name;
        Paths entries;
        int32_t current;
        PlaylistModes modes;
        int32_t expectedCurrent;
        Paths expectedActions;
        PlayerStatus expectedStatus;
    } cases[] = {
        {"next, None", kThree, 0, {REPEAT_NONE, false}, 1, {"ShowTrack 1"}, PLAYER_PLAYING},
        {"next, All", kThree, 1, {REPEAT_ALL, false}, 2, {"ShowTrack 2"}, PLAYER_PLAYING},
        {"One replays", kThree, 1, {REPEAT_ONE, false}, 1, {}, PLAYER_PLAYING},
        {"One replays at the last", kThree, 2, {REPEAT_ONE, true}, 2, {}, PLAYER_PLAYING},
        {"last, None stops", kThree, 2, {REPEAT_NONE, false}, 2, {"Stop"}, PLAYER_STOPPED},
        {"last, None stops even shuffled", kThree, 2, {REPEAT_NONE, true}, 2, {"Stop"}, PLAYER_STOPPED},
        {"last, All wraps", kThree, 2, {REPEAT_ALL, false}, 0, {"ShowTrack 0"}, PLAYER_PLAYING},
        {"open fails", kMiddleBad, 0, {REPEAT_ALL, false}, 0, {}, PLAYER_STOPPED},
        {"current removed from the front", kThree, -1, {REPEAT_NONE, false}, 0, {"ShowTrack 0"}, PLAYER_PLAYING},
        {"single entry, Shuffle and All", {"cbr128.mp3"}, 0, {REPEAT_ALL, true}, 0, {"ShowTrack 0"}, PLAYER_PLAYING},
    };
    for (const auto& c : cases) {
        Rig rig(c.entries, c.current, Engine::Loaded);
        rig.playlist.ShowCurrent = false;
        StopMarks marks;
        rig.playlist.AdvanceAtEndOfTrack(rig.engine.get(), c.modes, marks);
        EXPECT_TRUE(rig.playlist.ShowCurrent) << c.name;
        EXPECT_EQ(rig.playlist.CurrentIndex, c.expectedCurrent) << c.name;
        EXPECT_EQ(rig.Actions(), c.expectedActions) << c.name;
        EXPECT_EQ(rig.Status(), c.expectedStatus) << c.name;
        EXPECT_EQ(rig.view.calls.back(), "EnsureCurrentVisible") << c.name;
    }
}

TEST(PlaylistNavigation, AdvanceWithShuffleNeverRedrawsTheCurrentEntry) {
    for (const unsigned seed : {1u, 5u, 42u, 999u}) {
        for (const int32_t current : {0, 2}) {
            std::srand(seed);
            Rig rig(kThree, current, Engine::Loaded);
            StopMarks marks;
            rig.playlist.AdvanceAtEndOfTrack(rig.engine.get(), {REPEAT_ALL, true}, marks);
            const int32_t drawn = rig.playlist.CurrentIndex;
            EXPECT_NE(drawn, current) << "seed " << seed;
            EXPECT_GE(drawn, 0);
            EXPECT_LT(drawn, 3);
            EXPECT_EQ(rig.Actions(), Paths{"ShowTrack " + std::to_string(drawn)});
            EXPECT_EQ(rig.Status(), PLAYER_PLAYING);
        }
    }
}

TEST(PlaylistNavigation, AStopMarkIsLoweredInOrderAndNothingElseHappens) {
    bool StopMarks::*const order[] = {&StopMarks::StopMark, &StopMarks::PlayMark, &StopMarks::PrevMark,
                                      &StopMarks::NextMark, &StopMarks::AddFileMark, &StopMarks::ReopenMark};
    for (size_t first = 0; first < std::size(order); ++first) {
        Rig rig(kThree, 0, Engine::Loaded);
        rig.playlist.ShowCurrent = false;
        StopMarks marks;
        for (size_t later = first; later < std::size(order); ++later) marks.*order[later] = true;
        rig.playlist.AdvanceAtEndOfTrack(rig.engine.get(), {REPEAT_ALL, false}, marks);
        for (size_t mark = 0; mark < std::size(order); ++mark) {
            EXPECT_EQ(marks.*order[mark], mark > first) << "raised from " << first << ", mark " << mark;
        }
        EXPECT_TRUE(rig.playlist.ShowCurrent);
        EXPECT_EQ(rig.playlist.CurrentIndex, 0);
        EXPECT_EQ(rig.Status(), PLAYER_STOPPED);
        EXPECT_TRUE(rig.view.calls.empty());
    }
}

TEST(PlaylistNavigation, AdvanceOnAnEmptyListResetsThePositions) {
    Rig rig({}, 3, Engine::Loaded);
    rig.playlist.SelectedIndex = 2;
    StopMarks marks;
    rig.playlist.AdvanceAtEndOfTrack(rig.engine.get(), {REPEAT_ALL, true}, marks);
    EXPECT_EQ(rig.playlist.CurrentIndex, -1);
    EXPECT_EQ(rig.playlist.SelectedIndex, -1);
    EXPECT_EQ(rig.view.calls, Paths{"SetFirstVisibleRow 0"});
}

TEST(PlaylistNavigation, RemovingThePlayingEntryKeepsTheOrderOfPlay) {
    // A B C with B playing; B is removed, then its track ends by itself.
    Rig rig({"cbr128.mp3", "short.mp3", "vbr.mp3"}, 0, Engine::Stopped, platform::WaveBackend::Capture);
    const std::string third = rig.playlist.Entries()[2].Path;
    ASSERT_TRUE(rig.playlist.OpenEntry(rig.engine.get(), 1));
    ASSERT_EQ(PlayerPlay(rig.engine.get()), 1);
    rig.playlist.CurrentIndex = 1;
    rig.playlist.SelectedIndex = 1;
    rig.playlist.RemoveSelected();
    EXPECT_EQ(rig.playlist.CurrentIndex, 0);
    EXPECT_FALSE(rig.playlist.ShowCurrent);

    ASSERT_TRUE(test::WaitForStatus(rig.window, PLAYER_STOPPED));
    rig.view.calls.clear();
    StopMarks marks;
    rig.playlist.AdvanceAtEndOfTrack(rig.engine.get(), {REPEAT_NONE, false}, marks);
    EXPECT_EQ(rig.playlist.CurrentIndex, 1);
    EXPECT_EQ(rig.playlist.Entries()[1].Path, third);
    EXPECT_TRUE(rig.playlist.ShowCurrent);
    EXPECT_EQ(rig.Actions(), Paths{"ShowTrack 1"});
}

}  // namespace
