// The MPEG inputs that once made the decoding thread spin for good (found by
// fuzzing, kept in the fuzzers' regression corpus): each plays to an end in the
// channels it opened with, one whose frames are all valid plays all of them,
// and a stop in the middle of any of them returns promptly.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "platform/recording_window.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/libmad_reference.h"
#include "tests/support/waiting.h"
#include "tests/support/watchdog.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kPlaybackLimit = 10s;
constexpr auto kWatchdogLimit = 20s;
constexpr auto kPromptStop = 2s;
constexpr size_t kBytesPerSample = 2;

struct HangInput {
    const char* file;
    int32_t openChannels;
    bool allFramesValid;  // two valid encodings joined: every frame plays
};

const HangInput kHangInputs[] = {
    {"mpeg-stereo-after-mono.mp3", 1, true},
    {"stream-mono-then-stereo.mp3", 1, true},
    {"mpeg-stereo-frame-in-mono.mp3", 1, false},
    {"mpeg-stereo-frame-in-mono-min.mp3", 1, false},
    {"mpeg-resync-onto-larger-frame.mp3", 2, false},
    {"mpeg-resync-onto-larger-frame-min.mp3", 2, false},
    {"mpeg-free-format-frame.mp3", 1, false},
    {"mpeg-free-format-frame-min.mp3", 1, false},
};

// One engine on one device, created and destroyed on the watchdog's thread.
struct Playback {
    Playback(platform::WaveBackend backend, const platform::CaptureSink& sink) : engine(test::MakeEngine()) {
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), backend, sink);
    }
    bool WaitForStop() { return test::WaitForStatus(window, PLAYER_STOPPED, 1, kPlaybackLimit); }

    platform::RecordingWindow window;
    test::EngineHandle engine;
};

std::string HangInputPath(const char* file) { return test::RegressionInputPath("mpeg_playback", file); }

void ExpectPlaysToAnEnd(const HangInput& input) {
    test::CapturedAudio captured(test::CapturedAudio::kUnpaced);
    Playback playback(platform::WaveBackend::Capture, captured.Sink());
    PlayerEngine* engine = playback.engine.get();
    ASSERT_EQ(PlayerOpen(engine, HangInputPath(input.file)), 1);
    ASSERT_EQ(engine->sourceFormat.channels, input.openChannels);
    ASSERT_EQ(PlayerPlay(engine), 1);
    ASSERT_TRUE(playback.WaitForStop()) << "the playback never ended";

    const std::vector<uint8_t> played = captured.Bytes();
    if (!played.empty()) {
        EXPECT_EQ(captured.Format().channels, input.openChannels);
    }
    if (!input.allFramesValid) return;
    // Every frame a continuous decode finds, each in the opening channels.
    const std::vector<uint8_t> bytes = test::WithMadGuard(test::ReadFileBytes(HangInputPath(input.file)));
    const auto reference = test::DecodeWithLibmad(bytes, 16, false);
    ASSERT_GT(reference.frames, 0);
    const size_t frameBytes = size_t(engine->sourceFormat.samplesPerFrame) * size_t(input.openChannels);
    EXPECT_EQ(played.size(), size_t(reference.frames) * frameBytes * kBytesPerSample);
}

void ExpectStopIsPrompt(const HangInput& input) {
    Playback playback(platform::WaveBackend::Null, {});
    PlayerEngine* engine = playback.engine.get();
    ASSERT_EQ(PlayerOpen(engine, HangInputPath(input.file)), 1);
    ASSERT_EQ(PlayerPlay(engine), 1);
    const auto stopAt = std::chrono::steady_clock::now();
    PlayerStop(engine);
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, kPromptStop);
    EXPECT_EQ(PlayerGetStatus(engine), PLAYER_STOPPED);
}

// Runs `check` on every input under a watchdog. The trace is set on the
// watchdog's thread, whose assertions it explains.
void ForEachHangInput(const char* doing, void (*check)(const HangInput&)) {
    for (const HangInput& input : kHangInputs) {
        test::RunWithWatchdog(kWatchdogLimit, std::string(doing) + " " + input.file, [&input, check] {
            SCOPED_TRACE(input.file);
            check(input);
        });
    }
}

TEST(HangInputs, PlayToAnEndInTheOpeningChannels) {
    ForEachHangInput("playing", ExpectPlaysToAnEnd);
}

TEST(HangInputs, StopReturnsDuringPlayback) {
    ForEachHangInput("stopping", ExpectStopIsPrompt);
}

}  // namespace
