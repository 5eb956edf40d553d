// Tags of every kind of file through PlayerReadFileTag, PlayerGetTag and
// PlayerReadFileCover: the generated fixtures as taggers write them, and
// hand-built ID3v2.2 and APE tags no installed tool writes.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "formats/tags/tag_reader.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"

namespace {

const std::string kLongTitle = "A Title Longer Than Thirty Characters, Sixty-One: " + std::string(11, 'x');

struct Expected {
    std::string title;
    std::string artist;
    std::string album;
    int32_t track = 0;
    int32_t year = 0;
    std::string genre;
};

void ExpectTag(const PlayerTag& tag, const Expected& expected, const std::string& what) {
    EXPECT_EQ(tag.title, expected.title) << what;
    EXPECT_EQ(tag.artist, expected.artist) << what;
    EXPECT_EQ(tag.album, expected.album) << what;
    EXPECT_EQ(tag.track, expected.track) << what;
    EXPECT_EQ(tag.year, expected.year) << what;
    EXPECT_EQ(tag.genreText, expected.genre) << what;
}

TEST(TagReader, ReadsTheTagsOfEveryKindOfFile) {
    const struct {
        const char* file;
        Expected expected;
    } cases[] = {
        {"id3v2_only.mp3", {kLongTitle, "Zo\xC3\xAB Artist", "V2 Album", 7, 2011, "Rock"}},
        {"id3v2_and_v1.mp3", {kLongTitle, "Both Artist", "", 0, 0, ""}},  // ID3v2 wins over the 30-byte cut
        {"id3v24_utf8.mp3", {"\xE6\x98\x9F Star", "UTF-8 Artist", "", 3, 0, "Chiptune"}},
        {"id3v1.mp3", {"Song Title", "The Artist", "The Album", 0, 2003, "Jazz"}},  // no ID3v2: ID3v1
        {"lower_case.ogg", {kLongTitle, "Lower Artist", "Lower Album", 4, 1999, "Ambient"}},
        {"tagged.ogg", {"lower case", "Dvo\xC5\x99\xC3\xA1k", std::string(100, 'T'), 0, 2001, ""}},  // later wins
        {"tagged.flac", {"FLAC title", "FLAC artist", "FLAC album", 0, 0, ""}},
        {"ogg_flac.oga", {"", "", "", 0, 0, ""}},  // FLAC in Ogg: comments without these keys
        {"tagged.opus", {"Opus title", "Opus artist", "", 0, 0, ""}},
        {"info.wav", {"Info Title", "Info Artist", "Info Album", 0, 1987, "Folk"}},
        {"id3_chunk.wav", {"Id3 Chunk Title", "", "", 0, 0, ""}},
    };
    for (const auto& [file, expected] : cases) {
        const std::string path = test::FixturePath(file);
        PlayerTag fromFile;
        ASSERT_EQ(PlayerReadFileTag(path, &fromFile), 1) << file;
        ExpectTag(fromFile, expected, file);

        // The playing file shows the same tag.
        test::EngineHandle engine(PlayerCreate());
        ASSERT_EQ(PlayerOpen(engine.get(), path), 1) << file;
        PlayerTag playing;
        ASSERT_EQ(PlayerGetTag(engine.get(), &playing), 1) << file;
        ExpectTag(playing, expected, std::string(file) + " open");
    }
}

TEST(TagReader, FilesWithoutTagsHaveNone) {
    for (const char* file : {"cbr128.mp3", "pcm.wav", "garbage.bin", "empty.mp3", "no such file.mp3"}) {
        PlayerTag tag;
        EXPECT_EQ(PlayerReadFileTag(test::FixturePath(file), &tag), 0) << file;
        EXPECT_EQ(tag.genre, -1) << file;
    }
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void AppendLittle32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// An ID3v2.2 tag (three-letter frames, 24-bit sizes): a Latin-1 title and a
// UTF-16 artist with a byte-order mark, in front of plain MPEG audio.
std::vector<uint8_t> Id3v22File() {
    const auto frame = [](const std::string& id, const std::vector<uint8_t>& body) {
        std::vector<uint8_t> out = Bytes(id);
        out.insert(out.end(), {0, 0, static_cast<uint8_t>(body.size())});
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
    std::vector<uint8_t> frames = frame("TT2", Bytes(std::string("\0Old Title", 10)));
    const std::vector<uint8_t> artist = frame("TP1", {1, 0xFF, 0xFE, 'O', 0, 'l', 0, 'd', 0, 0xE9, 0});
    frames.insert(frames.end(), artist.begin(), artist.end());
    std::vector<uint8_t> file = Bytes("ID3");
    file.insert(file.end(), {2, 0, 0, 0, 0, 0, static_cast<uint8_t>(frames.size())});
    file.insert(file.end(), frames.begin(), frames.end());
    const std::vector<uint8_t> audio = test::ReadFileBytes(test::FixturePath("cbr128_noinfo.mp3"));
    file.insert(file.end(), audio.begin(), audio.end());
    return file;
}

// Plain MPEG audio followed by an APEv2 tag: items, then the 32-byte footer.
std::vector<uint8_t> ApeFile() {
    std::vector<uint8_t> items;
    const auto item = [&items](const std::string& key, const std::string& value) {
        AppendLittle32(items, static_cast<uint32_t>(value.size()));
        AppendLittle32(items, 0);
        items.insert(items.end(), key.begin(), key.end());
        items.push_back(0);
        items.insert(items.end(), value.begin(), value.end());
    };
    item("Title", "Ape Title");
    item("Artist", "Ape Artist");
    item("Track", "9");
    std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("cbr128_noinfo.mp3"));
    file.insert(file.end(), items.begin(), items.end());
    const std::vector<uint8_t> magic = Bytes("APETAGEX");
    file.insert(file.end(), magic.begin(), magic.end());
    AppendLittle32(file, 2000);
    AppendLittle32(file, static_cast<uint32_t>(items.size() + 32));
    AppendLittle32(file, 3);
    AppendLittle32(file, 0);
    file.insert(file.end(), 8, 0);
    return file;
}

TEST(TagReader, ReadsId3v22AndApeTags) {
    const test::TemporaryFile id3v22(Id3v22File(), "old.mp3");
    const test::TemporaryFile ape(ApeFile(), "ape.mp3");
    PlayerTag tag;
    ASSERT_EQ(PlayerReadFileTag(id3v22.Path(), &tag), 1);
    ExpectTag(tag, {"Old Title", "Old\xC3\xA9", "", 0, 0, ""}, "ID3v2.2");
    ASSERT_EQ(PlayerReadFileTag(ape.Path(), &tag), 1);
    ExpectTag(tag, {"Ape Title", "Ape Artist", "", 9, 0, ""}, "APE");
}

TEST(TagReader, FindsTheEmbeddedFrontCover) {
    const std::vector<uint8_t> png = test::ReadFileBytes(test::FixturePath("cover.png"));
    for (const char* file : {"cover.mp3", "cover.flac"}) {
        PlayerPicture picture;
        ASSERT_EQ(PlayerReadFileCover(test::FixturePath(file), &picture), 1) << file;
        EXPECT_EQ(picture.mimeType, "image/png") << file;
        EXPECT_EQ(std::vector<uint8_t>(picture.bytes.begin(), picture.bytes.end()), png) << file;
    }
    for (const char* file : {"id3v2_only.mp3", "tagged.flac", "tagged.ogg", "garbage.bin"}) {
        PlayerPicture picture;
        EXPECT_EQ(PlayerReadFileCover(test::FixturePath(file), &picture), 0) << file;
    }
}

// The hand-made hostile inputs of the fuzzers' corpus, read as every
// container: each read ends and says no, or says yes within the bounds.
TEST(TagReader, HostileInputsEndCleanly) {
    using engine::TagContainer;
    const std::string directory = test::RegressionInputPath("tag_reader", "");
    for (const auto& input : std::filesystem::directory_iterator(directory)) {
        for (const TagContainer container : {TagContainer::Mpeg, TagContainer::Flac, TagContainer::OggVorbis,
                                             TagContainer::Opus, TagContainer::Wave}) {
            PlayerTag tag;
            if (engine::ReadContainerTag(input.path(), container, tag)) {
                EXPECT_LE(tag.title.size(), 4 * kTagTextCharacters) << input.path();
            }
            PlayerPicture picture;
            if (engine::ReadContainerCover(input.path(), container, picture)) {
                EXPECT_LE(picture.bytes.size(), kPlayerPictureBytes) << input.path();
            }
        }
    }
}

}  // namespace
