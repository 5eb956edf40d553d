// The engine's public operations with nothing playing: opening, closing,
// seeking while stopped, positions, settings and the records they copy.

#include "engine/player.h"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "engine/player_engine.h"
#include "platform/recording_window.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"

namespace {

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.reset(PlayerCreate());
        ASSERT_NE(engine, nullptr);
        PlayerSetNotifyWindow(engine.get(), &window);
    }
    void Open(const std::string& fixture) { ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(fixture)), 1) << fixture; }

    platform::RecordingWindow window;
    test::EngineHandle engine;
};

TEST_F(PlayerTest, StartsStoppedWithDefaults) {
    PlayerEngine* e = engine.get();
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_STOPPED);
    EXPECT_EQ(PlayerGetSourceKind(e), SOURCE_NONE);

    PlayerOutputOptions options;
    options.threadPriority = -1;
    PlayerGetOutputOptions(e, &options);
    EXPECT_EQ(options.threadPriority, 3);
    EXPECT_EQ(options.bufferCount, 8);
    EXPECT_EQ(options.bitsPerSample, 16);
    EXPECT_EQ(options.halfRate, 0);

    PlayerEqSettings eq;
    eq.enabled = 5;
    PlayerGetEqualizer(e, &eq);
    EXPECT_EQ(eq.enabled, 0);
    EXPECT_EQ(eq.preamp, 31);
    for (int32_t band : eq.bands) EXPECT_EQ(band, 31);

    PlayerEffectParams params;
    for (int32_t kind : {EFFECT_FEEDBACK_ECHO, EFFECT_ECHO}) {
        PlayerGetEffect(e, kind, &params);
        EXPECT_EQ(params.enabled, 0);
        EXPECT_EQ(params.delay, 120);
        EXPECT_EQ(params.level, 30);
    }
    PlayerGetEffect(e, EFFECT_WIDEN, &params);
    EXPECT_EQ(params.enabled, 0);
    EXPECT_EQ(params.delay, 0);
    EXPECT_EQ(params.level, 25);
    EXPECT_EQ(PlayerGetBassBoost(e), 0);

    PlayerStreamOptions stream;
    PlayerGetStreamOptions(e, &stream);
    EXPECT_EQ(stream.bufferBlocks, 32);
    EXPECT_EQ(stream.prebufferBlocks, 16);
    EXPECT_EQ(stream.userAgent, "Unknown");
}

TEST_F(PlayerTest, NothingOpenGivesZeroesAndLeavesRecordsAlone) {
    PlayerEngine* e = engine.get();
    PlayerFileInfo info{7, 7, 7, 7, 7, 7};
    PlayerGetFileInfo(e, &info);
    EXPECT_EQ(info.version, 7);
    EXPECT_EQ(info.duration, 7);
    EXPECT_EQ(PlayerGetPosition(e), 0);
    EXPECT_EQ(PlayerGetDuration(e), 0);
    EXPECT_EQ(PlayerPlay(e), 0);
    EXPECT_EQ(PlayerSeek(e, 0), 0);
    EXPECT_EQ(PlayerForward(e, 1000), 0);
    EXPECT_EQ(PlayerRewind(e, 1000), 0);
    PlayerTag tag;
    EXPECT_EQ(PlayerGetTag(e, &tag), 0);
    PlayerPause(e);
    PlayerStop(e);
    EXPECT_TRUE(window.Messages().empty()) << "nothing happened, so nothing is reported";
}

TEST_F(PlayerTest, OpensMpegInEveryWrapping) {
    const char* fixtures[] = {"cbr128.mp3", "vbr.mp3", "id3v2_large.mp3", "rmp3.rmp", "wave_mp3.wav",
                              "mpeg2_l3.mp3", "mpeg25_l3.mp3", "layer2.mp2", "short.mp3"};
    for (const char* fixture : fixtures) {
        Open(fixture);
        EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_MPEG_FILE) << fixture;
        EXPECT_GT(PlayerGetDuration(engine.get()), 0) << fixture;
    }
}

TEST_F(PlayerTest, FileInfoComesFromTheSourceFormat) {
    Open("mpeg2_l3.mp3");
    PlayerFileInfo info;
    PlayerGetFileInfo(engine.get(), &info);
    EXPECT_EQ(info.version, 2);
    EXPECT_EQ(info.layer, 3);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.bitrate, 64);
    EXPECT_EQ(info.duration, PlayerGetDuration(engine.get()));
    EXPECT_NEAR(info.duration, 5000, 200);
}

TEST_F(PlayerTest, FailedOpenClosesThePreviousSource) {
    Open("cbr128.mp3");
    for (const char* fixture : {"garbage.bin", "empty.mp3", "four_bytes.mp3", "freeformat.mp3", "six_channels.ogg"}) {
        EXPECT_EQ(PlayerOpen(engine.get(), test::FixturePath(fixture)), 0) << fixture;
        EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_NONE) << fixture;
        EXPECT_EQ(PlayerGetDuration(engine.get()), 0);
        EXPECT_FALSE(engine->fileReader.IsOpen());
    }
    EXPECT_EQ(PlayerOpen(engine.get(), test::FixturePath("")), 0) << "a directory";
    EXPECT_EQ(PlayerOpen(engine.get(), "/nonexistent.mp3"), 0);
}

TEST_F(PlayerTest, ClosingForgetsEverything) {
    Open("cbr128.mp3");
    PlayerClose(engine.get());
    EXPECT_EQ(PlayerGetSourceKind(engine.get()), SOURCE_NONE);
    EXPECT_TRUE(engine->path.empty());
    EXPECT_EQ(engine->length, 0u);
    EXPECT_EQ(engine->sourceFormat, PlayerSourceFormat{});
    EXPECT_FALSE(engine->fileReader.IsOpen());
}

TEST_F(PlayerTest, SeekWhileStoppedMovesThePosition) {
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    const int32_t duration = PlayerGetDuration(e);

    ASSERT_EQ(PlayerSeek(e, 2000), 1);
    EXPECT_NEAR(PlayerGetPosition(e), 2000, 1);
    EXPECT_EQ(e->seekPending.load(), 1u) << "the next playback starts from the target";

    EXPECT_EQ(PlayerSeek(e, duration), 0) << "the end itself is refused";
    EXPECT_NEAR(PlayerGetPosition(e), 2000, 1) << "and nothing moved";
    EXPECT_EQ(PlayerForward(e, duration), 0);
    EXPECT_NEAR(PlayerGetPosition(e), 2000, 1);

    ASSERT_EQ(PlayerRewind(e, 500), 1);
    EXPECT_NEAR(PlayerGetPosition(e), 1500, 1);
    ASSERT_EQ(PlayerRewind(e, 10000), 1) << "before the start means the start";
    EXPECT_EQ(PlayerGetPosition(e), 0);
    ASSERT_EQ(PlayerSeek(e, -300), 1);
    EXPECT_EQ(PlayerGetPosition(e), 0);
    ASSERT_EQ(PlayerSeek(e, duration - 1), 1);
    EXPECT_EQ(PlayerForward(e, INT32_MAX), 0) << "no overflow past the end";
}

TEST_F(PlayerTest, StopRewindsAndClearsTheFlags) {
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerSeek(e, 3000), 1);
    PlayerStop(e);
    EXPECT_EQ(PlayerGetPosition(e), 0);
    EXPECT_EQ(e->seekPending.load(), 0u);
    EXPECT_EQ(e->fileReader.ReaderSeek(0, engine::SEEK_FROM_CURRENT), 0u);
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_STOPPED);
}

TEST_F(PlayerTest, StatusIsPostedOnlyWhenItChanges) {
    engine::SetStatus(*engine, PLAYER_STOPPED);
    EXPECT_TRUE(window.Messages().empty());
    engine::SetStatus(*engine, PLAYER_PLAYING);
    engine::SetStatus(*engine, PLAYER_PLAYING);
    engine::SetStatus(*engine, PLAYER_STOPPED);
    const auto messages = window.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_PLAYER_STATUS);
    EXPECT_EQ(messages[0].message, 11025u);
    EXPECT_EQ(messages[0].wParam, uintptr_t{PLAYER_PLAYING});
    EXPECT_EQ(messages[1].wParam, uintptr_t{PLAYER_STOPPED});
    EXPECT_EQ(messages[1].lParam, 0);
    EXPECT_EQ(WM_PLAYER_LEVEL, 11026u);
    EXPECT_EQ(WM_PLAYER_STREAM_TITLE, 21025u);
}

TEST_F(PlayerTest, OutputOptionsAreValidated) {
    PlayerEngine* e = engine.get();
    struct Case {
        PlayerOutputOptions options;
        int accepted;
    };
    const Case cases[] = {
        {{3, 8, 24, 0}, 0}, {{3, 1, 16, 0}, 0}, {{3, 129, 16, 0}, 0}, {{3, -4, 16, 0}, 0},
        {{0, 2, 8, 1}, 1},  {{7, 128, 16, 0}, 1},
    };
    for (const auto& [options, accepted] : cases) {
        PlayerOutputOptions before;
        PlayerGetOutputOptions(e, &before);
        EXPECT_EQ(PlayerSetOutputOptions(e, &options), accepted);
        PlayerOutputOptions after;
        PlayerGetOutputOptions(e, &after);
        const PlayerOutputOptions& expected = accepted ? options : before;
        EXPECT_EQ(after.bufferCount, expected.bufferCount);
        EXPECT_EQ(after.bitsPerSample, expected.bitsPerSample);
        EXPECT_EQ(e->waveOutput.GetBufferCount(), uint32_t(expected.bufferCount));
    }
    e->status = PLAYER_PLAYING;
    const PlayerOutputOptions valid;
    EXPECT_EQ(PlayerSetOutputOptions(e, &valid), 0) << "only while stopped";
    e->status = PLAYER_STOPPED;
}

TEST_F(PlayerTest, EffectsAreClampedWhereTheyMustBe) {
    PlayerEngine* e = engine.get();
    PlayerSetBassBoost(e, 25);
    EXPECT_EQ(PlayerGetBassBoost(e), 20);
    PlayerSetBassBoost(e, -3);
    EXPECT_EQ(PlayerGetBassBoost(e), 0);

    PlayerEffectParams params{1, 999, 150};
    PlayerSetEffect(e, EFFECT_WIDEN, &params);
    PlayerGetEffect(e, EFFECT_WIDEN, &params);
    EXPECT_EQ(params.enabled, 1);
    EXPECT_EQ(params.delay, 0);
    EXPECT_EQ(params.level, 100);

    params = {1, 5000, 250};  // echo delay and level are not clamped
    PlayerSetEffect(e, EFFECT_ECHO, &params);
    PlayerEffectParams read;
    PlayerGetEffect(e, EFFECT_ECHO, &read);
    EXPECT_EQ(read.delay, 5000);
    EXPECT_EQ(read.level, 250);
    PlayerGetEffect(e, EFFECT_FEEDBACK_ECHO, &read);
    EXPECT_EQ(read.delay, 120) << "the other echo is separate";

    read = {9, 9, 9};
    PlayerSetEffect(e, 7, &params);
    PlayerGetEffect(e, 7, &read);
    EXPECT_EQ(read.enabled, 9) << "unknown kinds are ignored";
}

TEST_F(PlayerTest, EqualizerSettingsRoundTrip) {
    PlayerEqSettings settings{1, 10, {0, 5, 10, 20, 31, 40, 50, 60, 63, 70}};
    PlayerSetEqualizer(engine.get(), &settings);
    PlayerEqSettings read;
    PlayerGetEqualizer(engine.get(), &read);
    EXPECT_EQ(std::memcmp(&read, &settings, sizeof settings), 0);
}

TEST_F(PlayerTest, TagsOfTheOpenSource) {
    PlayerTag tag;
    Open("id3v1.mp3");
    ASSERT_EQ(PlayerGetTag(engine.get(), &tag), 1);
    EXPECT_EQ(tag.artist, "The Artist");
    Open("cbr128.mp3");
    EXPECT_EQ(PlayerGetTag(engine.get(), &tag), 0);
    EXPECT_EQ(tag.genre, -1);
}

TEST_F(PlayerTest, PlayableFilesAreFoundByContent) {
    for (const char* fixture : {"cbr128.mp3", "rmp3.rmp", "wave_mp3.wav", "id3v2_large.mp3"}) {
        EXPECT_EQ(PlayerIsPlayableFile(test::FixturePath(fixture)), 1) << fixture;
    }
    for (const char* fixture : {"garbage.bin", "empty.mp3", "four_bytes.mp3", "no such file"}) {
        EXPECT_EQ(PlayerIsPlayableFile(test::FixturePath(fixture)), 0) << fixture;
    }
}

TEST_F(PlayerTest, StreamOptionsAndUrls) {
    PlayerEngine* e = engine.get();
    PlayerStreamOptions options{0, 4, "proxy:8080", "Agent"};
    EXPECT_EQ(PlayerSetStreamOptions(e, &options), 0) << "no buffer at all is refused";
    options = {8, 20, "proxy:8080", "Agent"};
    ASSERT_EQ(PlayerSetStreamOptions(e, &options), 1);
    PlayerStreamOptions read;
    PlayerGetStreamOptions(e, &read);
    EXPECT_EQ(read.bufferBlocks, 8);
    EXPECT_EQ(read.prebufferBlocks, 8) << "never more prebuffer than buffer";
    EXPECT_EQ(read.proxy, "proxy:8080");

    EXPECT_EQ(PlayerOpenURL(e, "ftp://example/stream"), 0);
    EXPECT_EQ(PlayerGetSourceKind(e), SOURCE_NONE);
    std::string name = "x";
    std::string title = "x";
    EXPECT_EQ(PlayerGetStreamInfo(e, &name, nullptr, nullptr), 0);
    EXPECT_EQ(PlayerGetStreamTitle(e, &title), 0);
    EXPECT_EQ(title, "");
}

TEST(PlayerLifecycle, DestroyAcceptsNoEngine) {
    PlayerDestroy(nullptr);
    PlayerEngine* engine = PlayerCreate();
    ASSERT_EQ(PlayerOpen(engine, test::FixturePath("cbr128.mp3")), 1);
    PlayerDestroy(engine);  // closes the open source; the sanitizers see any leak
}

}  // namespace
