// The text shown for an entry: the tag's artist and title, else the file name.

#include <gtest/gtest.h>

#include "playlist/display_title.h"
#include "tests/support/fixtures.h"
#include "tests/support/playlist_test_support.h"
#include "tests/support/scoped_environment.h"

namespace {

// A copy of an untagged MPEG fixture with an ID3v1 tag of the given texts.
std::vector<uint8_t> TaggedCopy(const std::string& title, const std::string& artist) {
    std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath("short.mp3"));
    std::vector<uint8_t> tag(128, 0);
    tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
    std::copy(title.begin(), title.end(), tag.begin() + 3);
    std::copy(artist.begin(), artist.end(), tag.begin() + 33);
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    return bytes;
}

TEST(DisplayTitle, ArtistAndTitleOrTheFileName) {
    EXPECT_EQ(DisplayTitle(test::FixturePath("id3v1.mp3")), "The Artist - Song Title");
    EXPECT_EQ(DisplayTitle(test::FixturePath("id3v2_only.mp3")),
              "Zo\xC3\xAB Artist - A Title Longer Than Thirty Characters, Sixty-One: xxxxxxxxxxx");
    EXPECT_EQ(DisplayTitle(test::FixturePath("lower_case.ogg")),
              "Lower Artist - A Title Longer Than Thirty Characters, Sixty-One: xxxxxxxxxxx");
    EXPECT_EQ(DisplayTitle(test::FixturePath("cbr128.mp3")), "cbr128.mp3");
    EXPECT_EQ(DisplayTitle(test::FixturePath("garbage.bin")), "garbage.bin");
    EXPECT_EQ(DisplayTitle("/no/such/dir/Song.Name.mp3"), "Song.Name.mp3");
    EXPECT_EQ(DisplayTitle("relative.mp3"), "relative.mp3");
    EXPECT_EQ(DisplayTitle("/trailing/"), "");

    const struct { const char* title; const char* artist; const char* expected; } tags[] = {
        {"Only Title", "", "Unknown Artist - Only Title"},
        {"", "Only Artist", "Only Artist - Untitled"},
        {"", "", "tagged.mp3"},
    };
    for (const auto& c : tags) {
        const test::TemporaryFile file(TaggedCopy(c.title, c.artist), "tagged.mp3");
        EXPECT_EQ(DisplayTitle(file.Path()), c.expected);
    }
}

TEST(PlaylistSort, ByTitleIgnoresCaseAndTakesUntaggedAsEmpty) {
    const test::TemporaryDirectory home;  // the tag cache goes to its cache folder
    const test::ScopedEnvironment homeVariable("TUNELARK_HOME", home.Path().c_str());
    const test::TemporaryFile banana(TaggedCopy("banana", "x"), "1.mp3");
    const test::TemporaryFile cherry(TaggedCopy("cherry", ""), "2.mp3");
    const test::TemporaryFile apple(TaggedCopy("Apple", "y"), "3.mp3");
    const std::string untagged = test::FixturePath("cbr128.mp3");
    test::RecordingView view;
    Playlist playlist;
    playlist.SetView(&view);
    test::Fill(playlist, {banana.Path(), cherry.Path(), untagged, apple.Path()});
    playlist.CurrentIndex = 1;
    playlist.SortByTitle();
    EXPECT_EQ(test::Paths(playlist), (std::vector<std::string>{untagged, apple.Path(), banana.Path(), cherry.Path()}));
    EXPECT_EQ(playlist.CurrentIndex, 3);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"BeginWaitCursor", "EndWaitCursor"}));
}

}  // namespace
