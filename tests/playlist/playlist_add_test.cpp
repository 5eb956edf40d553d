// Adding the file dialog's selection and whole directories.

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/playlist_test_support.h"

namespace {

using Paths = std::vector<std::string>;
using namespace std::string_literals;

// A temporary directory holding empty files and subdirectories by name.
class Directory {
public:
    Directory(const Paths& files, const Paths& subdirectories = {}) : anchor_({}, ".anchor") {
        std::filesystem::remove(anchor_.Path());
        for (const std::string& name : files) std::ofstream(Path(name)).put('x');
        for (const std::string& name : subdirectories) std::filesystem::create_directory(Path(name));
    }
    std::string Path(const std::string& name) const { return anchor_.Directory() + "/" + name; }
    const std::string& Root() const { return anchor_.Directory(); }

private:
    test::TemporaryFile anchor_;
};

TEST(PlaylistAdd, AddFilesTakesBothSelectionForms) {
    const Directory directory({"a.mp3", "b.ogg", "c.mp3"});
    const std::string& root = directory.Root();
    const struct { const char* name; std::string selection; bool added; Paths entries; std::string lastDirectory; } cases[] = {
        {"several files", root + "\0a.mp3\0b.ogg\0\0"s, true,
         {"old", directory.Path("a.mp3"), directory.Path("b.ogg")}, root},
        {"names after the end are ignored", root + "\0c.mp3\0\0a.mp3\0"s, true, {"old", directory.Path("c.mp3")}, root},
        {"one full path", directory.Path("c.mp3") + "\0\0"s, true, {"old", directory.Path("c.mp3")}, root},
        {"one path without terminator", directory.Path("a.mp3"), true, {"old", directory.Path("a.mp3")}, root},
        {"a name that does not exist", directory.Path("missing.mp3") + "\0"s, false, {"old"}, "unchanged"},
        {"an empty result", "\0\0"s, false, {"old"}, "unchanged"},
    };
    for (const auto& c : cases) {
        Playlist playlist;
        playlist.Insert("old", -1);
        std::string lastDirectory = "unchanged";
        EXPECT_EQ(playlist.AddFiles(c.selection, lastDirectory), c.added) << c.name;
        EXPECT_EQ(test::Paths(playlist), c.entries) << c.name;
        EXPECT_EQ(lastDirectory, c.lastDirectory) << c.name;
    }
}

// A folder's music files come in the order people sort names, whatever
// their type: an album plays in order.
TEST(PlaylistAdd, AddDirectoryAddsMusicInNaturalOrderAndSkipsSubdirectories) {
    const struct { Paths files; Paths subdirectories; Paths expected; } cases[] = {
        {{"b.mp3", "a.ogg", "c.rmp"}, {"x.mp3"}, {"a.ogg", "b.mp3", "c.rmp"}},
        {{"E.WAV", "f.Mp2", "g.mpa", "h.txt", "mp3", "i.mp3.txt"}, {"d.ogg"}, {"E.WAV", "f.Mp2", "g.mpa"}},
        {{"k.wav", "j.FLAC", "l.Opus", "m.oga", "n.mp1", "p.flac.part"}, {"q.flac"},
         {"j.FLAC", "k.wav", "l.Opus", "m.oga", "n.mp1"}},
        {{"Track 10.flac", "track 2.mp3", "Track 1.ogg", "Track 16.opus", "Track 21.wav", "intro.mp3"}, {},
         {"intro.mp3", "Track 1.ogg", "track 2.mp3", "Track 10.flac", "Track 16.opus", "Track 21.wav"}},
        {{}, {}, {}},
    };
    for (const auto& c : cases) {
        const Directory directory(c.files, c.subdirectories);
        test::RecordingView view;
        Playlist playlist;
        playlist.SetView(&view);
        std::string lastDirectory;
        Paths expected;
        for (const std::string& name : c.expected) expected.push_back(directory.Path(name));
        EXPECT_EQ(playlist.AddDirectory(directory.Root(), lastDirectory), static_cast<int32_t>(expected.size()));
        EXPECT_EQ(test::Paths(playlist), expected);
        EXPECT_EQ(lastDirectory, directory.Root());
        EXPECT_EQ(view.calls, (Paths{"BeginWaitCursor", "EndWaitCursor"}));
    }
}

TEST(PlaylistAdd, AddDirectoryThatCannotBeReadAddsNothing) {
    Playlist playlist;
    std::string lastDirectory;
    EXPECT_EQ(playlist.AddDirectory("/no/such/directory", lastDirectory), 0);
    EXPECT_EQ(playlist.Count(), 0);
    EXPECT_EQ(lastDirectory, "/no/such/directory");
}

}  // namespace
