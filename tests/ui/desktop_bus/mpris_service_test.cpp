// The player on a private session bus, driven by a real playerctl, and the
// pieces the bus answers from.

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "tests/support/fixtures.h"
#include "tests/support/running_player.h"
#include "tests/support/watchdog.h"
#include "tests/ui/desktop_bus/session_bus.h"
#include "ui/desktop_bus/mpris_commands.h"
#include "ui/desktop_bus/mpris_metadata.h"
#include "ui/desktop_bus/mpris_state.h"

namespace {

using namespace std::chrono_literals;

TEST(MprisMetadataTest, LocationsBecomeUris) {
    const struct {
        std::string path, uri;
    } cases[] = {
        {"/music/a.mp3", "file:///music/a.mp3"},
        {"/music/a b#1%.mp3", "file:///music/a%20b%231%25.mp3"},
        {"/m\xC3\xBCsik/\xFF.mp3", "file:///m%C3%BCsik/%FF.mp3"},
        {"http://radio.example/stream?x=1", "http://radio.example/stream?x=1"},
        {"HTTPS://radio.example/", "HTTPS://radio.example/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LocationUri(c.path), c.uri) << c.path;
        // What OpenUri is handed back names the same item.
        EXPECT_EQ(ItemFromOpenUri(c.uri), c.path) << c.uri;
    }
}

// The loaded file's album, track, genre and cover: the cover is copied
// once into the cache folder, named by its bytes.
TEST(MprisMetadataTest, TagsAndCoverOfTheLoadedFile) {
    test::RunningPlayer player;
    player.Start({test::FixturePath("cover.mp3"), test::FixturePath("id3v2_only.mp3")},
                 test::RunningPlayer::Pace::RealTime);
    player.Main().PlayAction();
    ASSERT_EQ(PlayerGetStatus(player.Engine()), PLAYER_PLAYING);
    LoadedFileTags loaded;
    MprisMetadata covered = ReadMetadata(player.application, loaded);
    EXPECT_EQ(covered.title, "Covered");
    const std::string prefix = "file://" + player.Home() + "/cache/covers/";
    ASSERT_EQ(covered.artUrl.substr(0, prefix.size()), prefix);
    const std::string coverFile = covered.artUrl.substr(std::string("file://").size());
    EXPECT_EQ(test::ReadFileBytes(coverFile), test::ReadFileBytes(test::FixturePath("cover.png")));
    EXPECT_EQ(ReadMetadata(player.application, loaded), covered) << "read once, the same every time";

    player.Main().NextAction();
    ASSERT_EQ(player.List().CurrentIndex, 1);
    const MprisMetadata tagged = ReadMetadata(player.application, loaded);
    EXPECT_EQ(tagged.album, "V2 Album");
    EXPECT_EQ(tagged.trackNumber, 7);
    EXPECT_EQ(tagged.genre, "Rock");
    EXPECT_EQ(tagged.artUrl, "") << "no cover, no address";
}

TEST(MprisMetadataTest, OpenUriRefusesOtherSchemes) {
    for (const char* uri : {"", "ftp://host/a.mp3", "file://otherhost/a.mp3", "file:///a%2", "file:///a%00b",
                            "/plain/path.mp3", "javascript:alert(1)"}) {
        EXPECT_EQ(ItemFromOpenUri(uri), "") << uri;
    }
}

MprisState PlayingAt(int64_t positionUs, int64_t lengthUs = 60'000'000) {
    MprisState state;
    state.playbackStatus = "Playing";
    state.metadata.trackId = TrackObjectPath(0);
    state.metadata.lengthUs = lengthUs;
    state.positionUs = positionUs;
    state.takenAt = MprisClock::time_point{} + 100s;
    return state;
}

TEST(MprisStateTest, PositionRunsOnOnlyWhilePlayingAndStopsAtTheEnd) {
    const MprisClock::time_point later = MprisClock::time_point{} + 102s;
    const struct {
        const char* status;
        int64_t positionUs, lengthUs, expectedUs;
    } cases[] = {
        {"Playing", 5'000'000, 60'000'000, 7'000'000},
        {"Paused", 5'000'000, 60'000'000, 5'000'000},
        {"Playing", 59'000'000, 60'000'000, 60'000'000},
        {"Playing", 5'000'000, 0, 7'000'000},  // a stream has no end
    };
    for (const auto& c : cases) {
        MprisState state = PlayingAt(c.positionUs, c.lengthUs);
        state.playbackStatus = c.status;
        EXPECT_EQ(PositionAt(state, later), c.expectedUs) << c.status << " " << c.positionUs;
    }
}

TEST(MprisStateTest, ChangesNameTheirProperties) {
    const MprisState base = PlayingAt(0);
    const struct {
        void (*change)(MprisState&);
        std::vector<std::string> names;
    } cases[] = {
        {[](MprisState&) {}, {}},
        {[](MprisState& s) { s.positionUs += 30'000'000; }, {}},
        {[](MprisState& s) { s.playbackStatus = "Paused"; }, {"PlaybackStatus"}},
        {[](MprisState& s) { s.metadata.title = "Other"; }, {"Metadata"}},
        {[](MprisState& s) { s.volume = 0.5; }, {"Volume"}},
        {[](MprisState& s) { s.canGoNext = s.canGoPrevious = true; }, {"CanGoNext", "CanGoPrevious"}},
        {[](MprisState& s) { s.loopStatus = "Track", s.shuffle = true; }, {"LoopStatus", "Shuffle"}},
    };
    for (const auto& c : cases) {
        MprisState after = base;
        c.change(after);
        EXPECT_EQ(ChangedPlayerProperties(base, after), c.names);
    }
}

TEST(MprisStateTest, OnlyAJumpCountsAsASeek) {
    const struct {
        int64_t laterPositionUs;
        std::chrono::seconds laterBy;
        bool jumped;
    } cases[] = {
        {7'000'000, 2s, false},   // played on
        {7'400'000, 2s, false},   // the device's clock drifts a little
        {20'000'000, 2s, true},   // forward
        {1'000'000, 2s, true},    // back
    };
    const MprisState before = PlayingAt(5'000'000);
    for (const auto& c : cases) {
        MprisState after = PlayingAt(c.laterPositionUs);
        after.takenAt = before.takenAt + c.laterBy;
        EXPECT_EQ(PositionJumped(before, after), c.jumped) << c.laterPositionUs;
    }
}

// The player's loop turns until `arguments` ran in a playerctl and `done`
// holds; returns what it printed.
std::string Playerctl(test::RunningPlayer& player, std::vector<std::string> arguments,
                      const std::function<bool()>& done = [] { return true; }) {
    arguments.insert(arguments.begin(), {"playerctl", "--player=tunelark"});
    test::ChildProcess child(arguments);
    player.RunUntil([&] { return child.Finished() && done(); });
    EXPECT_EQ(child.ExitStatus(), 0) << arguments[2];
    std::string output = child.Output();
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
}

double Seconds(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The kinds of file the player says it opens, as the desktop asks for them.
void ExpectMimeTypesOffered(test::RunningPlayer& player) {
    test::ChildProcess mimeTypes({"dbus-send", "--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.tunelark",
                                  "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties.Get",
                                  "string:org.mpris.MediaPlayer2", "string:SupportedMimeTypes"});
    player.RunUntil([&] { return mimeTypes.Finished(); });
    for (const char* type : {"audio/mpeg", "audio/mp2", "audio/x-vorbis+ogg", "audio/x-opus+ogg", "audio/flac",
                             "audio/x-wav", "audio/x-scpls"}) {
        EXPECT_NE(mimeTypes.Output().find("\"" + std::string(type) + "\""), std::string::npos) << type;
    }
}

TEST(MprisServiceTest, PlayerctlSeesAndDrivesThePlayer) {
    test::PrivateSessionBus bus;
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start";
    test::RunningPlayer player;
    player.Start({test::FixturePath("long_minute.mp3"), test::FixturePath("tagged.ogg")},
                 test::RunningPlayer::Pace::RealTime);
    PlayerEngine* engine = player.Engine();
    auto status = [engine](PlayerStatus wanted) { return [=] { return PlayerGetStatus(engine) == wanted; }; };

    // The name is taken in the background: listed once it is there.
    for (std::string listed; listed.find("tunelark") == std::string::npos;) {
        test::ChildProcess list({"playerctl", "-l"});
        player.RunUntil([&] { return list.Finished(); });
        listed = list.Output();
    }
    EXPECT_EQ(Playerctl(player, {"status"}), "Stopped");
    ExpectMimeTypesOffered(player);
    Playerctl(player, {"play"}, status(PLAYER_PLAYING));
    EXPECT_EQ(Playerctl(player, {"status"}), "Playing");
    Playerctl(player, {"pause"}, status(PLAYER_PAUSED));
    EXPECT_EQ(Playerctl(player, {"status"}), "Paused");

    Playerctl(player, {"position", "20"}, [engine] { return PlayerGetPosition(engine) >= 19'500; });
    const double at = Seconds(Playerctl(player, {"position"}));
    EXPECT_GE(at, 19.5);
    EXPECT_LT(at, 21.0);
    Playerctl(player, {"position", "5+"}, [engine] { return PlayerGetPosition(engine) >= 24'500; });
    EXPECT_GE(Seconds(Playerctl(player, {"position"})), 24.5);

    Playerctl(player, {"volume", "0.3"}, [&] { return player.Main().Volume() == 30; });
    EXPECT_EQ(Playerctl(player, {"volume"}), "0.300000");
    EXPECT_EQ(Playerctl(player, {"metadata", "xesam:url"}), "file://" + test::FixturePath("long_minute.mp3"));

    Playerctl(player, {"play-pause"}, status(PLAYER_PLAYING));
    Playerctl(player, {"next"}, [&] { return player.List().CurrentIndex == 1; });
    // Paused at once: the second track lasts five seconds.
    Playerctl(player, {"pause"}, status(PLAYER_PAUSED));
    EXPECT_EQ(Playerctl(player, {"metadata", "title"}), "lower case");
    EXPECT_EQ(Playerctl(player, {"metadata", "album"}), std::string(100, 'T'));
    EXPECT_EQ(Playerctl(player, {"metadata", "artist"}), "Dvo\xC5\x99\xC3\xA1k");
    EXPECT_EQ(Playerctl(player, {"metadata", "mpris:trackid"}), "'/org/tunelark/track/1'");  // playerctl quotes object paths
    Playerctl(player, {"previous"}, [&] { return player.List().CurrentIndex == 0; });

    Playerctl(player, {"stop"}, status(PLAYER_STOPPED));
    EXPECT_EQ(Playerctl(player, {"status"}), "Stopped");

    const std::string opened = test::FixturePath("cover.mp3");
    Playerctl(player, {"open", LocationUri(opened)},
              [&] { return player.ListPaths() == std::vector<std::string>{opened}; });
    player.RunUntil([engine] { return PlayerGetStatus(engine) == PLAYER_PLAYING; });
    EXPECT_EQ(Playerctl(player, {"metadata", "xesam:trackNumber"}), "5");
    EXPECT_EQ(Playerctl(player, {"metadata", "xesam:genre"}), "Jazz");
    const std::string art = Playerctl(player, {"metadata", "mpris:artUrl"});
    EXPECT_EQ(art.substr(0, art.rfind('/') + 1), "file://" + player.Home() + "/cache/covers/");
}

// A Seek's offset is whatever a caller sends: the ends of its range go to
// the start of the track and past its end to the next one, never overflow.
TEST(MprisServiceTest, SeeksByTheLargestOffsetsStopAtTheEndsOfTheTrack) {
    test::RunningPlayer player;
    player.Start({test::FixturePath("long_minute.mp3"), test::FixturePath("tagged.ogg")},
                 test::RunningPlayer::Pace::RealTime);
    player.Main().PlayAction();
    ASSERT_EQ(PlayerGetStatus(player.Engine()), PLAYER_PLAYING);
    MprisCommand seek;
    seek.kind = MprisCommand::Kind::Seek;
    seek.microseconds = std::numeric_limits<int64_t>::min();
    EXPECT_TRUE(RunMprisCommand(player.application, seek));
    EXPECT_LT(PlayerGetPosition(player.Engine()), 1000);
    seek.microseconds = std::numeric_limits<int64_t>::max();
    EXPECT_FALSE(RunMprisCommand(player.application, seek));
    player.RunUntil([&] { return player.List().CurrentIndex == 1; });
}

TEST(MprisServiceTest, WithoutASessionBusThePlayerRunsAsBefore) {
    const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string kept = previous != nullptr ? previous : "";
    for (const char* address : {static_cast<const char*>(nullptr), "", "unix:path=/nonexistent/bus", "garbage"}) {
        SCOPED_TRACE(address == nullptr ? "unset" : address);
        if (address == nullptr) {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        } else {
            setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
        }
        // A start and a close that hang on a missing bus fail here.
        test::RunWithWatchdog(30s, "the player without a bus", [] {
            test::RunningPlayer player;
            player.Start({test::FixturePath("cbr128.mp3")});
            player.application.Main().PlayAction();
            player.RunUntil([&] { return player.CapturedBytes() > 0; });
        });
    }
    if (previous != nullptr) {
        setenv("DBUS_SESSION_BUS_ADDRESS", kept.c_str(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
}

}  // namespace
