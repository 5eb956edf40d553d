// The tag cache: a file is read again only when its size or modification
// time changed, and a damaged or foreign cache file is ignored, then replaced.

#include "playlist/tag_cache.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace {

const std::string kTitle = "Song Title";

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  static_cast<std::streamsize>(bytes.size()));
}

timespec ModifiedTime(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0);
    return status.st_mtim;
}

void SetModifiedTime(const std::string& path, timespec modified) {
    const timespec times[2] = {modified, modified};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The ID3v1-tagged fixture's bytes with its title's first letter replaced.
std::vector<uint8_t> Retitled(char letter) {
    std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath("id3v1.mp3"));
    const auto title = std::search(bytes.begin(), bytes.end(), kTitle.begin(), kTitle.end());
    EXPECT_NE(title, bytes.end());
    *title = static_cast<uint8_t>(letter);
    return bytes;
}

std::string TitleThroughCache(const std::string& cachePath, const std::string& file) {
    TagCache cache(cachePath);
    const std::vector<std::optional<PlayerTag>> tags = cache.Read({file});
    EXPECT_TRUE(cache.Save());
    return tags.at(0) ? tags[0]->title : "<no tag>";
}

// The same entries as the previous version wrote them: its marker, and no
// length after each entry's numbers.
std::vector<uint8_t> PreviousVersion(const std::vector<uint8_t>& oneEntry) {
    std::vector<uint8_t> bytes(oneEntry.begin(), oneEntry.end() - 8);
    bytes[14] = '1';
    return bytes;
}

TEST(TagCache, ReadsAgainOnlyWhenSizeOrTimeChanged) {
    const test::TemporaryDirectory directory;
    const std::string cachePath = directory.PathOf("tags.cache");
    const std::string file = directory.PathOf("song.mp3");
    WriteBytes(file, Retitled('S'));
    const timespec written = ModifiedTime(file);
    EXPECT_EQ(TitleThroughCache(cachePath, file), kTitle);

    // Same size, same time: the cache answers, so the old title shows.
    WriteBytes(file, Retitled('B'));
    SetModifiedTime(file, written);
    EXPECT_EQ(TitleThroughCache(cachePath, file), kTitle);

    SetModifiedTime(file, {written.tv_sec + 1, written.tv_nsec});
    EXPECT_EQ(TitleThroughCache(cachePath, file), "B" + kTitle.substr(1));

    std::vector<uint8_t> longer = Retitled('C');
    longer.insert(longer.end() - 128, 0);  // before the ID3v1 tag, which ends the file
    WriteBytes(file, longer);
    SetModifiedTime(file, {written.tv_sec + 1, written.tv_nsec});
    EXPECT_EQ(TitleThroughCache(cachePath, file), "C" + kTitle.substr(1));

    // Untagged and missing files have no tag, cached or not.
    const std::string untagged = test::FixturePath("cbr128.mp3");
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(TitleThroughCache(cachePath, untagged), "<no tag>");
        EXPECT_EQ(TitleThroughCache(cachePath, directory.PathOf("missing.mp3")), "<no tag>");
    }
}

TEST(TagCache, DamagedOrForeignFilesAreIgnoredAndReplaced) {
    const test::TemporaryDirectory directory;
    const std::string file = test::FixturePath("id3v1.mp3");
    const std::string cachePath = directory.PathOf("tags.cache");
    TitleThroughCache(cachePath, file);
    const std::vector<uint8_t> good = test::ReadFileBytes(cachePath);
    ASSERT_EQ(ParseTagCache(std::string(good.begin(), good.end())).value().size(), 1u);

    const std::vector<std::vector<uint8_t>> damaged = {
        {},
        std::vector<uint8_t>(good.begin(), good.end() - 1),                 // cut short
        std::vector<uint8_t>(good.begin(), good.begin() + 20),              // cut inside the first path
        {'T', 'U', 'N', 'E', 'L', 'A', 'R', 'K', ' ', 'T', 'A', 'G', 'S', ' ', '9', '\n'},  // another version
        PreviousVersion(good),
        test::ReadFileBytes(test::FixturePath("garbage.bin")),
    };
    for (size_t index = 0; index < damaged.size(); ++index) {
        std::vector<uint8_t> bytes = damaged[index];
        WriteBytes(cachePath, bytes);
        EXPECT_EQ(TitleThroughCache(cachePath, file), kTitle) << index;
        EXPECT_EQ(test::ReadFileBytes(cachePath), good) << "replaced whole: " << index;
    }

    // A text length beyond the bound refuses the file, whatever follows.
    std::vector<uint8_t> huge(good.begin(), good.begin() + 16);
    huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_FALSE(ParseTagCache(std::string(huge.begin(), huge.end())));
}

// Lengths come through the cache as tags do: read once with an engine, then
// from the file, which keeps the tag read with them.
TEST(TagCache, LengthsAreKeptWithTheTags) {
    const test::TemporaryDirectory directory;
    const std::string cachePath = directory.PathOf("tags.cache");
    PlayerEngine* engine = PlayerCreate();
    ASSERT_NE(engine, nullptr);
    struct Case {
        std::string file;
        std::optional<int64_t> length;
    };
    const Case cases[] = {
        {test::FixturePath("id3v1.mp3"), 300},           // 0.3 seconds of tone
        {test::FixturePath("tone.wav"), 5000},
        {test::FixturePath("garbage.bin"), std::nullopt},  // not audio
        {directory.PathOf("missing.mp3"), std::nullopt},
    };
    {
        TagCache cache(cachePath);
        for (const Case& c : cases) {
            const std::optional<int64_t> length = cache.ReadLength(c.file, engine);
            // An MP3's length may count its encoder's padding.
            EXPECT_NEAR(length.value_or(-1), c.length.value_or(-1), 100) << c.file;
        }
        EXPECT_TRUE(cache.Save());
    }
    PlayerDestroy(engine);

    const std::vector<uint8_t> bytes = test::ReadFileBytes(cachePath);
    const std::optional<std::vector<TagCacheEntry>> entries = ParseTagCache(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u) << "a missing file is not kept";
    for (const TagCacheEntry& entry : *entries) {
        const auto c = std::find_if(std::begin(cases), std::end(cases),
                                    [&](const Case& candidate) { return candidate.file == entry.path; });
        ASSERT_NE(c, std::end(cases)) << entry.path;
        EXPECT_EQ(entry.lengthMs >= 0, c->length.has_value()) << entry.path;
    }
    EXPECT_EQ(TitleThroughCache(cachePath, cases[0].file), kTitle);
}

}  // namespace
