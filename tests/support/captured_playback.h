#pragma once

// An engine that plays to the capture device as fast as it decodes, for the
// tests that compare what a source played with a reference decode.

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/recording_window.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/waiting.h"

namespace test {

class CapturedPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        engine = MakeEngine();
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
    }
    // Plays from where the source stands to its end; `stopsBefore` stops were seen earlier.
    bool PlayToTheEnd(size_t stopsBefore = 0) {
        return PlayerPlay(engine.get()) == 1 && WaitForStatus(window, PLAYER_STOPPED, stopsBefore + 1);
    }
    // The captured 16-bit PCM as samples.
    std::vector<int16_t> Samples() const {
        const std::vector<uint8_t> bytes = captured.Bytes();
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    platform::RecordingWindow window;
    CapturedAudio captured{CapturedAudio::kUnpaced};
    EngineHandle engine;
};

}  // namespace test
