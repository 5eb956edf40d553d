// Ogg Opus through libopusfile: open, probe, comments, and playback through
// the engine against libopusfile's own decode of the same file.

#include "formats/opus/opus_source.h"

#include <opus/opusfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>

#include "engine/player_engine.h"
#include "tests/support/captured_playback.h"
#include "tests/support/fixtures.h"
#include "tests/support/temporary_directory.h"

namespace {

using namespace engine;

// Lengths are exact: the pre-skip is not counted.
TEST(OpusOpen, FormatLengthAndRefusals) {
    struct Case {
        const char* file;
        int32_t channels;
        uint32_t length;
    };
    const Case cases[] = {{"tagged.opus", 2, 5 * 48000}, {"mono.opus", 1, 2 * 48000}, {"six_channels.opus", 2, 48000}};
    test::EngineHandle engine(PlayerCreate());
    for (const auto& [file, channels, length] : cases) {
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(file)), 1) << file;
        EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_OPUS_FILE) << file;
        PlayerFileInfo info;
        PlayerGetFileInfo(engine.get(), &info);
        EXPECT_EQ(info.channels, channels) << file;
        EXPECT_EQ(info.sampleRate, 48000) << file << ": Opus always decodes at 48 kHz";
        EXPECT_GT(info.bitrate, 0) << file;
        EXPECT_EQ(engine->length, length) << file;
    }
    for (const char* refused : {"garbage.bin", "empty.mp3", "tagged.ogg", "tagged.flac", "no such.opus"}) {
        EXPECT_FALSE(OpusOpen(*engine, test::FixturePath(refused))) << refused;
        EXPECT_EQ(engine->opus, nullptr) << refused;
    }
    EXPECT_TRUE(OpusProbe(test::FixturePath("truncated.opus")));
    for (const char* other : {"tagged.ogg", "ogg_flac.oga", "tagged.flac", "cbr128.mp3", "garbage.bin"}) {
        EXPECT_FALSE(OpusProbe(test::FixturePath(other))) << other;
    }

    test::TemporaryDirectory directory;
    const std::string fifo = directory.Path() + "/pipe.opus";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(OpusProbe(fifo)) << "a FIFO is refused, not waited on";
    EXPECT_FALSE(OpusOpen(*engine, fifo));
}

TEST(OpusTags, KeysMatchInAnyCase) {
    test::EngineHandle engine(PlayerCreate());
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("tagged.opus")), 1);
    PlayerTag tag;
    ASSERT_EQ(PlayerGetTag(engine.get(), &tag), 1);
    EXPECT_EQ(tag.title, "Opus title");
    EXPECT_EQ(tag.artist, "Opus artist") << "written as Artist=";
    PlayerTag fromFile;
    ASSERT_EQ(PlayerReadFileTag(test::FixturePath("tagged.opus"), &fromFile), 1);
    EXPECT_EQ(fromFile.artist, "Opus artist");
}

// libopusfile's float decode from `startSample` to the end, in 16-bit steps.
std::vector<float> DecodeWithOpusfile(const std::string& path, int64_t startSample = 0) {
    std::vector<float> pcm;
    OggOpusFile* file = op_open_file(path.c_str(), nullptr);
    if (file == nullptr) {
        ADD_FAILURE() << "libopusfile cannot open " << path;
        return pcm;
    }
    if (startSample > 0) {
        EXPECT_EQ(op_pcm_seek(file, startSample), 0);
    }
    float buffer[5760 * 2];
    int frames = 0;
    while ((frames = op_read_float_stereo(file, buffer, 5760 * 2)) > 0) {
        for (int index = 0; index < frames * 2; ++index) pcm.push_back(buffer[index] * 32768.0f);
    }
    op_free(file);
    return pcm;
}

// Within the dither and rounding of every sample: the same samples, aligned.
void ExpectWithinDither(const std::vector<int16_t>& played, const std::vector<float>& reference) {
    ASSERT_EQ(played.size(), reference.size());
    float worst = 0;
    for (size_t index = 0; index < played.size(); ++index) {
        worst = std::max(worst, std::abs(float(played[index]) - std::clamp(reference[index], -32768.0f, 32767.0f)));
    }
    EXPECT_LE(worst, 1.5f);
}

using OpusPlayback = test::CapturedPlayback;

TEST_F(OpusPlayback, PlaysWhatLibopusfileDecodesAndSeeksToTheSample) {
    const std::string path = test::FixturePath("tagged.opus");
    ASSERT_EQ(PlayerOpen(engine.get(), path), 1);
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(captured.Format().sampleRate, 48000u);
    ExpectWithinDither(Samples(), DecodeWithOpusfile(path));

    captured.Clear();
    ASSERT_EQ(PlayerSeek(engine.get(), 2000), 1);
    EXPECT_EQ(PlayerGetPosition(engine.get()), 2000);
    ASSERT_TRUE(PlayToTheEnd(1));
    ExpectWithinDither(Samples(), DecodeWithOpusfile(path, 96000));
}

// The Ogg page checksum: CRC-32 with polynomial 0x04C11DB7, unreflected,
// over the page with its checksum field zeroed.
uint32_t OggChecksum(const uint8_t* page, size_t size) {
    uint32_t crc = 0;
    for (size_t index = 0; index < size; ++index) {
        crc ^= uint32_t{page[index]} << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) != 0 ? crc << 1 ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// A copy of `bytes` whose OpusHead asks for `gainQ8` (dB in 1/256) of output gain.
std::vector<uint8_t> WithOutputGain(std::vector<uint8_t> bytes, int16_t gainQ8) {
    constexpr size_t kChecksumOffset = 22;
    constexpr size_t kGainOffset = 16;
    const size_t pageSize = 27 + bytes[26] + bytes[27];  // one segment: the OpusHead packet
    uint8_t* head = bytes.data() + 27 + bytes[26];
    head[kGainOffset] = static_cast<uint8_t>(gainQ8);
    head[kGainOffset + 1] = static_cast<uint8_t>(gainQ8 >> 8);
    std::fill_n(bytes.data() + kChecksumOffset, 4, 0);
    const uint32_t crc = OggChecksum(bytes.data(), pageSize);
    for (int index = 0; index < 4; ++index) bytes[kChecksumOffset + index] = static_cast<uint8_t>(crc >> (8 * index));
    return bytes;
}

TEST_F(OpusPlayback, TheHeadersOutputGainIsApplied) {
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("tagged.opus")), 1);
    ASSERT_TRUE(PlayToTheEnd());
    const std::vector<int16_t> plain = Samples();

    const test::TemporaryFile louder(WithOutputGain(test::ReadFileBytes(test::FixturePath("tagged.opus")), 3 * 256),
                                     "louder.opus");
    captured.Clear();
    window.Clear();
    ASSERT_EQ(PlayerOpen(engine.get(), louder.Path()), 1);
    ASSERT_TRUE(PlayToTheEnd());
    const std::vector<int16_t> gained = Samples();
    ASSERT_EQ(gained.size(), plain.size());
    const auto peak = [](const std::vector<int16_t>& samples) {
        int largest = 0;
        for (const int16_t sample : samples) largest = std::max(largest, std::abs(int{sample}));
        return largest;
    };
    EXPECT_NEAR(double(peak(gained)) / peak(plain), std::pow(10.0, 3.0 / 20), 0.01) << "+3 dB";
}

TEST_F(OpusPlayback, DamagedStreamsEndCleanly) {
    for (const char* damaged : {"truncated.opus", "hole.opus"}) {
        window.Clear();
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(damaged)), 1) << damaged;
        EXPECT_TRUE(PlayToTheEnd()) << damaged;
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED) << damaged;
    }
}

}  // namespace
