// Streams' addresses as playlist entries, station list files as playlists,
// and the one adder the command line, drops and "Add URL" share.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "playlist/add_location.h"
#include "playlist/station_list_file.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/playlist_test_support.h"
#include "tests/support/temporary_directory.h"

namespace {

// Nothing listens on port 1, so a station there can never be reached.
constexpr const char* kUnreachableStation = "http://127.0.0.1:1/live";

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::pair<std::string, std::string>> PathsAndTitles(const Playlist& playlist) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const PlaylistEntry& entry : playlist.Entries()) entries.emplace_back(entry.Path, entry.Title);
    return entries;
}

TEST(StreamEntries, AreOpenedAsStreamsKeptBySweepsAndNeverDeleted) {
    const test::EngineHandle engine = test::MakeEngine();
    Playlist playlist;
    test::Fill(playlist, {"/nowhere/gone.mp3", kUnreachableStation, "HTTPS://radio.example/a", test::FixturePath("short.mp3")});

    for (int32_t stream : {1, 2}) {
        ASSERT_TRUE(playlist.OpenEntry(engine.get(), stream));
        EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_MPEG_STREAM);
    }
    ASSERT_TRUE(playlist.OpenEntry(engine.get(), 3));
    EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_MPEG_FILE);

    playlist.RemoveDeadFiles();
    EXPECT_EQ(test::Paths(playlist),
              (std::vector<std::string>{kUnreachableStation, "HTTPS://radio.example/a", test::FixturePath("short.mp3")}));

    playlist.SelectedIndex = 0;
    EXPECT_EQ(playlist.DeleteSelectedFile(), DeleteFileResult::NotAFile);
    EXPECT_EQ(playlist.Count(), 3);
}

TEST(StationListFiles, AnM3u8SavedReadsBackWithItsTitlesAndABadListChangesNothing) {
    test::TemporaryDirectory folder;
    Playlist playlist;
    playlist.Insert("/music/a song.mp3", -1);
    playlist.Insert("https://radio.example/jazz", -1, "Jazz, all night");
    playlist.Insert(kUnreachableStation, -1);
    playlist.Insert("#not a comment.mp3", -1);  // would read back as a comment
    const std::string saved = folder.PathOf("stations.m3u8");
    ASSERT_TRUE(SaveM3u8File(playlist, saved));

    Playlist loaded;
    std::string error;
    ASSERT_TRUE(LoadStationListFile(loaded, saved, error)) << error;
    EXPECT_EQ(PathsAndTitles(loaded), (std::vector<std::pair<std::string, std::string>>{
                                          {"/music/a song.mp3", ""},
                                          {"https://radio.example/jazz", "Jazz, all night"},
                                          {kUnreachableStation, ""}}));

    WriteText(folder.PathOf("broken.pls"), "this is not a station list\n");
    EXPECT_FALSE(LoadStationListFile(loaded, folder.PathOf("broken.pls"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(loaded.Count(), 3);
}

TEST(AddLocation, AddsEachKindOfLocationOrSaysWhyNot) {
    test::TemporaryDirectory folder;
    folder.MakeDirectory("album");
    std::filesystem::copy_file(test::FixturePath("short.mp3"), folder.PathOf("album/one.mp3"));
    std::filesystem::copy_file(test::FixturePath("short.mp3"), folder.PathOf("album/two.mp3"));
    folder.MakeDirectory("lists");
    WriteText(folder.PathOf("lists/three.pls"),
              "[playlist]\nNumberOfEntries=3\nFile1=http://one.example/a\nTitle1=One\n"
              "File2=http://two.example/b\nTitle2=Two\nFile3=https://three.example/c\nTitle3=Three\nVersion=2\n");
    WriteText(folder.PathOf("lists/relative.m3u8"), "#EXTM3U\n#EXTINF:-1,Local\n../album/one.mp3\n");
    WriteText(folder.PathOf("lists/damaged.pls"), "[playlist]\nNumberOfEntries=2\nFile1=\nTitle1=\n");
    WriteText(folder.PathOf("empty"), "");

    struct Case {
        std::string location;
        std::vector<std::pair<std::string, std::string>> added;  // nothing added: an error is given
    };
    const Case cases[] = {
        {folder.PathOf("album/one.mp3"), {{folder.PathOf("album/one.mp3"), ""}}},
        {folder.PathOf("album"), {{folder.PathOf("album/one.mp3"), ""}, {folder.PathOf("album/two.mp3"), ""}}},
        {folder.PathOf("lists/three.pls"),
         {{"http://one.example/a", "One"}, {"http://two.example/b", "Two"}, {"https://three.example/c", "Three"}}},
        {folder.PathOf("lists/relative.m3u8"), {{folder.PathOf("album/one.mp3"), "Local"}}},
        {kUnreachableStation, {{kUnreachableStation, ""}}},
        {folder.PathOf("lists/damaged.pls"), {}},
        {folder.PathOf("lists"), {}},
        {folder.PathOf("missing.mp3"), {}},
        {"http://127.0.0.1:1/unreachable.pls", {}},
        // An address the player could never open is not kept either.
        {"http://radio.example/" + std::string(10 << 20, 'x'), {}},
        {"http://:80/live", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        Playlist playlist;
        std::string lastDirectory;
        const AddLocationResult result = AddLocation(playlist, c.location, PlayerStreamOptions{}, lastDirectory);
        auto added = PathsAndTitles(playlist);
        // Directories list their files in the file system's order.
        std::sort(added.begin(), added.end());
        EXPECT_EQ(added, c.added);
        EXPECT_EQ(result.added, static_cast<int32_t>(c.added.size()));
        EXPECT_EQ(result.error.empty(), !c.added.empty()) << result.error;
    }
}

}  // namespace
