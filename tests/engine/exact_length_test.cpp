// Every kind of file plays exactly the samples its encoder was given, and its
// length says so: MP3s with a LAME tag drop the encoder's delay and padding,
// the others are exact by their containers. The fixtures are sines of odd
// sample counts at 48 kHz, stereo.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/player_engine.h"
#include "tests/support/captured_playback.h"
#include "tests/support/fixtures.h"
#include "tests/support/libmad_reference.h"

namespace {

constexpr size_t kBytesPerSampleFrame = 4;  // 16-bit stereo
constexpr uint32_t kSamplesPerMpegFrame = 1152;

class ExactLength : public test::CapturedPlayback {
protected:
    // Sample frames played from where the source stands to its end.
    size_t PlayedFrames(size_t stopsBefore = 0) {
        captured.Clear();
        EXPECT_TRUE(PlayToTheEnd(stopsBefore));
        return captured.Bytes().size() / kBytesPerSampleFrame;
    }
};

TEST_F(ExactLength, EveryFormatPlaysTheEncodersSampleCount) {
    for (const uint32_t samples : {700u, 48001u, 100003u}) {
        for (const char* kind :
             {"exact_%u.mp3", "exact_vbr_%u.mp3", "exact_%u.ogg", "exact_%u.flac", "exact_%u.opus"}) {
            char name[64];
            std::snprintf(name, sizeof name, kind, samples);
            ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(name)), 1) << name;
            EXPECT_EQ(engine->length, samples) << name;
            EXPECT_EQ(PlayerGetDuration(engine.get()), int32_t(samples / 48)) << name;
            EXPECT_EQ(PlayedFrames(), samples) << name;
            PlayerClose(engine.get());
            window.Clear();
        }
    }
}

// Seeks count on the trimmed timeline: after a seek to T ms the samples from
// T on play, the same (but for the rounding's last bit) as when played
// through. In a constant-bitrate file the seek finds its frame exactly.
TEST_F(ExactLength, SeeksLandOnTheTrimmedTimeline) {
    constexpr uint32_t kSamples = 100003;
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("exact_100003.mp3")), 1);
    ASSERT_EQ(PlayedFrames(), kSamples);
    const std::vector<int16_t> whole = Samples();
    size_t stops = 1;
    for (const int32_t milliseconds : {0, 1, 500, 1500, 2000}) {
        ASSERT_EQ(PlayerSeek(engine.get(), milliseconds), 1) << milliseconds;
        EXPECT_EQ(PlayerGetPosition(engine.get()), milliseconds);
        const size_t first = size_t(milliseconds) * 48;
        ASSERT_EQ(PlayedFrames(stops++), kSamples - first) << milliseconds;
        const std::vector<int16_t> rest = Samples();
        int worst = 0;
        for (size_t index = 0; index < rest.size(); ++index) {
            worst = std::max(worst, std::abs(rest[index] - whole[first * 2 + index]));
        }
        EXPECT_LE(worst, 1) << milliseconds;
    }
}

// A file without a Xing frame plays every frame libmad decodes, the last one
// included.
TEST_F(ExactLength, TheLastFrameIsPlayed) {
    for (const char* name : {"cbr128_noinfo.mp3", "long_minute.mp3", "layer2.mp2"}) {
        const std::vector<uint8_t> bytes = test::WithMadGuard(test::ReadFileBytes(test::FixturePath(name)));
        const test::ReferencePcm reference = test::DecodeWithLibmad(bytes, 16, false);
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(name)), 1) << name;
        captured.Clear();
        ASSERT_TRUE(PlayToTheEnd());
        EXPECT_EQ(captured.Bytes().size(), reference.pcm.size()) << name;
        PlayerClose(engine.get());
        window.Clear();
    }
}

// A copy of `name` with one byte changed at `offset` from its first frame.
std::string Damaged(const test::TemporaryDirectory& directory, const char* name, size_t offset, uint8_t value) {
    std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath(name));
    bytes.at(offset) = value;
    const std::string path = directory.Path() + "/damaged.mp3";
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

// A damaged LAME tag trims nothing: every audio frame plays, the Xing frame
// still none. A frame count that contradicts the file's size is not believed.
TEST_F(ExactLength, ADamagedTagPlaysEveryAudioFrame) {
    test::TemporaryDirectory directory;
    // exact_48001.mp3: an Info frame (4 header bytes, 32 of side information,
    // the magic, flags, count, size, table of contents and quality; then the
    // LAME tag) before 43 frames.
    constexpr size_t kFrameCount = 4 + 32 + 8;
    constexpr size_t kLameTag = kFrameCount + 4 + 4 + 100 + 4;
    struct Case {
        const char* what;
        size_t offset;
        uint8_t value;
        uint32_t length;
    };
    const Case cases[] = {
        {"delay changed", kLameTag + 21, 0x30, 43 * kSamplesPerMpegFrame},
        {"checksum changed", kLameTag + 35, 0x00, 43 * kSamplesPerMpegFrame},
        {"frame count far too high", kFrameCount, 0x7F, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(PlayerOpen(engine.get(), Damaged(directory, "exact_48001.mp3", c.offset, c.value)), 1) << c.what;
        if (c.length != 0) {
            EXPECT_EQ(engine->length, c.length) << c.what;
        }
        EXPECT_EQ(PlayedFrames(), 43 * kSamplesPerMpegFrame) << c.what;
        PlayerClose(engine.get());
        window.Clear();
    }
}

}  // namespace
