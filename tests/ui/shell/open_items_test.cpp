// Files from outside the running player: a later start's command line
// handed over through the single-instance socket, and drops on the window.

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/single_instance.h"
#include "prefs/settings.h"
#include "tests/support/later.h"
#include "tests/support/running_player.h"
#include "tests/support/temporary_directory.h"
#include "ui/shell/later_start.h"

namespace {

using namespace platform::ui;
using test::FixturePath;
using test::RunningPlayer;
using Pace = RunningPlayer::Pace;
using Paths = std::vector<std::string>;

const std::string kStation = "https://radio.example/live";

// A directory with two pieces of music and a file that is not music.
std::string MakeAlbum(const test::TemporaryDirectory& music) {
    music.MakeDirectory("album");
    std::filesystem::copy_file(FixturePath("pcm.wav"), music.PathOf("album/b.wav"));
    std::filesystem::copy_file(FixturePath("short.mp3"), music.PathOf("album/a.mp3"));
    music.MakeFile("album/notes.txt");
    return music.PathOf("album");
}

class OpenItemsTest : public testing::Test {
protected:
    // The player listens as the program's first start does.
    void Start(const Paths& defaultList, bool playing) {
        player_.Start(defaultList, Pace::RealTime);
        if (playing) {
            player_.Main().PlayAction();
            ASSERT_EQ(PlayerGetStatus(player_.Engine()), PLAYER_PLAYING);
        }
        ASSERT_TRUE(first_.Acquire());
        ListenForLaterStarts(first_, player_.application);
    }

    // A later start of the program with these items.
    void StartLater(const Paths& items, bool enqueue) {
        platform::SingleInstance later("tunelark", runtime_.Directory());
        ASSERT_FALSE(later.Acquire());
        ASSERT_TRUE(HandOverToRunningPlayer(later, {items, enqueue}));
    }

    void RunUntilListIs(const Paths& expected) {
        player_.RunUntil([&] { return player_.ListPaths() == expected; });
    }

    PlayerStatus Status() { return PlayerGetStatus(player_.Engine()); }

    RunningPlayer player_;
    test::TemporaryFile runtime_{{}};
    // Goes first, so nothing reaches the player once it ends.
    platform::SingleInstance first_{"tunelark", runtime_.Directory()};
};

TEST_F(OpenItemsTest, ALaterStartsItemsReplaceTheListAndTheFirstPlays) {
    Start({FixturePath("long_130min.mp3"), FixturePath("short.mp3")}, true);
    StartLater({FixturePath("cbr128.mp3"), FixturePath("id3v1.mp3")}, false);
    RunUntilListIs({FixturePath("cbr128.mp3"), FixturePath("id3v1.mp3")});
    // The replaced track's stop is reported later and must not move on.
    player_.RunUntil([&] { return !player_.Main().Marks().AddFileMark; });
    EXPECT_EQ(Status(), PLAYER_PLAYING);
    EXPECT_EQ(player_.List().CurrentIndex, 0);
    EXPECT_EQ(player_.Main().TitleText(), "cbr128.mp3");
}

TEST_F(OpenItemsTest, EnqueuedItemsJoinTheEndWithoutInterrupting) {
    Start({FixturePath("long_130min.mp3")}, true);
    test::TemporaryDirectory music;
    const std::string album = MakeAlbum(music);
    StartLater({FixturePath("cbr128.mp3"), album, kStation}, true);
    RunUntilListIs({FixturePath("long_130min.mp3"), FixturePath("cbr128.mp3"), album + "/a.mp3", album + "/b.wav", kStation});
    EXPECT_EQ(Status(), PLAYER_PLAYING);
    EXPECT_EQ(player_.List().CurrentIndex, 0);
    EXPECT_FALSE(player_.Main().Marks().AddFileMark);
    EXPECT_EQ(g_settings.LastDir, album) << "as the playlist's Add directory leaves it";
}

TEST_F(OpenItemsTest, NothingThatExistsLeavesTheListAlone) {
    Start({FixturePath("short.mp3")}, false);
    StartLater({"/nowhere/a.mp3", "/nowhere/b"}, false);
    // A request after it shows that it has been handled.
    StartLater({FixturePath("cbr128.mp3")}, true);
    RunUntilListIs({FixturePath("short.mp3"), FixturePath("cbr128.mp3")});
    EXPECT_EQ(Status(), PLAYER_STOPPED);
}

// A folder without music adds nothing: the list and what plays stay, and
// a message says why.
TEST_F(OpenItemsTest, ItemsThatAddNothingLeaveTheListAndWhatPlays) {
    Start({FixturePath("long_130min.mp3")}, true);
    test::TemporaryDirectory music;
    music.MakeDirectory("empty");
    int told = 0;
    const auto answer = player_.AnswerNextMessageBox(told);
    StartLater({music.PathOf("empty")}, false);
    player_.RunUntil([&] { return told == 1 && player_.Windows().Focus()->ClassName() != "Dialog"; });
    EXPECT_EQ(player_.ListPaths(), Paths{FixturePath("long_130min.mp3")});
    EXPECT_EQ(Status(), PLAYER_PLAYING);
}

TEST_F(OpenItemsTest, AMessageThatIsNotWellFormedIsIgnored) {
    Start({FixturePath("short.mp3")}, false);
    platform::SingleInstance stranger("tunelark", runtime_.Directory());
    ASSERT_FALSE(stranger.Acquire());
    ASSERT_TRUE(stranger.SendToRunningInstance("tunelark-open 1\nreplace\n1\n9\n/etc/passwd\n"));
    StartLater({FixturePath("cbr128.mp3")}, true);
    RunUntilListIs({FixturePath("short.mp3"), FixturePath("cbr128.mp3")});
}

TEST(Drops, JoinTheListAndPlayOnlyWhenNothingWasLoaded) {
    test::TemporaryDirectory music;
    const std::string album = MakeAlbum(music);
    const std::string cbr = FixturePath("cbr128.mp3");
    // The text of a file manager's drag: file URIs, escaped.
    std::string uri = "file://";
    for (const char c : cbr) uri += c == '/' ? std::string("/") : "%" + std::to_string(c / 16) + "0123456789ABCDEF"[c % 16];
    struct Case {
        const char* what;
        Paths before;
        bool fileDropped;
        std::string dropped;
        Paths after;
        PlayerStatus status;
    };
    const Case cases[] = {
        {"a file on an empty list", {}, true, cbr, {cbr}, PLAYER_PLAYING},
        {"a uri-list on an empty list", {}, false, uri + "\r\n" + kStation + "\r\n", {cbr, kStation}, PLAYER_PLAYING},
        {"a file on a list", {FixturePath("short.mp3")}, true, cbr, {FixturePath("short.mp3"), cbr}, PLAYER_STOPPED},
        {"a directory", {}, true, album, {album + "/a.mp3", album + "/b.wav"}, PLAYER_PLAYING},
        {"words", {cbr}, false, "not a file\nrelative/a.mp3", {cbr}, PLAYER_STOPPED},
    };
    for (const auto& [what, before, fileDropped, dropped, after, status] : cases) {
        RunningPlayer player;
        player.Start(before, Pace::RealTime);
        if (fileDropped) {
            player.backend.DropFile(dropped);
        } else {
            player.backend.DropText(dropped);
        }
        player.Windows().PumpPending();
        EXPECT_EQ(player.ListPaths(), after) << what;
        EXPECT_EQ(PlayerGetStatus(player.Engine()), status) << what;
    }
}

TEST_F(OpenItemsTest, WhatComesWhileADialogIsOpenWaitsUntilItCloses) {
    Start({FixturePath("short.mp3")}, false);
    const std::string cbr = FixturePath("cbr128.mp3");
    player_.backend.DropFile(cbr, player_.backend.NowMs() + 100);
    Paths whileOpen;
    test::Later look(player_.Windows(), 200, [&] { whileOpen = player_.ListPaths(); });
    player_.ScheduleKey(VK_ESCAPE, 300);
    player_.PressKey('O', MOD_CONTROL);  // the Add File dialog, until Escape
    EXPECT_EQ(whileOpen, Paths{FixturePath("short.mp3")}) << "not while the dialog is open";
    EXPECT_EQ(player_.ListPaths(), (Paths{FixturePath("short.mp3"), cbr})) << "once it closed";
}

}  // namespace
