// FLAC through libFLAC: open, probe, comments, and playback through the
// engine against the PCM the fixtures were encoded from.

#include "formats/flac/flac_source.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "engine/file_reader.h"
#include "engine/player_engine.h"
#include "formats/flac/flac_decoder.h"
#include "tests/support/captured_playback.h"
#include "tests/support/fixtures.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/wave_file.h"

namespace {

using namespace engine;

TEST(FlacOpen, FormatLengthAndRefusals) {
    struct Case {
        const char* file;
        int32_t channels;
        int32_t sampleRate;
        uint32_t length;
    };
    const Case cases[] = {
        {"tagged.flac", 2, 44100, 5 * 44100},     {"pcm24.flac", 2, 48000, 2 * 48000},
        {"rate96k.flac", 2, 96000, 2 * 96000},    {"rate192k.flac", 2, 192000, 192000},
        {"six_channels.flac", 2, 44100, 44100},   {"pcm8_mono.flac", 1, 22050, 22050},
        {"ogg_flac.oga", 2, 44100, 13230},        {"id3v2.flac", 2, 44100, 5 * 44100},
    };
    test::EngineHandle engine(PlayerCreate());
    for (const auto& [file, channels, sampleRate, length] : cases) {
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(file)), 1) << file;
        EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_FLAC_FILE) << file;
        PlayerFileInfo info;
        PlayerGetFileInfo(engine.get(), &info);
        EXPECT_EQ(info.channels, channels) << file << ": what the output plays";
        EXPECT_EQ(info.sampleRate, sampleRate) << file;
        EXPECT_GT(info.bitrate, 0) << file;
        EXPECT_EQ(engine->length, length) << file;
    }
    for (const char* refused : {"garbage.bin", "empty.mp3", "tagged.ogg", "tagged.opus", "no such.flac"}) {
        EXPECT_FALSE(FlacOpen(*engine, test::FixturePath(refused))) << refused;
        EXPECT_EQ(engine->flac, nullptr) << refused;
    }
}

TEST(FlacOpen, ProbeKnowsFlacByContent) {
    for (const char* flac : {"tagged.flac", "ogg_flac.oga", "id3v2.flac", "truncated.flac"}) {
        EXPECT_TRUE(FlacProbe(test::FixturePath(flac))) << flac;
        EXPECT_EQ(PlayerIsPlayableFile(test::FixturePath(flac)), 1) << flac;
    }
    for (const char* other : {"cbr128.mp3", "tagged.ogg", "tagged.opus", "pcm.wav", "garbage.bin", "empty.mp3"}) {
        EXPECT_FALSE(FlacProbe(test::FixturePath(other))) << other;
    }
}

// A FIFO would block a plain open until a writer came; it is refused at once.
TEST(FlacOpen, AFifoIsRefusedWithoutBlocking) {
    test::TemporaryDirectory directory;
    const std::string fifo = directory.Path() + "/pipe.flac";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::EngineHandle engine(PlayerCreate());
    EXPECT_FALSE(FlacProbe(fifo));
    EXPECT_FALSE(FlacOpen(*engine, fifo));
    PlayerTag tag;
    EXPECT_FALSE(FlacReadFileTag(fifo, &tag));
}

TEST(FlacTags, KeysMatchInAnyCase) {
    test::EngineHandle engine(PlayerCreate());
    for (const char* file : {"tagged.flac", "id3v2.flac"}) {
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(file)), 1);
        PlayerTag tag;
        ASSERT_EQ(PlayerGetTag(engine.get(), &tag), 1);
        EXPECT_EQ(tag.title, "FLAC title") << file << ": written as Title=";
        EXPECT_EQ(tag.artist, "FLAC artist") << file << ": written as artist=";
        EXPECT_EQ(tag.album, "FLAC album") << file;
        PlayerTag fromFile;
        ASSERT_EQ(PlayerReadFileTag(test::FixturePath(file), &fromFile), 1) << file;
        EXPECT_EQ(fromFile.title, "FLAC title") << file << ": FLAC's reader, not MPEG's, after an ID3v2 tag";
    }
}

using FlacPlayback = test::CapturedPlayback;

std::vector<int16_t> WaveSamples(const char* fixture, size_t fromFrame = 0) {
    const auto wave = test::ReadWaveFile(test::FixturePath(fixture));
    if (!wave || wave->bitsPerSample != 16) {
        ADD_FAILURE() << fixture << " is not 16-bit WAVE";
        return {};
    }
    std::vector<int16_t> samples(wave->pcm.size() / 2);
    std::memcpy(samples.data(), wave->pcm.data(), samples.size() * 2);
    samples.erase(samples.begin(), samples.begin() + std::min(samples.size(), fromFrame * wave->channels));
    return samples;
}

// Lossless 16-bit stereo plays back exactly, native, behind an ID3v2 tag and
// in Ogg, from the start and after a seek.
TEST_F(FlacPlayback, SixteenBitsPlayExactlyAndSeekToTheSample) {
    const struct {
        const char* file;
        const char* source;
    } cases[] = {{"tagged.flac", "tone.wav"}, {"id3v2.flac", "tone.wav"}, {"ogg_flac.oga", "tone_short.wav"}};
    for (const auto& [file, source] : cases) {
        captured.Clear();
        window.Clear();
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(file)), 1) << file;
        ASSERT_TRUE(PlayToTheEnd()) << file;
        EXPECT_EQ(captured.Format().bitsPerSample, 16) << file;
        EXPECT_EQ(captured.Format().sampleRate, 44100u) << file;
        EXPECT_TRUE(Samples() == WaveSamples(source)) << file;

        captured.Clear();
        const int32_t target = PlayerGetDuration(engine.get()) / 2;
        ASSERT_EQ(PlayerSeek(engine.get(), target), 1) << file;
        EXPECT_EQ(PlayerGetPosition(engine.get()), target) << file << ": FLAC seeks to the sample";
        EXPECT_EQ(PlayerSeek(engine.get(), PlayerGetDuration(engine.get())), 0) << file << ": the end is refused";
        ASSERT_TRUE(PlayToTheEnd(1)) << file;
        EXPECT_TRUE(Samples() == WaveSamples(source, size_t(target) * 44100 / 1000)) << file;
    }
}

// 24 bits reach the 16-bit output rounded with dither: each sample within a
// step and a half of the source, and no bias, where truncation would lower
// every sample by half a step on average.
TEST_F(FlacPlayback, TwentyFourBitsAreDitheredWithoutBias) {
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("pcm24.flac")), 1);
    ASSERT_TRUE(PlayToTheEnd());
    const std::vector<int16_t> played = Samples();
    ASSERT_EQ(played.size(), 2u * 2 * 48000);
    // The reference: the same 24-bit samples that libFLAC hands the engine.
    FileReader reader;
    FlacDecoder decoder;
    ASSERT_TRUE(reader.ReaderOpen(test::FixturePath("pcm24.flac")) && decoder.Open(reader));
    DecodedPcm source;
    while (decoder.DecodeNext(source) == DecodeStep::Delivered) {}
    ASSERT_EQ(source.samples.size(), played.size());
    double errorSum = 0;
    double worst = 0;
    for (size_t index = 0; index < played.size(); ++index) {
        const double error = played[index] - double(source.samples[index]) * 32768.0;
        errorSum += error;
        worst = std::max(worst, std::abs(error));
    }
    EXPECT_LE(worst, 1.5);
    EXPECT_LT(std::abs(errorSum / double(played.size())), 0.05) << "mean error in steps";
}

TEST_F(FlacPlayback, HighRatesPlayAtTheirRate) {
    for (const auto& [file, rate] : {std::pair{"rate96k.flac", 96000u}, std::pair{"rate192k.flac", 192000u}}) {
        captured.Clear();
        window.Clear();
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(file)), 1);
        ASSERT_TRUE(PlayToTheEnd()) << file;
        EXPECT_EQ(captured.Format().sampleRate, rate) << file;
        EXPECT_EQ(captured.Bytes().size(), size_t{engine->length} * 4) << file << ": every frame, none dropped";
    }
}

// The centre's tone (half of full scale) reaches both sides at -3 dB over
// the six channels' sum; the louder LFE does not reach them at all.
TEST_F(FlacPlayback, SixChannelsMixDownWithoutTheLfe) {
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("six_channels.flac")), 1);
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(captured.Format().channels, 2);
    const std::vector<int16_t> played = Samples();
    ASSERT_EQ(played.size(), 2u * 44100);
    int peak = 0;
    int widestApart = 0;
    for (size_t index = 0; index < played.size(); index += 2) {
        widestApart = std::max(widestApart, std::abs(played[index] - played[index + 1]));
        peak = std::max(peak, std::abs(int{played[index]}));
    }
    EXPECT_LE(widestApart, 2) << "the centre is in the middle, but for each side's dither";
    const double expected = 0.5 * 32768 * 0.70710678 / (1 + 2 * 0.70710678);
    EXPECT_NEAR(peak, expected, 0.01 * expected);
}

TEST_F(FlacPlayback, EightBitOutputAndDamagedFilesEndCleanly) {
    const PlayerOutputOptions eightBits{3, 8, 8, 0};
    ASSERT_EQ(PlayerSetOutputOptions(engine.get(), &eightBits), 1);
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("pcm8_mono.flac")), 1);
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(captured.Format().bitsPerSample, 8);
    EXPECT_EQ(captured.Bytes().size(), 22050u);
    for (const char* damaged : {"truncated.flac", "hole.flac"}) {
        window.Clear();
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(damaged)), 1) << damaged;
        EXPECT_TRUE(PlayToTheEnd()) << damaged;
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED) << damaged;
    }
}

}  // namespace
