// Playing through the capture device (no pacing) and the null device (paced
// by the clock, which the tests advance by hand): status and level messages,
// draining, pausing, seeking and stopping.

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "platform/recording_window.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/manual_clock.h"
#include "tests/support/waiting.h"
#include "tests/support/watchdog.h"

namespace {

using namespace std::chrono_literals;

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = test::MakeEngine();
        PlayerSetNotifyWindow(engine.get(), &window);
    }
    void UseCapture() { PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink()); }
    void UseNull() { PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Null); }
    void Open(const std::string& fixture) { ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(fixture)), 1); }

    bool WaitForStatus(PlayerStatus status, size_t occurrence = 1) {
        return test::WaitForStatus(window, status, occurrence);
    }
    std::vector<uintptr_t> Statuses() {
        std::vector<uintptr_t> statuses;
        for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) statuses.push_back(message.wParam);
        return statuses;
    }

    platform::RecordingWindow window;
    test::CapturedAudio captured{test::CapturedAudio::kUnpaced};
    test::EngineHandle engine;
};

// The null device on the manual clock: the device plays only as far as the
// test advances the clock.
class ClockedPlaybackTest : public PlaybackTest {
protected:
    // The engine's threads wait on the clock, so they end before it goes.
    void TearDown() override { engine.reset(); }

    // The whole file has been read: what is left plays from the queue.
    bool FileRead() {
        return engine->fileReader.ReaderSeek(0, engine::SEEK_FROM_CURRENT) == engine->fileReader.ReaderSize();
    }
    // The device has played something: it runs.
    bool AdvanceUntilPlaying() {
        return clock.AdvanceUntil(10ms, [&] { return PlayerGetPosition(engine.get()) > 0; });
    }
    // No thread of the engine is in a timed wait: nothing moves until the
    // user acts, whatever the clock does.
    bool Idle() { return test::Eventually([&] { return clock->Waiters() == 0; }); }

    test::InstalledManualClock clock;
};

TEST_F(PlaybackTest, PlaysToTheEndAndReportsIt) {
    UseCapture();
    Open("cbr128_noinfo.mp3");
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(WaitForStatus(PLAYER_STOPPED));
    EXPECT_EQ(Statuses(), (std::vector<uintptr_t>{PLAYER_PLAYING, PLAYER_STOPPED}));

    const auto levels = window.MessagesOf(WM_PLAYER_LEVEL);
    ASSERT_GT(levels.size(), 2u);
    EXPECT_EQ(levels.back().wParam, 0u);
    EXPECT_EQ(levels.back().lParam, 0);
    bool sawSignal = false;
    for (const auto& level : levels) sawSignal = sawSignal || level.wParam > 10;
    EXPECT_TRUE(sawSignal) << "a tone at -6 dB shows in the levels";

    const auto format = captured.Format();
    EXPECT_EQ(format.sampleRate, 44100u);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.bitsPerSample, 16);
    // Every frame but the last, which libmad needs more bytes after to decode.
    const size_t frames = captured.Bytes().size() / 4;
    EXPECT_EQ(frames % 1152, 0u);
    EXPECT_NEAR(double(frames), 5.0 * 44100, 2 * 1152);
    EXPECT_EQ(PlayerGetPosition(engine.get()), 0) << "the source is rewound";
}

TEST_F(PlaybackTest, PlaysAgainFromTheStartWithoutReopening) {
    UseCapture();
    Open("short.mp3");
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(WaitForStatus(PLAYER_STOPPED, 1));
    const auto first = captured.Bytes();
    captured.Clear();
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(WaitForStatus(PLAYER_STOPPED, 2));
    EXPECT_EQ(captured.Bytes().size(), first.size());
}

// A device that stops playing by itself (here a capture whose file cannot
// be written, as a full disk does) ends the playback of every kind of source
// with a lost report instead of a wait for blocks that never come back; the
// next play opens a device again.
TEST_F(PlaybackTest, ALostDeviceEndsThePlaybackAndTheNextPlayTriesAgain) {
    for (const char* fixture : {"long_minute.mp3", "tagged.ogg", "pcm.wav", "wave_gsm.wav", "tagged.flac", "tagged.opus"}) {
        SCOPED_TRACE(fixture);
        window.Clear();
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, platform::CaptureSink{.wavePath = "/dev/full", .onPcm = {}});
        Open(fixture);
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        ASSERT_TRUE(WaitForStatus(PLAYER_STOPPED));
        EXPECT_EQ(window.MessagesOf(WM_PLAYER_STATUS).back().lParam, kPlayerDeviceLost);
        EXPECT_EQ(PlayerDeviceFailed(engine.get()), 1);

        UseCapture();
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        EXPECT_EQ(PlayerDeviceFailed(engine.get()), 0);
        PlayerStop(engine.get());
    }
}

TEST_F(ClockedPlaybackTest, ShortFileDrainsOnTheRealTimeDevice) {
    UseNull();
    Open("short.mp3");  // 0.3 s: less than the pool holds
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(test::Eventually([&] { return FileRead(); }));
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_PLAYING) << "the drain waits for the device";
    const platform::ClockTime start = clock->Now();
    ASSERT_TRUE(clock.AdvanceUntil(10ms, [&] { return PlayerGetStatus(engine.get()) == PLAYER_STOPPED; }))
        << "the drain resumes the still-paused device";
    // All but the last frame, which the decoder needs more bytes after.
    EXPECT_GE(clock->Now() - start, 250ms) << "the device played the file out at its pace";
    EXPECT_EQ(Statuses(), (std::vector<uintptr_t>{PLAYER_PLAYING, PLAYER_STOPPED}));
}

TEST_F(ClockedPlaybackTest, PauseHoldsThePositionAndResumeGoesOn) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    EXPECT_EQ(PlayerPlay(e), 0) << "already playing";
    ASSERT_TRUE(AdvanceUntilPlaying());
    PlayerPause(e);
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PAUSED);
    ASSERT_TRUE(Idle()) << "the device stopped its clock";
    const int32_t paused = PlayerGetPosition(e);
    clock.AdvanceBy(500ms, 50ms);
    EXPECT_EQ(PlayerGetPosition(e), paused) << "nothing plays while paused";

    ASSERT_EQ(PlayerPlay(e), 1) << "play while paused resumes";
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    EXPECT_TRUE(clock.AdvanceUntil(10ms, [&] { return PlayerGetPosition(e) > paused; }));
    PlayerStop(e);
    EXPECT_EQ(Statuses(), (std::vector<uintptr_t>{PLAYER_PLAYING, PLAYER_PAUSED, PLAYER_PLAYING, PLAYER_STOPPED}));
}

// A capture whose reader takes the PCM no faster than it plays (a pipe read
// in real time) resumes after a pause like any device.
TEST_F(ClockedPlaybackTest, ACaptureReadInRealTimeResumesAfterAPause) {
    test::CapturedAudio paced(1.0);
    PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, paced.Sink());
    Open("long_minute.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    ASSERT_TRUE(clock.AdvanceUntil(10ms, [&] { return paced.Milliseconds() >= 300; }));
    PlayerPause(e);
    clock.AdvanceBy(500ms, 50ms);
    const int64_t paused = paced.Milliseconds();
    PlayerPause(e);
    EXPECT_TRUE(clock.AdvanceUntil(10ms, [&] { return paced.Milliseconds() >= paused + 1000; }))
        << paused << " ms played before the pause, " << paced.Milliseconds() << " after";
    // The stop waits for the block the reader takes, which waits on the clock.
    std::atomic<bool> stopped{false};
    std::thread stopping([&] {
        PlayerStop(e);
        stopped = true;
    });
    EXPECT_TRUE(clock.AdvanceUntil(10ms, [&] { return stopped.load(); }));
    stopping.join();
}

// A paused or stopped engine waits on events, not on the clock: no thread
// polls, so it costs nothing however long it stays.
TEST_F(ClockedPlaybackTest, PausedAndStoppedEnginesWaitWithoutPolling) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    ASSERT_TRUE(AdvanceUntilPlaying());
    PlayerPause(e);
    EXPECT_TRUE(Idle()) << "paused";
    PlayerStop(e);
    EXPECT_EQ(clock->Waiters(), 0) << "stopped";
}

// Under the manual clock a stop that waited for any timed wait would never
// return: the watchdog shows it needs none.
TEST_F(ClockedPlaybackTest, StopIsImmediateInEveryState) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(PlayerPlay(e), 1);
        if (round == 1) PlayerPause(e);
        if (round == 2) {
            ASSERT_TRUE(AdvanceUntilPlaying());
        }
        test::RunWithWatchdog(5s, "the stop", [e] { PlayerStop(e); });
        EXPECT_EQ(PlayerGetStatus(e), PLAYER_STOPPED);
        EXPECT_EQ(PlayerGetPosition(e), 0);
        EXPECT_FALSE(e->waveOutput.IsOpen());
    }
}

TEST_F(ClockedPlaybackTest, StopDuringTheDrainEndsAtOnce) {
    UseNull();
    Open("short.mp3");
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    // The whole file is decoded; the decoding thread waits in the drain and
    // the device waits for its block to fall due.
    ASSERT_TRUE(test::Eventually([&] { return FileRead() && clock->Waiters() == 2; }));
    test::RunWithWatchdog(5s, "the stop", [&] { PlayerStop(engine.get()); });
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
}

TEST_F(ClockedPlaybackTest, SeekWhilePlayingMovesThePosition) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    ASSERT_EQ(PlayerSeek(e, 3000), 1);
    const int32_t position = PlayerGetPosition(e);
    EXPECT_GE(position, 2990);
    EXPECT_LT(position, 3500);
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    ASSERT_TRUE(clock.AdvanceUntil(50ms, [&] { return PlayerGetStatus(e) == PLAYER_STOPPED; }))
        << "the rest plays out from the target";
}

TEST_F(ClockedPlaybackTest, SeekDuringTheDrainKeepsTheTrackGoing) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    // The whole file is read long before it has played: the thread drains.
    ASSERT_TRUE(clock.AdvanceUntil(50ms, [&] { return FileRead(); }));
    ASSERT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    ASSERT_EQ(PlayerSeek(e, 1000), 1);
    // The queued rest (at most the 0.84 s pool) would have ended by now.
    clock.AdvanceBy(1500ms, 50ms);
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    EXPECT_GE(PlayerGetPosition(e), 1000);
    PlayerStop(e);
    EXPECT_EQ(Statuses(), (std::vector<uintptr_t>{PLAYER_PLAYING, PLAYER_STOPPED}));
}

TEST_F(PlaybackTest, PlayFailsQuietlyWhenTheDeviceCannotOpen) {
    PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, {"/nonexistent/dir/out.wav", {}});
    Open("cbr128.mp3");
    EXPECT_EQ(PlayerPlay(engine.get()), 0);
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
    EXPECT_TRUE(window.MessagesOf(WM_PLAYER_STATUS).empty());
    const auto levels = window.MessagesOf(WM_PLAYER_LEVEL);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].wParam, 0u);
}

TEST_F(PlaybackTest, OutputOptionsShapeThePcm) {
    struct Case {
        PlayerOutputOptions options;
        uint16_t bits;
        uint32_t rate;
    };
    const Case cases[] = {{{3, 8, 8, 0}, 8, 44100}, {{3, 2, 16, 1}, 16, 22050}, {{5, 128, 8, 1}, 8, 22050}};
    UseCapture();
    Open("cbr128_noinfo.mp3");
    size_t stops = 0;
    for (const auto& [options, bits, rate] : cases) {
        captured.Clear();
        ASSERT_EQ(PlayerSetOutputOptions(engine.get(), &options), 1);
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        ASSERT_TRUE(WaitForStatus(PLAYER_STOPPED, ++stops));
        EXPECT_EQ(captured.Format().bitsPerSample, bits);
        EXPECT_EQ(captured.Format().sampleRate, rate);
        const size_t frames = captured.Bytes().size() / (bits / 8) / 2;
        EXPECT_NEAR(double(frames), 5.0 * rate, 2 * 1152) << bits << " bits at " << rate;
    }
}

TEST_F(PlaybackTest, BlockCapacityFollowsTheSource) {
    struct Case {
        const char* fixture;
        int32_t bits;
        int32_t halfRate;
        uint32_t capacity;
    };
    const Case cases[] = {
        {"cbr128.mp3", 16, 0, 18432},   // 2 x 1152 x 2, doubled twice
        {"cbr128.mp3", 8, 0, 9216},
        {"cbr128.mp3", 16, 1, 9216},
        {"mpeg2_l3.mp3", 16, 0, 4608},  // 22050 Hz: doubled once
        {"mpeg25_l3.mp3", 16, 0, 2304}, // 11025 Hz: not doubled
    };
    for (const auto& [fixture, bits, halfRate, capacity] : cases) {
        Open(fixture);
        engine->options.halfRate = halfRate;
        EXPECT_EQ(engine::BlockCapacity(*engine, bits), capacity) << fixture;
    }
}

// Random play, pause, seek, stop and open calls against both pacing
// devices, the clock moving in between; a deadlock or a race shows as a hang
// or a sanitizer report.
TEST_F(ClockedPlaybackTest, SurvivesRandomOperations) {
    const char* fixtures[] = {"cbr128.mp3", "short.mp3", "vbr.mp3", "mpeg2_l3.mp3"};
    uint32_t random = 12345;
    auto next = [&random](uint32_t range) {
        random = random * 1103515245u + 12345u;
        return (random >> 16) % range;
    };
    UseNull();
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    int operations = 0;
    while (std::chrono::steady_clock::now() < deadline && operations < 400) {
        ++operations;
        PlayerEngine* e = engine.get();
        switch (next(8)) {
            case 0: PlayerPlay(e); break;
            case 1: PlayerPause(e); break;
            case 2: PlayerStop(e); break;
            case 3: PlayerSeek(e, int32_t(next(6000))); break;
            case 4: PlayerForward(e, 700); break;
            case 5: PlayerOpen(e, test::FixturePath(fixtures[next(4)])); break;
            case 6: next(2) ? UseNull() : UseCapture(); break;
            default: clock->Advance(std::chrono::milliseconds(next(20))); break;
        }
        PlayerGetPosition(e);
    }
    PlayerClose(engine.get());
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
    EXPECT_GT(operations, 10);
}

}  // namespace
