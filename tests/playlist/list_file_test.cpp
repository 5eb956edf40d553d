// ".lst" playlist files: round trips, the encodings and line ends read, and
// the default playlist in the application directory.

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "playlist/list_file.h"
#include "playlist/list_file_text.h"
#include "tests/support/fixtures.h"
#include "tests/support/playlist_test_support.h"

namespace {

using Paths = std::vector<std::string>;
using namespace std::string_literals;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
std::string Text(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Saves `paths` into a fresh file and loads them into another list.
Paths RoundTrip(const Paths& paths, std::string* fileText = nullptr) {
    const test::TemporaryFile directory({}, "unused");
    const std::string file = directory.Directory() + "/list.lst";
    Playlist saved;
    test::Fill(saved, paths);
    EXPECT_TRUE(saved.SaveListFile(file));
    if (fileText != nullptr) *fileText = Text(test::ReadFileBytes(file));
    Playlist loaded;
    EXPECT_TRUE(loaded.LoadListFile(file));
    return test::Paths(loaded);
}

TEST(ListFile, WritesOnePathPerLine) {
    std::string text;
    EXPECT_EQ(RoundTrip({"/a/b.mp3", "/c d/e.ogg"}, &text), (Paths{"/a/b.mp3", "/c d/e.ogg"}));
    EXPECT_EQ(text, "/a/b.mp3\n/c d/e.ogg\n");
}

TEST(ListFile, RoundTripsEveryPathALineCanHold) {
    const Paths cases[] = {
        {},
        {"/music/with spaces/and  two.mp3", " leading and trailing "},
        {"/música/日本語 – Ünïcödé/🎵.mp3", "/Ελληνικά.ogg"},
        {"/" + std::string(1000, 'p') + ".mp3"},
        {"/a.mp3", "", "/b.mp3"},
        {""},
        {"/a.mp3", ""},
        {"/same.mp3", "/same.mp3"},
        {"\xEF\xBB\xBF" "starts like a mark", "x"},
        {"\xFF\xFE" "starts like UTF-16", "x"},
        {"/not/\xC3(valid/utf8"},
        {"/carriage\rinside"},
    };
    for (const Paths& paths : cases) EXPECT_EQ(RoundTrip(paths), paths) << (paths.empty() ? "empty" : paths[0]);
}

TEST(ListFile, LeavesOutPathsALineCannotHold) {
    std::string text;
    EXPECT_EQ(RoundTrip({"/a", "/line\nfeed", "/b", "/ends with\r"}, &text), (Paths{"/a", "/b"}));
    EXPECT_EQ(text, "/a\n/b\n");
}

TEST(ListFile, ReadsLineEndsAndEncodings) {
    const struct { const char* name; std::string bytes; Paths lines; } cases[] = {
        {"empty", "", {}},
        {"last line unterminated", "/a\n/b", {"/a", "/b"}},
        {"empty lines", "\n/a\n\n", {"", "/a", ""}},
        {"CRLF", "/a\r\n/b\r\n\r\n", {"/a", "/b", ""}},
        {"only a lone CR stays", "/a\r\r\n", {"/a\r"}},
        {"UTF-8 mark", "\xEF\xBB\xBF/a\n/b\n", {"/a", "/b"}},
        {"UTF-16LE, CRLF, non-ASCII and a pair",
         "\xFF\xFE/\0\xE9\0\r\0\n\0<\xD8\xB5\xDF\r\0\n\0"s, {"/\xC3\xA9", "\xF0\x9F\x8E\xB5"}},
        {"UTF-16BE", "\xFE\xFF\0/\0a\0\n\0b"s, {"/a", "b"}},
        {"UTF-16 lone surrogate and odd byte", "\xFF\xFE\x00\xD8x\0z"s, {"\xEF\xBF\xBDx"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseListFileText(c.bytes), c.lines) << c.name;
}

TEST(ListFile, LoadingReplacesTheListAndAMissingFileEmptiesIt) {
    const test::TemporaryFile file(Bytes("/new\r\n"), "list.lst");
    Playlist playlist;
    test::Fill(playlist, {"/old1", "/old2"});
    EXPECT_TRUE(playlist.LoadListFile(file.Path()));
    EXPECT_EQ(test::Paths(playlist), Paths{"/new"});

    EXPECT_FALSE(playlist.LoadListFile(file.Directory() + "/missing.lst"));
    EXPECT_EQ(playlist.Count(), 0);
    test::Fill(playlist, {"/old"});
    EXPECT_FALSE(playlist.LoadListFile(file.Directory()));
    EXPECT_EQ(playlist.Count(), 0);
}

TEST(ListFile, SavingReplacesTheFileOrLeavesItAlone) {
    const test::TemporaryFile file(Bytes("/previous\n"), "list.lst");
    Playlist playlist;
    test::Fill(playlist, {"/now"});
    EXPECT_FALSE(playlist.SaveListFile(file.Directory() + "/no/such/dir/list.lst"));
    EXPECT_TRUE(playlist.SaveListFile(file.Path()));
    EXPECT_EQ(Text(test::ReadFileBytes(file.Path())), "/now\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.Directory()), {}), 1)
        << "no temporary file is left beside it";
}

TEST(ListFile, DefaultListLivesInTheApplicationDirectory) {
    const test::TemporaryFile home({}, "unused");
    const char* previous = std::getenv("TUNELARK_HOME");
    const std::string saved = previous != nullptr ? previous : "";
    ::setenv("TUNELARK_HOME", home.Directory().c_str(), 1);

    EXPECT_EQ(DefaultListPath(), home.Directory() + "/default.lst");
    Playlist playlist;
    test::Fill(playlist, {"/one.mp3", "/two.ogg"});
    EXPECT_TRUE(SaveDefaultList(playlist));
    Playlist loaded;
    EXPECT_EQ(LoadDefaultList(loaded), DefaultListLoad::Read);
    EXPECT_EQ(test::Paths(loaded), test::Paths(playlist));

    // A default list too large to be one (sparse here) is neither loaded nor
    // replaced: the list and the file both stay as they were.
    const uintmax_t tooLarge = kLargestListFile + 1;
    std::filesystem::resize_file(DefaultListPath(), tooLarge);
    EXPECT_EQ(LoadDefaultList(loaded), DefaultListLoad::Kept);
    EXPECT_EQ(test::Paths(loaded), test::Paths(playlist));
    EXPECT_FALSE(SaveDefaultList(loaded));
    EXPECT_EQ(std::filesystem::file_size(DefaultListPath()), tooLarge);

    // One that cannot be read at all is kept too (the window then saves
    // nothing over it); none at all is an empty list to save.
    std::filesystem::remove(DefaultListPath());
    EXPECT_EQ(LoadDefaultList(loaded), DefaultListLoad::Read);
    EXPECT_EQ(loaded.Count(), 0);
    std::filesystem::create_directory(DefaultListPath());
    EXPECT_EQ(LoadDefaultList(loaded), DefaultListLoad::Kept);
    std::filesystem::remove(DefaultListPath());

    if (previous != nullptr) {
        ::setenv("TUNELARK_HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("TUNELARK_HOME");
    }
}

}  // namespace
