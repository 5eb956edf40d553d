#include "formats/id3/id3v1.h"

#include <cstring>

#include <gtest/gtest.h>

#include "formats/id3/genres.h"
#include "tests/support/fixtures.h"

namespace {

using namespace engine;

// Builds a 128-byte ID3v1 tag; each field is written as given, the rest zero.
struct TagBuilder {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(128, 0);

    TagBuilder() { std::memcpy(bytes.data(), "TAG", 3); }
    TagBuilder& Field(size_t offset, const std::string& text) {
        std::memcpy(bytes.data() + offset, text.data(), std::min<size_t>(text.size(), 30));
        return *this;
    }
    TagBuilder& Title(const std::string& text) { return Field(3, text); }
    TagBuilder& Artist(const std::string& text) { return Field(33, text); }
    TagBuilder& Album(const std::string& text) { return Field(63, text); }
    TagBuilder& Year(const std::string& text) {
        std::memcpy(bytes.data() + 93, text.data(), std::min<size_t>(text.size(), 4));
        return *this;
    }
    TagBuilder& Comment(const std::string& text) { return Field(97, text); }
    TagBuilder& Genre(uint8_t genre) {
        bytes[127] = genre;
        return *this;
    }
};

PlayerTag ReadTag(const std::vector<uint8_t>& fileBytes, bool expectFound = true) {
    test::TemporaryFile file(fileBytes);
    PlayerTag tag;
    tag.title = "stale";
    EXPECT_EQ(ReadId3v1Tag(file.Path(), tag), expectFound);
    return tag;
}

TEST(Id3v1, TrailingPaddingRules) {
    struct Case {
        std::string field;
        std::string expected;
    };
    const Case cases[] = {
        {"Song" + std::string(26, ' '), "Song"},        // spaces up to the end are dropped
        {"Song", "Song"},                               // zero padding
        {"Song   ", "Song   "},                         // spaces before zero bytes are kept
        {std::string(30, 'x'), std::string(30, 'x')},   // a full field keeps all 30
        {std::string(30, ' '), ""},
        {" lead" + std::string(25, ' '), " lead"},
    };
    for (const auto& [field, expected] : cases) {
        EXPECT_EQ(ReadTag(TagBuilder().Title(field).bytes).title, expected) << '"' << field << '"';
    }
}

TEST(Id3v1, FieldsYearAndGenre) {
    const PlayerTag tag = ReadTag(TagBuilder()
                                      .Title("Title")
                                      .Artist("Artist")
                                      .Album("Album")
                                      .Comment("Comment")
                                      .Year("2003")
                                      .Genre(17)
                                      .bytes);
    EXPECT_EQ(tag.title, "Title");
    EXPECT_EQ(tag.artist, "Artist");
    EXPECT_EQ(tag.album, "Album");
    EXPECT_EQ(tag.comment, "Comment");
    EXPECT_EQ(tag.year, 2003);
    EXPECT_EQ(tag.genre, 17);

    struct YearCase {
        std::string digits;
        int32_t year;
    };
    const YearCase years[] = {{"2003", 2003}, {std::string(4, '\0'), 0}, {" 12a", 12}, {"abcd", 0}, {"-5", -5}};
    for (const auto& [digits, year] : years) {
        EXPECT_EQ(ReadTag(TagBuilder().Year(digits).bytes).year, year) << digits;
    }
    EXPECT_EQ(ReadTag(TagBuilder().Genre(255).bytes).genre, 255);
}

TEST(Id3v1, CommentEndsAtTheTrackNumberZeroByte) {
    std::string comment(28, 'c');
    comment += '\0';
    comment += '\x07';  // a track number in the last byte is not text
    EXPECT_EQ(ReadTag(TagBuilder().Comment(comment).bytes).comment, std::string(28, 'c'));
}

TEST(Id3v1, TextIsConvertedFromWindows1252) {
    EXPECT_EQ(ReadTag(TagBuilder().Artist("Bj\xF6rk \x80").bytes).artist, "Bj\xC3\xB6rk \xE2\x82\xAC");
}

TEST(Id3v1, TagMustFillTheLast128Bytes) {
    // A file of exactly 128 bytes that is all tag.
    EXPECT_EQ(ReadTag(TagBuilder().Title("Only").bytes).title, "Only");

    // Audio before the tag is ignored.
    std::vector<uint8_t> withAudio(5000, 0xAB);
    const auto tagBytes = TagBuilder().Title("After").bytes;
    withAudio.insert(withAudio.end(), tagBytes.begin(), tagBytes.end());
    EXPECT_EQ(ReadTag(withAudio).title, "After");

    // Too short, not at the end, or no "TAG": nothing found and the record is cleared.
    std::vector<uint8_t> shortFile(tagBytes.begin(), tagBytes.begin() + 127);
    std::vector<uint8_t> tagThenByte = tagBytes;
    tagThenByte.push_back(0);
    for (const auto& bytes : {shortFile, tagThenByte, std::vector<uint8_t>(128, 'T'), std::vector<uint8_t>{}}) {
        const PlayerTag tag = ReadTag(bytes, false);
        EXPECT_EQ(tag.title, "");
        EXPECT_EQ(tag.year, 0);
        EXPECT_EQ(tag.genre, -1);
    }
}

TEST(Id3v1, UnreadablePathsClearTheRecord) {
    PlayerTag tag;
    tag.artist = "stale";
    tag.genre = 3;
    EXPECT_FALSE(ReadId3v1Tag("/nonexistent/file.mp3", tag));
    EXPECT_EQ(tag.artist, "");
    EXPECT_EQ(tag.genre, -1);
    test::TemporaryFile file({});
    EXPECT_FALSE(ReadId3v1Tag(file.Directory(), tag));
}

TEST(Id3v1, PlayerReadFileTagNeedsAnMpegFile) {
    // Audio that the MPEG probe refuses, ending in a valid tag.
    std::vector<uint8_t> notMpeg(4000, 0);
    std::memcpy(notMpeg.data(), "OggS", 4);
    const auto tagBytes = TagBuilder().Title("Hidden").bytes;
    notMpeg.insert(notMpeg.end(), tagBytes.begin(), tagBytes.end());
    test::TemporaryFile file(notMpeg);
    PlayerTag tag;
    tag.title = "untouched";
    EXPECT_EQ(PlayerReadFileTag(file.Path(), &tag), 0);
    EXPECT_EQ(tag.title, "untouched");

    EXPECT_EQ(PlayerReadFileTag(test::FixturePath("id3v1.mp3"), &tag), 1);
    EXPECT_EQ(tag.title, "Song Title");
    EXPECT_EQ(tag.genre, 8);
}

TEST(Genres, NamesAsUsersKnowThem) {
    struct Case {
        int32_t genre;
        const char* name;
    };
    const Case cases[] = {{0, "Blues"}, {8, "Jazz"}, {67, "Psychadelic"}, {79, "Hard Rock"}, {80, "Folk"},
                          {85, "Bebob"}, {100, "Humour"}, {140, "Contemporary Christian"}, {147, "Synthpop"}};
    for (const auto& [genre, name] : cases) {
        std::string text;
        PlayerGetGenreName(genre, &text);
        EXPECT_EQ(text, name) << genre;
    }
    size_t longest = 0;
    for (int32_t genre = 0; genre < kGenreCount; ++genre) {
        ASSERT_NE(GenreName(genre), nullptr);
        longest = std::max(longest, std::strlen(GenreName(genre)));
    }
    EXPECT_EQ(longest, 22u);
}

TEST(Genres, OutOfRangeLeavesTheOutputUntouched) {
    for (int32_t genre : {-1, 148, 255}) {
        std::string text = "untouched";
        PlayerGetGenreName(genre, &text);
        EXPECT_EQ(text, "untouched") << genre;
    }
}

}  // namespace
