// The length reader: what it is asked for comes back by path, each batch
// announced by one message, and what it read stays in the cache file.

#include "playlist/length_reader.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "platform/recording_window.h"
#include "playlist/tag_cache_file.h"
#include "tests/support/fixtures.h"
#include "tests/support/waiting.h"

namespace {

constexpr uint32_t kLengthsMessage = 0x1234;

TEST(LengthReader, ReadsWhatItIsAskedAndKeepsItInTheCache) {
    const test::TemporaryDirectory directory;
    const std::string cachePath = directory.PathOf("tags.cache");
    const std::string tone = test::FixturePath("tone.wav"), garbage = test::FixturePath("garbage.bin"),
                      missing = directory.PathOf("missing.mp3");
    platform::RecordingWindow window;
    std::map<std::string, int64_t> lengths;
    size_t takes = 0;
    {
        LengthReader reader(cachePath, window, kLengthsMessage);
        reader.Request({tone, garbage, missing});
        // Each message is answered by taking what is there, as the window does.
        ASSERT_TRUE(test::Eventually([&] {
            if (window.MessagesOf(kLengthsMessage).size() > takes) {
                ++takes;
                for (auto& [path, length] : reader.TakeLengths()) lengths[path] = length;
            }
            return lengths.size() == 3;
        }));
    }
    EXPECT_NEAR(lengths[tone], 5000, 30);
    EXPECT_EQ(lengths[garbage], kLengthUnreadable);
    EXPECT_EQ(lengths[missing], kLengthUnreadable);
    EXPECT_LE(window.MessagesOf(kLengthsMessage).size(), takes + 1) << "no message while lengths wait untaken";

    const std::vector<uint8_t> bytes = test::ReadFileBytes(cachePath);
    const auto entries = ParseTagCache(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    for (const TagCacheEntry& entry : *entries) EXPECT_EQ(entry.lengthMs, lengths[entry.path]) << entry.path;
}

}  // namespace
