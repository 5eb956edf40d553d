// WAVE files through the engine: what an open reports, the chunk rules, PCM
// played byte for byte, converted formats against sox, seeks, replays, and
// damaged or hostile files.

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "formats/wave/wave_source.h"
#include "formats/wave/wave_state.h"
#include "platform/byte_order.h"
#include "platform/recording_window.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/riff_builder.h"
#include "tests/support/waiting.h"
#include "tests/support/wave_file.h"

namespace {

using test::Chunk;
using test::Fmt;
using test::Le16;
using test::Le32;
using test::Riff;

std::vector<uint8_t> Pcm16Mono8000() { return Fmt(1, 1, 8000, 16000, 2, 16); }
// IMA ADPCM, mono, 8000 Hz, 256-byte blocks of 505 samples.
std::vector<uint8_t> ImaMono(uint32_t average = 4055, uint16_t blockAlign = 256) {
    return Fmt(0x11, 1, 8000, average, blockAlign, 4, Le16((blockAlign - 4) * 2 + 1));
}
std::vector<uint8_t> Ramp(size_t bytes) {
    std::vector<uint8_t> data(bytes);
    for (size_t index = 0; index < bytes; ++index) data[index] = uint8_t(index * 7 + index / 256);
    return data;
}
std::vector<uint8_t> Noise(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> data(bytes);
    for (uint8_t& byte : data) byte = uint8_t(random());
    return data;
}

std::vector<int16_t> Samples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// One engine that plays into memory through the capture device.
class WavePlayer {
public:
    WavePlayer() : engine_(test::MakeEngine()) {
        PlayerSetNotifyWindow(engine_.get(), &window_);
        PlayerSetOutputDevice(engine_.get(), platform::WaveBackend::Capture, captured_.Sink());
    }

    PlayerEngine* Engine() { return engine_.get(); }
    bool Open(const std::string& path) { return PlayerOpen(engine_.get(), path) == 1; }

    // Plays from wherever the source stands to its end; what was played.
    std::optional<std::vector<uint8_t>> PlayToEnd() {
        Clear();
        if (PlayerPlay(engine_.get()) != 1 || !test::WaitForStatus(window_, PLAYER_STOPPED)) return std::nullopt;
        return Captured();
    }

    void Clear() {
        window_.Clear();
        captured_.Clear();
    }
    std::vector<uint8_t> Captured() { return captured_.Bytes(); }
    uint16_t Bits() { return captured_.Format().bitsPerSample; }

private:
    platform::RecordingWindow window_;
    test::CapturedAudio captured_{test::CapturedAudio::kUnpaced};
    test::EngineHandle engine_;
};

std::vector<uint8_t> DataChunk(const std::string& fixture) {
    const auto wave = test::ReadWaveFile(test::FixturePath(fixture));
    EXPECT_TRUE(wave.has_value()) << fixture;
    return wave ? wave->pcm : std::vector<uint8_t>{};
}

TEST(WaveOpen, ReportsFormatLengthAndBitrate) {
    struct Case {
        const char* fixture;
        int32_t channels;
        int32_t rate;
        int32_t bitrate;
        uint32_t length;
        int32_t duration;
    };
    const Case cases[] = {
        {"wave_pcm16_mono.wav", 1, 32000, 512, 32000, 1000},
        {"wave_pcm8_mono.wav", 1, 11025, 88, 11025, 1000},
        {"pcm.wav", 2, 44100, 1411, 220500, 5000},
        {"wave_list.wav", 1, 32000, 512, 32000, 1000},
        {"wave_odd_chunk.wav", 1, 32000, 512, 32000, 1000},
        // The fact chunk's count.
        {"wave_ima_stereo.wav", 2, 22050, 178, 26460, 1200},
        {"wave_gsm.wav", 1, 8000, 13, 12000, 1500},
        {"wave_float_stereo.wav", 2, 22050, 1411, 26460, 1200},
        {"wave_pcm24_stereo.wav", 2, 22050, 1058, 26460, 1200},
    };
    for (const auto& [fixture, channels, rate, bitrate, length, duration] : cases) {
        WavePlayer player;
        ASSERT_TRUE(player.Open(test::FixturePath(fixture))) << fixture;
        PlayerEngine* engine = player.Engine();
        EXPECT_EQ(PlayerGetSourceKind(engine), SOURCE_WAVE_FILE) << fixture;
        PlayerFileInfo info;
        PlayerGetFileInfo(engine, &info);
        EXPECT_EQ(info.version, 0) << fixture;
        EXPECT_EQ(info.layer, 0) << fixture;
        EXPECT_EQ(info.channels, channels) << fixture;
        EXPECT_EQ(info.sampleRate, rate) << fixture;
        EXPECT_EQ(info.bitrate, bitrate) << fixture;
        EXPECT_EQ(info.duration, duration) << fixture;
        EXPECT_EQ(engine->length, length) << fixture;
        EXPECT_EQ(engine->path, test::FixturePath(fixture));
        EXPECT_EQ(PlayerIsPlayableFile(test::FixturePath(fixture)), 1) << fixture;
    }
}

// The chunk rules, on files built here: fmt first, fact of size 4, any other
// chunk between fmt and data skipped, pad bytes honoured, sizes checked.
TEST(WaveOpen, ChunkRules) {
    const std::vector<uint8_t> data = Ramp(1600);
    const Chunk fmt{"fmt ", Pcm16Mono8000()};
    const Chunk list{"LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 6, 0, 0, 0, 'T', 'i', 't', 'l', 'e', 0}};
    const Chunk fact{"fact", Le32(1234)};
    const Chunk dataChunk{"data", data};
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        bool opens;
        uint32_t length;
    };
    std::vector<uint8_t> oddFormat = Pcm16Mono8000();
    oddFormat.push_back(0x77);
    const Case cases[] = {
        {"fmt and data", Riff({fmt, dataChunk}), true, 800},
        {"fact before data", Riff({fmt, fact, dataChunk}), true, 800},
        {"LIST before data", Riff({fmt, list, dataChunk}), true, 800},
        {"LIST, then fact", Riff({fmt, list, fact, dataChunk}), true, 800},
        {"odd-sized chunk with its pad byte", Riff({fmt, {"junk", {1, 2, 3}}, dataChunk}), true, 800},
        {"odd-sized fmt chunk with its pad byte", Riff({{"fmt ", oddFormat}, dataChunk}), true, 800},
        {"data size beyond the file", Riff({fmt, {"data", data, 100000}}), true, 800},
        {"fact of size 6", Riff({fmt, {"fact", {1, 2, 3, 4, 5, 6}}, dataChunk}), false, 0},
        {"fact of size 0", Riff({fmt, {"fact", {}}, dataChunk}), false, 0},
        {"LIST before fmt", Riff({list, fmt, dataChunk}), false, 0},
        {"data before fmt", Riff({dataChunk, fmt}), false, 0},
        {"no data chunk", Riff({fmt, list}), false, 0},
        {"chunk running past the file", Riff({fmt, {"LIST", list.body, 5000}, dataChunk}), false, 0},
        {"not WAVE", [&] { auto file = Riff({fmt, dataChunk}); file[8] = 'A'; return file; }(), false, 0},
    };
    for (const auto& [what, file, opens, length] : cases) {
        const test::TemporaryFile input(file, "input.wav");
        WavePlayer player;
        EXPECT_EQ(player.Open(input.Path()), opens) << what;
        EXPECT_EQ(player.Engine()->length, length) << what;
        if (!opens) {
            EXPECT_EQ(player.Engine()->wave, nullptr) << what;
            EXPECT_FALSE(player.Engine()->fileReader.IsOpen()) << what << ": a refused file is closed";
            continue;
        }
        const auto played = player.PlayToEnd();
        ASSERT_TRUE(played.has_value()) << what;
        EXPECT_EQ(*played, data) << what;
    }
}

TEST(WaveOpen, LengthFollowsTheFormat) {
    struct Case {
        const char* what;
        std::vector<Chunk> chunks;
        uint32_t length;
        int32_t duration;
        int32_t bitrate;
    };
    const uint32_t tenSeconds = 1764000;
    const uint32_t imaBytes = 4055 * 29 / 10;  // 2.9 s at the average rate
    const Case cases[] = {
        {"10 s of CD audio", {{"fmt ", Fmt(1, 2, 44100, 176400, 4, 16)}, {"data", std::vector<uint8_t>(tenSeconds)}},
         441000, 10000, 1411},
        {"2.9 s of IMA ADPCM without fact: whole seconds",
         {{"fmt ", ImaMono()}, {"data", Noise(imaBytes, 1)}}, 16000, 2000, 32},
        {"IMA ADPCM with fact", {{"fmt ", ImaMono()}, {"fact", Le32(12345)}, {"data", Noise(imaBytes, 1)}},
         12345, 1543, 32},
        {"8-bit stereo", {{"fmt ", Fmt(1, 2, 11025, 22050, 2, 8)}, {"data", Ramp(3001)}}, 1500, 136, 176},
    };
    for (const auto& [what, chunks, length, duration, bitrate] : cases) {
        const test::TemporaryFile input(Riff(chunks), "input.wav");
        WavePlayer player;
        ASSERT_TRUE(player.Open(input.Path())) << what;
        PlayerFileInfo info;
        PlayerGetFileInfo(player.Engine(), &info);
        EXPECT_EQ(player.Engine()->length, length) << what;
        EXPECT_EQ(info.duration, duration) << what;
        EXPECT_EQ(info.bitrate, bitrate) << what;
    }
}

TEST(WaveOpen, RefusesAbsurdAndUnsupportedFormats) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    const Chunk data{"data", Ramp(2048)};
    const Case cases[] = {
        {"fmt size of 4 GB", Riff({{"fmt ", Pcm16Mono8000(), 0xFFFFFFF0}, data})},
        {"fmt size above 64 KB", Riff({{"fmt ", std::vector<uint8_t>(70000)}, data})},
        {"fmt of 15 bytes", [&data] {
             std::vector<uint8_t> format = Pcm16Mono8000();
             format.resize(15);
             return Riff({{"fmt ", format}, data});
         }()},
        {"fmt cut by the end of the file", [] {
             std::vector<uint8_t> file = Riff({{"fmt ", Pcm16Mono8000()}});
             file.resize(file.size() - 4);
             return file;
         }()},
        {"block align 0", Riff({{"fmt ", Fmt(1, 1, 8000, 16000, 0, 16)}, data})},
        {"no channels", Riff({{"fmt ", Fmt(1, 0, 8000, 16000, 2, 16)}, data})},
        {"PCM of 4 bits", Riff({{"fmt ", Fmt(1, 1, 8000, 4000, 1, 4)}, data})},
        {"compressed with no average rate", Riff({{"fmt ", ImaMono(0)}, data})},
        {"block align above 4096", Riff({{"fmt ", ImaMono(4055, 8192)}, data})},
        {"a codec that is not installed", Riff({{"fmt ", Fmt(0x0160, 2, 44100, 16000, 4096, 0)}, data})},
        {"empty", {}},
        {"only RIFF", {'R', 'I', 'F', 'F'}},
    };
    for (const auto& [what, file] : cases) {
        const test::TemporaryFile input(file, "input.wav");
        WavePlayer player;
        EXPECT_FALSE(player.Open(input.Path())) << what;
        EXPECT_EQ(PlayerGetSourceKind(player.Engine()), SOURCE_NONE) << what;
        EXPECT_EQ(player.Engine()->wave, nullptr) << what;
    }
    // The probe refuses what no codec takes, and takes what the open would.
    const test::TemporaryFile unsupported(Riff({{"fmt ", Fmt(0x0160, 2, 44100, 16000, 4096, 0)}, data}), "a.wav");
    EXPECT_FALSE(engine::WaveProbe(unsupported.Path()));
    const test::TemporaryFile huge(Riff({{"fmt ", Pcm16Mono8000(), 0xFFFFFFF0}, data}), "b.wav");
    EXPECT_FALSE(engine::WaveProbe(huge.Path()));
    EXPECT_TRUE(engine::WaveProbe(test::FixturePath("wave_gsm.wav")));
}

TEST(WaveOpen, MpegInsideWaveOpensAsMpeg) {
    WavePlayer player;
    ASSERT_TRUE(player.Open(test::FixturePath("wave_mp3.wav")));
    EXPECT_EQ(PlayerGetSourceKind(player.Engine()), SOURCE_MPEG_FILE);
    EXPECT_EQ(player.Engine()->wave, nullptr);
    ASSERT_TRUE(player.Open(test::FixturePath("pcm.wav")));
    EXPECT_EQ(PlayerGetSourceKind(player.Engine()), SOURCE_WAVE_FILE);
}

TEST(WavePlayback, PcmPlaysAsTheDataChunk) {
    struct Case {
        const char* fixture;
        uint16_t bits;
    };
    const Case cases[] = {
        {"wave_pcm8_mono.wav", 8},  {"wave_pcm8_stereo.wav", 8}, {"wave_pcm16_mono.wav", 16},
        {"pcm.wav", 16},            {"wave_list.wav", 16},       {"wave_odd_chunk.wav", 16},
    };
    for (const auto& [fixture, bits] : cases) {
        WavePlayer player;
        ASSERT_TRUE(player.Open(test::FixturePath(fixture))) << fixture;
        const auto played = player.PlayToEnd();
        ASSERT_TRUE(played.has_value()) << fixture;
        EXPECT_EQ(player.Bits(), bits) << fixture;
        EXPECT_TRUE(*played == DataChunk(fixture)) << fixture << ": " << played->size() << " bytes played";
    }
}

// The engine's converting loop against sox's decode: the same samples, and
// at most the encoder's padding of the last block more.
TEST(WavePlayback, ConvertedFormatsMatchSox) {
    for (const std::string name : {"wave_ima_stereo", "wave_ima_mono", "wave_msadpcm_stereo", "wave_msadpcm_mono",
                                   "wave_alaw", "wave_mulaw", "wave_gsm"}) {
        WavePlayer player;
        ASSERT_TRUE(player.Open(test::FixturePath(name + ".wav"))) << name;
        const auto played = player.PlayToEnd();
        ASSERT_TRUE(played.has_value()) << name;
        EXPECT_EQ(player.Bits(), 16) << name;
        const std::vector<int16_t> decoded = Samples(*played);
        const std::vector<int16_t> reference = Samples(test::ReadFileBytes(test::FixturePath(name + ".raw")));
        ASSERT_GE(decoded.size(), reference.size() - std::min<size_t>(reference.size(), 4096)) << name;
        const size_t common = std::min(decoded.size(), reference.size());
        EXPECT_TRUE(std::equal(decoded.begin(), decoded.begin() + long(common), reference.begin())) << name;
    }
    for (const auto& [wide, source] : {std::pair{"wave_pcm24_stereo.wav", "wave_source_stereo.wav"},
                                       std::pair{"wave_pcm32_mono.wav", "wave_source_mono.wav"},
                                       std::pair{"wave_float_stereo.wav", "wave_source_stereo.wav"}}) {
        WavePlayer player;
        ASSERT_TRUE(player.Open(test::FixturePath(wide))) << wide;
        const auto played = player.PlayToEnd();
        ASSERT_TRUE(played.has_value()) << wide;
        EXPECT_TRUE(*played == DataChunk(source)) << wide;
    }
}

TEST(WavePlayback, SeekLandsWhereTheFormatSays) {
    struct Case {
        const char* fixture;
        int32_t milliseconds;
        uint32_t frame;
        uint32_t offset;
    };
    const Case cases[] = {
        // PCM: bits × channels × frame / 8, no block rounding.
        {"wave_pcm16_mono.wav", 250, 8000, 16000},
        {"wave_pcm8_stereo.wav", 100, 1600, 3200},
        {"wave_pcm8_mono.wav", 333, 3671, 3671},
        // Compressed: average bytes × seconds, down to a multiple of the block.
        {"wave_ima_stereo.wav", 333, 7342, 7168},
        {"wave_gsm.wav", 777, 6216, 1235},
    };
    for (const auto& [fixture, milliseconds, frame, offset] : cases) {
        WavePlayer player;
        ASSERT_TRUE(player.Open(test::FixturePath(fixture))) << fixture;
        PlayerEngine* engine = player.Engine();
        ASSERT_EQ(PlayerSeek(engine, milliseconds), 1) << fixture;
        EXPECT_EQ(engine->seekBase.load(), frame) << fixture;
        EXPECT_EQ(engine->wave->dataConsumed, offset) << fixture;
        EXPECT_EQ(engine->fileReader.ReaderSeek(0, engine::SEEK_FROM_CURRENT), engine->wave->dataStart + offset)
            << fixture;
        EXPECT_EQ(engine->seekPending.load(), 1u) << fixture;
    }
}

TEST(WavePlayback, PlayAfterASeekStartsThere) {
    WavePlayer pcm;
    ASSERT_TRUE(pcm.Open(test::FixturePath("wave_pcm16_mono.wav")));
    ASSERT_EQ(PlayerSeek(pcm.Engine(), 250), 1);
    const auto rest = pcm.PlayToEnd();
    ASSERT_TRUE(rest.has_value());
    const std::vector<uint8_t> data = DataChunk("wave_pcm16_mono.wav");
    EXPECT_TRUE(*rest == std::vector<uint8_t>(data.begin() + 16000, data.end()));

    // 512-byte blocks of 505 stereo frames: 7168 bytes is block 14.
    WavePlayer ima;
    ASSERT_TRUE(ima.Open(test::FixturePath("wave_ima_stereo.wav")));
    ASSERT_EQ(PlayerSeek(ima.Engine(), 333), 1);
    const auto decoded = ima.PlayToEnd();
    ASSERT_TRUE(decoded.has_value());
    const std::vector<int16_t> reference = Samples(test::ReadFileBytes(test::FixturePath("wave_ima_stereo.raw")));
    const std::vector<int16_t> samples = Samples(*decoded);
    const size_t skipped = 14 * 505 * 2;
    ASSERT_GT(reference.size(), skipped);
    const size_t common = std::min(samples.size(), reference.size() - skipped);
    ASSERT_GT(common, 1000u);
    EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + long(common), reference.begin() + long(skipped)));
}

TEST(WavePlayback, StopAndPlayAgainStartsAtTheFirstSample) {
    for (const char* fixture : {"pcm.wav", "wave_gsm.wav", "wave_msadpcm_stereo.wav"}) {
        WavePlayer player;
        ASSERT_TRUE(player.Open(test::FixturePath(fixture))) << fixture;
        const auto first = player.PlayToEnd();
        ASSERT_TRUE(first.has_value()) << fixture;
        player.Clear();
        ASSERT_EQ(PlayerPlay(player.Engine()), 1) << fixture;
        ASSERT_TRUE(test::Eventually([&] { return !player.Captured().empty(); })) << fixture << " plays again";
        PlayerStop(player.Engine());
        const auto again = player.PlayToEnd();
        ASSERT_TRUE(again.has_value()) << fixture;
        EXPECT_TRUE(*again == *first) << fixture << ": " << again->size() << " of " << first->size() << " bytes";
    }
}

// Only whole sample frames play: the bytes of a partial frame at the end of
// the data are dropped, wherever they fall in an output block.
TEST(WavePlayback, PartialFrameAtTheEndIsDropped) {
    struct Case {
        std::vector<uint8_t> format;
        size_t dataBytes;
        size_t playedBytes;
    };
    const Case cases[] = {
        {Fmt(1, 2, 8000, 32000, 4, 16), 4003, 4000},
        {Fmt(1, 2, 8000, 32000, 4, 16), 4096 * 2 + 2, 4096 * 2},  // past two whole output blocks
        {Fmt(1, 1, 8000, 16000, 2, 16), 1001, 1000},
        {Fmt(1, 2, 8000, 16000, 2, 8), 301, 300},
        {Fmt(1, 2, 8000, 32000, 4, 16), 3, 0},  // less than one frame
    };
    for (const auto& [format, dataBytes, playedBytes] : cases) {
        const std::vector<uint8_t> data = Ramp(dataBytes);
        const test::TemporaryFile input(Riff({{"fmt ", format}, {"data", data}}), "partial.wav");
        WavePlayer player;
        ASSERT_TRUE(player.Open(input.Path())) << dataBytes;
        const auto played = player.PlayToEnd();
        ASSERT_TRUE(played.has_value()) << dataBytes;
        EXPECT_TRUE(*played == std::vector<uint8_t>(data.begin(), data.begin() + long(playedBytes)))
            << dataBytes << " data bytes, " << played->size() << " played";
    }
}

// One block decodes to more than an empty output block holds: nothing can
// be converted, and the playback ends at once as at the end of the data.
TEST(WavePlayback, BlockLargerThanTheOutputBlockEndsAtOnce) {
    const test::TemporaryFile input(Riff({{"fmt ", ImaMono(4055, 4096)}, {"data", Noise(4096 * 3, 3)}}), "big.wav");
    WavePlayer player;
    ASSERT_TRUE(player.Open(input.Path()));
    const auto played = player.PlayToEnd();
    ASSERT_TRUE(played.has_value());
    EXPECT_TRUE(played->empty());
}

TEST(WavePlayback, DamagedAdpcmPlaysToTheEnd) {
    struct Case {
        const char* what;
        std::vector<uint8_t> format;
        size_t blocks;
        size_t bytesPerBlock;
    };
    std::vector<uint8_t> msExtra = {0xF4, 0x01, 7, 0};
    for (int value : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232}) {
        platform::AppendLittle16(msExtra, static_cast<uint32_t>(value));
    }
    const Case cases[] = {
        {"IMA stereo", Fmt(0x11, 2, 22050, 22256, 512, 4, Le16(505)), 40, 505 * 4},
        {"MS ADPCM stereo", Fmt(2, 2, 22050, 22256, 512, 4, msExtra), 40, 500 * 4},
    };
    for (const auto& [what, format, blocks, bytesPerBlock] : cases) {
        const test::TemporaryFile input(Riff({{"fmt ", format}, {"data", Noise(blocks * 512, 5)}}), "noise.wav");
        WavePlayer player;
        ASSERT_TRUE(player.Open(input.Path())) << what;
        const auto played = player.PlayToEnd();
        ASSERT_TRUE(played.has_value()) << what;
        EXPECT_EQ(played->size(), blocks * bytesPerBlock) << what;
    }
}

// Every cut of a small file either is refused or plays what it holds and ends.
TEST(WavePlayback, TruncatedFilesNeverCrashOrHang) {
    const std::vector<uint8_t> ima = test::ReadFileBytes(test::FixturePath("wave_ima_mono.wav"));
    const std::vector<uint8_t> pcm = Riff({{"fmt ", Pcm16Mono8000()}, {"LIST", {'I', 'N', 'F', 'O'}}, {"data", Ramp(600)}});
    size_t opened = 0;
    for (const auto* file : {&ima, &pcm}) {
        for (size_t cut = 0; cut < file->size(); cut += cut < 120 ? 1 : 397) {
            const test::TemporaryFile input(std::vector<uint8_t>(file->begin(), file->begin() + long(cut)), "cut.wav");
            WavePlayer player;
            if (!player.Open(input.Path())) continue;
            ++opened;
            const auto played = player.PlayToEnd();
            ASSERT_TRUE(played.has_value()) << cut;
            EXPECT_LE(played->size(), size_t{4} * cut) << cut;
        }
    }
    EXPECT_GT(opened, 10u) << "cuts inside the data chunk still open";
}

}  // namespace
