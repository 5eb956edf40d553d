// Ogg Vorbis through Tremor: open, probe, comments, and playback through the
// engine against Tremor's own decode of the same file.

#include "formats/ogg/ogg_source.h"

#include <tremor/ivorbisfile.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "engine/player_engine.h"
#include "platform/recording_window.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/waiting.h"

namespace {

using namespace engine;

TEST(OggComments, TextDecodingRules) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const std::string hundred(100, 'x');
    const Case cases[] = {
        {"plain ascii", "plain ascii"},
        {"Dvo\xC5\x99\xC3\xA1k", "Dvo\xC5\x99\xC3\xA1k"},           // two-byte sequences
        {"\xE2\x82\xAC 5", "\xE2\x82\xAC 5"},                       // three bytes
        {"ab\x80 cd", "ab"},                                        // a stray continuation byte ends it
        {"\xF0\x9F\x8E\xB5 note", "\xDF\x8E"},                      // four bytes: kept to 16 bits, then cut
        {"ab\xC5", "ab"},                                           // cut short by the end: never read past
        {"ab\xE2\x82", "ab"},
        {"", ""},
        {hundred.c_str(), nullptr},
    };
    for (const auto& [text, expected] : cases) {
        const std::string decoded = DecodeCommentText(text);
        if (expected == nullptr) {
            EXPECT_EQ(decoded, std::string(kOggCommentCharacters, 'x'));
        } else {
            EXPECT_EQ(decoded, expected) << text;
        }
    }
}

TEST(OggOpen, FormatLengthAndRefusals) {
    test::EngineHandle engine(PlayerCreate());
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("tagged.ogg")), 1);
    EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_OGG_FILE);
    PlayerFileInfo info;
    PlayerGetFileInfo(engine.get(), &info);
    EXPECT_EQ(info.version, 0);
    EXPECT_EQ(info.layer, 0);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_GT(info.bitrate, 0);
    EXPECT_EQ(engine->length, 5u * 44100u) << "the exact sample count of the stream";

    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("mono.ogg")), 1);
    PlayerGetFileInfo(engine.get(), &info);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 22050);

    for (const char* refused : {"six_channels.ogg", "garbage.bin", "empty.mp3", "no such.ogg"}) {
        EXPECT_EQ(PlayerOpen(engine.get(), test::FixturePath(refused)), 0) << refused;
        EXPECT_EQ(engine->ogg, nullptr) << refused;
    }
    EXPECT_FALSE(OggOpen(*engine, ""));
}

TEST(OggOpen, ProbeKnowsVorbisFromTheRest) {
    EXPECT_TRUE(OggProbe(test::FixturePath("tagged.ogg")));
    EXPECT_TRUE(OggProbe(test::FixturePath("six_channels.ogg"))) << "a Vorbis stream, refused only at open";
    for (const char* other : {"cbr128.mp3", "garbage.bin", "pcm.wav", "empty.mp3", "missing.ogg", ""}) {
        EXPECT_FALSE(OggProbe(other[0] ? test::FixturePath(other) : "")) << other;
    }
    EXPECT_EQ(PlayerIsPlayableFile(test::FixturePath("mono.ogg")), 1);
}

TEST(OggTags, KeysMatchInAnyCaseAndLaterKeysWin) {
    test::EngineHandle engine(PlayerCreate());
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("tagged.ogg")), 1);
    OggComments comments;
    ASSERT_TRUE(OggGetComments(engine->ogg, &comments));
    EXPECT_EQ(comments.title, "lower case") << "title= is a later TITLE";
    EXPECT_EQ(comments.artist, "Dvo\xC5\x99\xC3\xA1k");
    EXPECT_EQ(comments.album, std::string(63, 'T'));
    EXPECT_EQ(comments.date, "2001");
    EXPECT_EQ(comments.genre, "");
    EXPECT_FALSE(OggGetComments(nullptr, &comments));
}

// Tremor's own decode, from `startSample` (a page seek) to the end.
std::vector<uint8_t> DecodeWithTremor(const std::string& path, int64_t startSample = 0) {
    std::vector<uint8_t> pcm;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    OggVorbis_File decoder{};
    if (file == nullptr || ov_open(file, &decoder, nullptr, 0) < 0) {
        ADD_FAILURE() << "Tremor cannot open " << path;
        return pcm;
    }
    if (startSample > 0) {
        EXPECT_EQ(ov_pcm_seek_page(&decoder, startSample), 0);
    }
    char buffer[4096];
    long got = 0;
    while ((got = ov_read(&decoder, buffer, sizeof buffer, nullptr)) > 0) pcm.insert(pcm.end(), buffer, buffer + got);
    ov_clear(&decoder);
    return pcm;
}

class OggPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        engine = test::MakeEngine();
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
    }
    bool PlayToTheEnd(size_t stopsBefore = 0) {
        return PlayerPlay(engine.get()) == 1 && test::WaitForStatus(window, PLAYER_STOPPED, stopsBefore + 1);
    }
    std::vector<uint8_t> Captured() { return captured.Bytes(); }

    platform::RecordingWindow window;
    test::CapturedAudio captured{test::CapturedAudio::kUnpaced};
    test::EngineHandle engine;
};

TEST_F(OggPlayback, PlaysWhatTremorDecodesSampleForSample) {
    const std::string path = test::FixturePath("tagged.ogg");
    ASSERT_EQ(PlayerOpen(engine.get(), path), 1);
    // Ogg always plays at 16 bits.
    const PlayerOutputOptions eightBits{3, 8, 8, 1};
    ASSERT_EQ(PlayerSetOutputOptions(engine.get(), &eightBits), 1);
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(captured.Format().bitsPerSample, 16);
    const auto reference = DecodeWithTremor(path);
    ASSERT_EQ(reference.size(), 5u * 44100 * 4);
    EXPECT_TRUE(Captured() == reference);

    // The end rewinds: playing again gives the same from the first sample.
    captured.Clear();
    ASSERT_TRUE(PlayToTheEnd(1));
    EXPECT_TRUE(Captured() == reference);
}

TEST_F(OggPlayback, SeekLandsWhereTremorSays) {
    const std::string path = test::FixturePath("tagged.ogg");
    ASSERT_EQ(PlayerOpen(engine.get(), path), 1);
    ASSERT_EQ(PlayerSeek(engine.get(), 2000), 1);
    const int32_t position = PlayerGetPosition(engine.get());
    EXPECT_LE(position, 2000) << "the page seek lands at or before the target";
    EXPECT_GT(position, 1000);
    EXPECT_EQ(PlayerSeek(engine.get(), 5000), 0) << "the end itself is refused";
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_TRUE(Captured() == DecodeWithTremor(path, 88200));
}

TEST_F(OggPlayback, DamagedStreamsEndCleanly) {
    for (const char* damaged : {"truncated.ogg", "hole.ogg"}) {
        window.Clear();
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(damaged)), 1) << damaged;
        EXPECT_TRUE(PlayToTheEnd()) << damaged;
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
    }
}

// Ogg files chain by plain concatenation; a link in another layout than the
// first (here mono at 22050 Hz after stereo at 44100 Hz) cannot go through
// the open output, so the playback ends where it begins.
TEST_F(OggPlayback, AChainEndsAtALinkInAnotherLayout) {
    test::TemporaryDirectory directory;
    const std::string chained = directory.Path() + "/chained.ogg";
    {
        std::FILE* file = std::fopen(chained.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        for (const char* link : {"tagged.ogg", "mono.ogg"}) {
            const std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath(link));
            ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        }
        std::fclose(file);
    }
    ASSERT_EQ(PlayerOpen(engine.get(), chained), 1);
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_TRUE(Captured() == DecodeWithTremor(test::FixturePath("tagged.ogg")));
}

}  // namespace
