// Playing through the capture device (no pacing) and the null device (real
// time): status and level messages, draining, pausing, seeking and stopping.

#include <chrono>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "platform/recording_window.h"
#include "tests/support/fixtures.h"

namespace {

using namespace std::chrono_literals;

struct EngineDeleter {
    void operator()(PlayerEngine* engine) const { PlayerDestroy(engine); }
};

// Keeps what the capture device played.
class CapturedPcm {
public:
    platform::CaptureSink Sink() {
        platform::CaptureSink sink;
        sink.onPcm = [this](const platform::WaveFormat& format, const uint8_t* pcm, size_t bytes) {
            std::lock_guard lock(mutex_);
            format_ = format;
            bytes_.insert(bytes_.end(), pcm, pcm + bytes);
        };
        return sink;
    }
    std::vector<uint8_t> Bytes() {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    platform::WaveFormat Format() {
        std::lock_guard lock(mutex_);
        return format_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        bytes_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<uint8_t> bytes_;
    platform::WaveFormat format_;
};

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.reset(PlayerCreate());
        PlayerSetNotifyWindow(engine.get(), &window);
    }
    void UseCapture() { PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink()); }
    void UseNull() { PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Null); }
    void Open(const std::string& fixture) { ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath(fixture)), 1); }

    // Waits for the n-th WM_PLAYER_STATUS carrying `status`.
    bool WaitForStatus(PlayerStatus status, size_t occurrence = 1, std::chrono::milliseconds timeout = 20s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            size_t seen = 0;
            for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) {
                if (message.wParam == uintptr_t(status)) ++seen;
            }
            if (seen >= occurrence) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }
    std::vector<uintptr_t> Statuses() {
        std::vector<uintptr_t> statuses;
        for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) statuses.push_back(message.wParam);
        return statuses;
    }

    platform::RecordingWindow window;
    CapturedPcm captured;
    std::unique_ptr<PlayerEngine, EngineDeleter> engine;
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

TEST_F(PlaybackTest, ShortFileDrainsOnTheRealTimeDevice) {
    UseNull();
    Open("short.mp3");  // 0.3 s: less than the pool holds
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    EXPECT_TRUE(WaitForStatus(PLAYER_STOPPED, 1, 10s)) << "the drain resumes the still-paused device";
}

TEST_F(PlaybackTest, PauseHoldsThePositionAndResumeGoesOn) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    EXPECT_EQ(PlayerPlay(e), 0) << "already playing";
    std::this_thread::sleep_for(1200ms);  // the pool fills (0.84 s) and the device starts
    PlayerPause(e);
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PAUSED);
    const int32_t paused = PlayerGetPosition(e);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(PlayerGetPosition(e), paused) << "nothing plays while paused";

    ASSERT_EQ(PlayerPlay(e), 1) << "play while paused resumes";
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(PlayerGetPosition(e), paused);
    PlayerStop(e);
    EXPECT_EQ(Statuses(), (std::vector<uintptr_t>{PLAYER_PLAYING, PLAYER_PAUSED, PLAYER_PLAYING, PLAYER_STOPPED}));
}

double ProcessCpuSeconds() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

// Processor time, not wall time: a paused or stopped engine waits on events
// and must not spin, however busy the machine is.
TEST_F(PlaybackTest, PausedAndStoppedEnginesCostNothing) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    std::this_thread::sleep_for(1200ms);  // the pool is full and the device plays
    PlayerPause(e);
    std::this_thread::sleep_for(50ms);
    double start = ProcessCpuSeconds();
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(ProcessCpuSeconds() - start, 0.05) << "paused";

    PlayerStop(e);
    start = ProcessCpuSeconds();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuSeconds() - start, 0.03) << "stopped";
}

TEST_F(PlaybackTest, StopIsImmediateInEveryState) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(PlayerPlay(e), 1);
        if (round == 1) PlayerPause(e);
        if (round == 2) std::this_thread::sleep_for(50ms);
        const auto start = std::chrono::steady_clock::now();
        PlayerStop(e);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "round " << round;
        EXPECT_EQ(PlayerGetStatus(e), PLAYER_STOPPED);
        EXPECT_EQ(PlayerGetPosition(e), 0);
        EXPECT_FALSE(e->waveOutput.IsOpen());
    }
}

TEST_F(PlaybackTest, StopDuringTheDrainEndsAtOnce) {
    UseNull();
    Open("short.mp3");
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    std::this_thread::sleep_for(50ms);  // the whole file is decoded, the device plays it out
    PlayerStop(engine.get());
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
}

TEST_F(PlaybackTest, SeekWhilePlayingMovesThePosition) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    ASSERT_EQ(PlayerSeek(e, 3000), 1);
    const int32_t position = PlayerGetPosition(e);
    EXPECT_GE(position, 2990);
    EXPECT_LT(position, 3500);
    EXPECT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    ASSERT_TRUE(WaitForStatus(PLAYER_STOPPED, 1, 10s)) << "the rest plays out from the target";
}

TEST_F(PlaybackTest, SeekDuringTheDrainKeepsTheTrackGoing) {
    UseNull();
    Open("cbr128.mp3");
    PlayerEngine* e = engine.get();
    ASSERT_EQ(PlayerPlay(e), 1);
    // The whole file is read long before it has played: the thread drains.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (e->fileReader.ReaderSeek(0, SEEK_FROM_CURRENT) < e->fileReader.ReaderSize() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(PlayerGetStatus(e), PLAYER_PLAYING);
    ASSERT_EQ(PlayerSeek(e, 1000), 1);
    // The queued rest (at most the 0.84 s pool) would have ended by now.
    std::this_thread::sleep_for(1500ms);
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
        EXPECT_EQ(BlockCapacity(*engine, bits, 0), capacity) << fixture;
    }
}

// Random play, pause, seek, stop and open calls against both pacing
// devices; a deadlock or a race shows as a hang or a sanitizer report.
TEST_F(PlaybackTest, SurvivesRandomOperations) {
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
            default: std::this_thread::sleep_for(std::chrono::milliseconds(next(20))); break;
        }
        PlayerGetPosition(e);
    }
    PlayerClose(engine.get());
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
    EXPECT_GT(operations, 10);
}

}  // namespace
