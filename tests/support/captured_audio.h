#pragma once

// The PCM that the capture device played, optionally at a pace on the
// installed clock (the capture device itself has none): at real time a live
// stream is consumed as a listener would, and a few times faster a test
// stays short while the receive thread still keeps ahead of the decoder.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "platform/wave_out.h"

namespace test {

class CapturedAudio {
public:
    static constexpr double kUnpaced = 0;

    // `speed`: multiples of real time; kUnpaced plays as fast as the engine runs.
    explicit CapturedAudio(double speed) : speed_(speed) {}

    platform::CaptureSink Sink() {
        platform::CaptureSink sink;
        sink.onPcm = [this](const platform::WaveFormat& format, const uint8_t* pcm, size_t bytes) {
            Append(format, pcm, bytes);
        };
        return sink;
    }

    std::vector<uint8_t> Bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    platform::WaveFormat Format() const {
        std::lock_guard lock(mutex_);
        return format_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        bytes_.clear();
    }
    // Milliseconds of audio captured so far.
    int64_t Milliseconds() const {
        std::lock_guard lock(mutex_);
        const uint64_t perSecond = uint64_t{format_.BlockAlign()} * format_.sampleRate;
        return perSecond == 0 ? 0 : int64_t(bytes_.size() * 1000 / perSecond);
    }

private:
    // Runs on the device's thread; sleeping there holds the device back.
    void Append(const platform::WaveFormat& format, const uint8_t* pcm, size_t bytes) {
        platform::ClockTime due;
        {
            std::lock_guard lock(mutex_);
            if (bytes_.empty()) start_ = platform::Now();
            format_ = format;
            bytes_.insert(bytes_.end(), pcm, pcm + bytes);
            const uint64_t perSecond = uint64_t{format.BlockAlign()} * format.sampleRate;
            if (speed_ <= 0 || perSecond == 0) return;
            due = start_ + std::chrono::microseconds(int64_t(double(bytes_.size()) * 1e6 / double(perSecond) / speed_));
        }
        platform::SleepUntil(due);
    }

    const double speed_;
    mutable std::mutex mutex_;
    std::vector<uint8_t> bytes_;  // Guarded by mutex_, as are the two below.
    platform::WaveFormat format_;
    platform::ClockTime start_;
};

}  // namespace test
