// The playlist window of the running player on the headless backend, with
// the equalizer hidden so the list has its full height (194 pixels).

#include "ui/playlist_window/playlist_window.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/window_manager.h"
#include "platform/wave_volume.h"
#include "playlist/playlist.h"
#include "prefs/settings.h"
#include "resources/player_menu.h"
#include "tests/support/golden_picture.h"
#include "tests/support/later.h"
#include "tests/support/playlist_test_support.h"
#include "tests/support/running_player.h"

namespace {

using namespace platform::ui;
using test::FixturePath;
using test::RunningPlayer;

// The window's top on the screen, below the main window.
constexpr int kWindowTop = 126;

// The "Add URL" dialog's Paste button.
constexpr Point kAddUrlPaste{40, 107};

Point RowPoint(int row) { return {100, kWindowTop + 23 + kPlaylistRowHeight * row}; }

// The group columns' centres and the levels' middles, in screen pixels.
int ColumnX(PlaylistGroup group) {
    switch (group) {
        case PlaylistGroup::Add: return 20;
        case PlaylistGroup::Remove: return 47;
        case PlaylistGroup::Sel: return 72;
        case PlaylistGroup::Misc: return 97;
        case PlaylistGroup::List: return 210;
    }
    return 0;
}
Point ButtonPoint(PlaylistGroup group, int level) {
    const int middles[] = {175, 160, 144, 128};
    return {ColumnX(group), kWindowTop + middles[level]};
}

std::vector<std::string> MissingFiles(int count) {
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) paths.push_back("/nowhere/song " + std::to_string(i) + ".mp3");
    return paths;
}

class PlaylistWindowTest : public ::testing::Test {
protected:
    void StartWith(const std::vector<std::string>& entries) {
        g_settings.EQWnd = 0;
        player.Start(entries);
        ASSERT_EQ(Window().ScreenRect(), (Rect{0, kWindowTop, 240, 320}));
    }
    PlaylistWindow& Window() { return player.application.ListWindow(); }
    void DoubleTap(Point point) {
        using Kind = InputEvent::Kind;
        player.backend.Inject({Kind::StylusDown, point, false, 0});
        player.backend.Inject({Kind::StylusUp, point, false, 0});
        player.backend.Inject({Kind::StylusDown, point, true, 0});
        player.backend.Inject({Kind::StylusUp, point, true, 0});
        player.Windows().PumpPending();
    }

    RunningPlayer player;
};

TEST(PlaylistLayout, RowsScrollingAndTheCurrentEntryKeptInView) {
    const PlaylistGeometry full(240, 194, 87), beside(240, 94, 87);
    EXPECT_EQ(full.wholeRows, 11);
    EXPECT_EQ(full.partialRowHeight, 12);
    EXPECT_EQ(beside.wholeRows, 3);
    EXPECT_EQ(beside.partialRowHeight, 8);

    const ScrollPosition end = ScrollAt(full, 150, 30);
    EXPECT_EQ(end.percent, 100);
    EXPECT_EQ(end.firstRow, 19) << "entry 30 in the last whole row";
    EXPECT_EQ(ScrollAt(full, 150, 12).percent, 0) << "everything shows";

    struct Case {
        int32_t current, firstRow;
        bool afterPrev;
        std::optional<int32_t> expected;
    };
    const Case cases[] = {{0, 5, false, 0},   {7, 2, false, std::nullopt}, {20, 2, false, 10},
                          {1, 5, false, 1},   {29, 0, true, 19},           {5, 3, true, std::nullopt},
                          {2, 5, true, 2}};
    for (const auto& [current, firstRow, afterPrev, expected] : cases) {
        EXPECT_EQ(FirstRowShowingCurrent(full, current, firstRow, 30, afterPrev), expected) << current;
    }
}

TEST_F(PlaylistWindowTest, DraggingToTheFootOfTheStripShowsTheLastEntryInTheLastWholeRow) {
    StartWith(MissingFiles(30));
    player.Drag({230, kWindowTop + 30}, {{230, kWindowTop + 100}, {230, kWindowTop + 155}});
    EXPECT_EQ(Window().ScrollPercent(), 100);
    EXPECT_EQ(Window().FirstVisibleRow(), 19);
}

TEST_F(PlaylistWindowTest, TapsSelectAndATapBelowTheLastEntryClearsTheSelection) {
    StartWith(MissingFiles(3));
    player.Tap(RowPoint(1));
    EXPECT_EQ(player.List().SelectedIndex, 1);
    player.Tap(RowPoint(5));
    EXPECT_EQ(player.List().SelectedIndex, -1);
}

TEST_F(PlaylistWindowTest, DraggingTheSelectedEntryPastTheCurrentOneKeepsTheCurrentOne) {
    StartWith(MissingFiles(6));
    player.List().CurrentIndex = 3;
    player.Drag(RowPoint(1), {RowPoint(2), RowPoint(4)});
    EXPECT_EQ(player.List().Entries()[4].Path, "/nowhere/song 2.mp3");
    EXPECT_EQ(player.List().CurrentIndex, 2) << "entry 4 moved up to 3";
}

TEST_F(PlaylistWindowTest, DoubleTapPlaysAnEntryAndOneThatCannotOpenChangesNothing) {
    StartWith({"/nowhere/gone.mp3", FixturePath("short.mp3"), FixturePath("id3v1.mp3")});
    player.List().CurrentIndex = 1;
    DoubleTap(RowPoint(0));
    EXPECT_EQ(player.List().CurrentIndex, 1);
    DoubleTap(RowPoint(2));
    EXPECT_EQ(player.List().CurrentIndex, 2);
    EXPECT_EQ(player.Main().TitleText(), "The Artist - Song Title");
}

TEST_F(PlaylistWindowTest, TheAddGroupOpensOnTheFirstPressAndAddsFilesOnTheSecond) {
    const std::string music = player.Home() + "/music";
    std::filesystem::create_directory(music);
    std::filesystem::copy_file(FixturePath("short.mp3"), music + "/a.mp3");
    g_settings.LastDir = music;
    StartWith(MissingFiles(2));
    player.Tap(ButtonPoint(PlaylistGroup::Add, 0));
    EXPECT_TRUE(Window().GroupOpen(PlaylistGroup::Add));
    player.ScheduleKey(VK_DOWN, 100);
    player.ScheduleKey(VK_RETURN, 200);
    player.Tap(ButtonPoint(PlaylistGroup::Add, 0));
    EXPECT_FALSE(Window().GroupOpen(PlaylistGroup::Add));
    ASSERT_EQ(player.List().Count(), 3);
    EXPECT_EQ(player.List().Entries()[2].Path, music + "/a.mp3");
}

// The selection as marks, "x" for a selected entry.
std::string Marks(const Playlist& playlist) {
    std::string marks;
    for (int32_t index = 0; index < playlist.Count(); ++index) marks += playlist.IsSelected(index) ? 'x' : '.';
    return marks;
}

TEST_F(PlaylistWindowTest, TheSelGroupSelectsAllNoneOrTheRest) {
    StartWith(MissingFiles(4));
    player.Tap(RowPoint(1));
    const struct {
        int level;
        const char* marks;
    } presses[] = {{2, "x.xx"}, {1, "...."}, {0, "xxxx"}, {2, "...."}};
    for (const auto& [level, marks] : presses) {
        player.Tap(ButtonPoint(PlaylistGroup::Sel, 0));
        player.Tap(ButtonPoint(PlaylistGroup::Sel, level));
        EXPECT_FALSE(Window().GroupOpen(PlaylistGroup::Sel));
        EXPECT_EQ(Marks(player.List()), marks) << "level " << level;
    }
}

// Ctrl and Shift clicks build a selection that a drag moves and Delete
// removes; a plain click on one of its entries, lifted without a drag,
// leaves that entry alone selected.
TEST_F(PlaylistWindowTest, CtrlAndShiftClicksSelectManyWhichADragMovesAndDeleteRemoves) {
    using Kind = InputEvent::Kind;
    StartWith(MissingFiles(6));
    const auto click = [this](int row, uint32_t modifiers) {
        player.backend.Inject({.kind = Kind::StylusDown, .point = RowPoint(row), .modifiers = modifiers});
        player.backend.Inject({.kind = Kind::StylusUp, .point = RowPoint(row)});
        player.Windows().PumpPending();
    };
    click(0, 0);
    click(2, MOD_CONTROL);
    EXPECT_EQ(Marks(player.List()), "x.x...");
    click(4, MOD_SHIFT);
    EXPECT_EQ(Marks(player.List()), "..xxx.");
    player.Drag(RowPoint(3), {RowPoint(2)});
    EXPECT_EQ(Marks(player.List()), ".xxx..") << "the whole selection moved up a row";
    EXPECT_EQ(player.List().Entries()[1].Path, "/nowhere/song 3.mp3");
    player.PressKey(VK_DELETE);
    EXPECT_EQ(player.ListPaths(),
              (std::vector<std::string>{"/nowhere/song 1.mp3", "/nowhere/song 2.mp3", "/nowhere/song 6.mp3"}));
    click(0, MOD_CONTROL);
    click(1, MOD_CONTROL);
    click(1, 0);
    EXPECT_EQ(Marks(player.List()), ".x.");
}

// Once the playlist was clicked, the arrows, the page keys, Home and End
// move its selection and Enter plays it; before, the arrows set the volume.
TEST_F(PlaylistWindowTest, TheKeysMoveAndPlayTheSelectionOnceThePlaylistWasClicked) {
    std::vector<std::string> entries = MissingFiles(29);
    entries.push_back(FixturePath("id3v1.mp3"));
    StartWith(entries);
    const uint32_t deviceLevel = platform::GetWaveOutVolume();
    const int volume = player.Main().Volume();
    player.PressKey(VK_DOWN);
    EXPECT_EQ(player.List().SelectedIndex, -1);
    EXPECT_NE(player.Main().Volume(), volume);
    platform::SetWaveOutVolume(deviceLevel);  // the device outlives the test
    player.Tap(RowPoint(0));
    const struct {
        uint32_t key;
        int32_t selected;
        int32_t firstRow;
    } presses[] = {{VK_DOWN, 1, 0}, {VK_NEXT, 12, 2}, {VK_END, 29, 19}, {VK_UP, 28, 19}, {VK_HOME, 0, 0}, {VK_END, 29, 19}};
    for (const auto& [key, selected, firstRow] : presses) {
        player.PressKey(key);
        EXPECT_EQ(player.List().SelectedIndex, selected) << key;
        EXPECT_EQ(Window().FirstVisibleRow(), firstRow) << key;
    }
    player.PressKey(VK_RETURN);
    EXPECT_EQ(player.List().CurrentIndex, 29);
    EXPECT_EQ(player.Main().TitleText(), "The Artist - Song Title");
}

TEST_F(PlaylistWindowTest, TheWheelScrollsTheListThreeRowsANotch) {
    using Kind = InputEvent::Kind;
    StartWith(MissingFiles(30));
    const auto turn = [this](int notches) {
        player.backend.Inject({.kind = Kind::Wheel, .point = RowPoint(2), .wheelNotches = notches});
        player.Windows().PumpPending();
    };
    const struct {
        int notches;
        int32_t firstRow;
    } turns[] = {{-1, 3}, {-2, 9}, {-9, 19}, {1, 16}, {9, 0}};
    for (const auto& [notches, firstRow] : turns) {
        turn(notches);
        EXPECT_EQ(Window().FirstVisibleRow(), firstRow) << notches;
    }
}

// J opens jump to file: the words typed, in any order and case, find the
// entries, Down moves among them and Enter plays the one chosen.
TEST_F(PlaylistWindowTest, JumpToFileFindsByEveryWordTypedAndPlaysTheChosenEntry) {
    using Kind = InputEvent::Kind;
    const std::string music = player.Home() + "/Música";
    std::filesystem::create_directory(music);
    std::vector<std::string> entries = MissingFiles(40);
    for (const char* name : {"Alpha Song.mp3", "Beta Tune.mp3", "Gamma Song.mp3"}) {
        std::filesystem::copy_file(FixturePath("short.mp3"), music + "/" + name);
        entries.push_back(music + "/" + name);
    }
    StartWith(entries);
    uint64_t at = 100;
    for (const char character : std::string("SONG musica")) {
        player.backend.Inject({.kind = Kind::Character, .point = {}, .character = static_cast<char16_t>(character)},
                              player.backend.NowMs() + (at += 20));
    }
    player.ScheduleKey(VK_DOWN, at += 50);
    player.ScheduleKey(VK_RETURN, at += 50);
    player.PressKey('J');
    EXPECT_EQ(player.List().CurrentIndex, 42) << "the second match, Gamma Song";
    EXPECT_EQ(player.List().SelectedIndex, 42);
    EXPECT_GT(Window().FirstVisibleRow() + 11, 42) << "the list shows the entry played";
}

TEST_F(PlaylistWindowTest, DeletingAFileAsksTwiceAndReportsAFailure) {
    const std::string file = player.Home() + "/doomed.mp3";
    std::filesystem::copy_file(FixturePath("short.mp3"), file);
    StartWith({file, "/nowhere/gone.mp3"});
    struct Case {
        int32_t row;
        std::vector<uint32_t> answers;  // Enter is OK, Escape Cancel
        bool fileStays;
        int32_t entriesLeft;
    };
    const Case cases[] = {
        {0, {VK_RETURN, VK_ESCAPE}, true, 2},            // cancelled at the confirmation
        {0, {VK_RETURN, VK_RETURN}, false, 1},           // deleted
        {0, {VK_RETURN, VK_RETURN, VK_RETURN}, false, 1},  // "Delete error!": the entry stays
    };
    for (const auto& [row, answers, fileStays, entriesLeft] : cases) {
        player.Tap(RowPoint(row));
        uint64_t after = 0;
        for (uint32_t key : answers) player.ScheduleKey(key, after += 100);
        player.Windows().SendMessage(Window(), WM_COMMAND, IDM_DELETE_SELECTED_FILE, 0);
        EXPECT_EQ(std::filesystem::exists(file), fileStays);
        EXPECT_EQ(player.List().Count(), entriesLeft);
        EXPECT_TRUE(player.Windows().Focus() != nullptr && player.Windows().Focus()->ClassName() != "Dialog")
            << "every box answered";
    }
}

TEST_F(PlaylistWindowTest, TheDefaultListComesBackAfterARestart) {
    StartWith(MissingFiles(4));
    player.Tap(RowPoint(0));
    player.Tap(ButtonPoint(PlaylistGroup::Remove, 0));
    player.Tap(ButtonPoint(PlaylistGroup::Remove, 0));
    EXPECT_EQ(player.List().Count(), 3);
    player.Windows().DestroyWindow(player.application.Frame());
    Playlist saved;
    ASSERT_TRUE(saved.LoadListFile(player.Home() + "/default.lst"));
    EXPECT_EQ(saved.Count(), 3);
}

TEST_F(PlaylistWindowTest, AddUrlTakesAPastedAddressWhichOutlivesASweepAndARestart) {
    constexpr const char* kStation = "http://127.0.0.1:1/live";  // never reachable: added all the same
    StartWith({"/nowhere/gone.mp3"});
    struct Case {
        std::string clipboard;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {std::string("  ") + kStation + "\n", {"/nowhere/gone.mp3", kStation}},
        {"ftp://radio.example/live", {"/nowhere/gone.mp3", kStation}},  // refused with a message
    };
    for (const Case& c : cases) {
        const bool first = &c == &cases[0];
        WriteClipboardText(c.clipboard);
        player.ScheduleTap(kAddUrlPaste, 100);
        player.ScheduleKey(VK_RETURN, 200);
        player.ScheduleKey(VK_RETURN, 300);  // answers the message box, when there is one
        test::Later picture(player.Windows(), 150, [&] {
            if (first) {
                test::ExpectAreaLooksLike(player.Windows().Screen(), {0, 26, 240, 320},
                                          "tests/ui/playlist_window/golden/add_url_dialog.png");
            }
        });
        player.Tap(ButtonPoint(PlaylistGroup::Add, 0));
        player.Tap(ButtonPoint(PlaylistGroup::Add, 2));
        player.RunUntil([&] { return player.Windows().Focus()->ClassName() != "Dialog"; });
        EXPECT_EQ(test::Paths(player.List()), c.entries);
    }

    player.Windows().SendMessage(Window(), WM_COMMAND, IDM_REMOVE_DEAD_FILES, 0);
    EXPECT_EQ(test::Paths(player.List()), std::vector<std::string>{kStation});
    player.Windows().DestroyWindow(player.application.Frame());
    Playlist saved;
    ASSERT_TRUE(saved.LoadListFile(player.Home() + "/default.lst"));
    EXPECT_EQ(test::Paths(saved), std::vector<std::string>{kStation});
}

// Rows show no length until the reader has read it off the window's thread;
// then each file shows its own, and the bar totals the selection and the list.
TEST_F(PlaylistWindowTest, LengthsShowOnceReadInTheBackground) {
    StartWith({});
    const std::string files[] = {FixturePath("tone.wav"), FixturePath("cbr128.mp3"), "http://radio.example/stream",
                                 "/nowhere/missing.mp3"};
    for (const std::string& file : files) player.List().Insert(file, player.List().Count());
    player.List().SelectOnly(0);
    Window().RepaintList();
    for (int32_t index = 0; index < 4; ++index) EXPECT_EQ(Window().LengthTextOf(index), "") << index;
    EXPECT_EQ(Window().TotalTimeText(), "0:00+/0:00+");

    player.RunUntil([&] { return !Window().LengthTextOf(0).empty() && !Window().LengthTextOf(1).empty(); });
    const char* shown[] = {"0:05", "0:05", "", ""};
    for (int32_t index = 0; index < 4; ++index) EXPECT_EQ(Window().LengthTextOf(index), shown[index]) << index;
    EXPECT_EQ(Window().TotalTimeText(), "0:05/0:10+") << "the stream and the missing file are unknown";
}

TEST(PlaylistWindowLooks, WithTheBaseSkinAndARealSkin) {
    for (const std::string skin : {"base", "Refugee"}) {
        RunningPlayer player;
        g_settings.EQWnd = 0;
        if (skin != "base") g_settings.SkinDir = FixturePath("skin_" + skin);
        std::vector<std::string> entries = {FixturePath("id3v1.mp3"), FixturePath("tagged.ogg")};
        for (const std::string& missing : MissingFiles(14)) entries.push_back(missing);
        player.Start(entries);
        PlaylistWindow& window = player.application.ListWindow();
        // The picture is the same once the two files' lengths show.
        player.RunUntil([&] { return !window.LengthTextOf(0).empty() && !window.LengthTextOf(1).empty(); });
        player.List().CurrentIndex = 1;
        window.RepaintList();
        player.Tap(RowPoint(3));
        player.Tap(ButtonPoint(PlaylistGroup::Misc, 0));
        test::ExpectAreaLooksLike(player.Windows().Screen(), {0, kWindowTop, 240, 320},
                                  "tests/ui/playlist_window/golden/playlist_" + skin + ".png");
    }
}

}  // namespace
