#pragma once

#include <atomic>
#include <cstdint>

#include "engine/player.h"
#include "platform/critical_section.h"

// The PCM effects applied to every block before it is queued. Their settings
// live as long as the engine and survive from one playback to the next; the
// processing state (delay line, filter history) exists only while playing.

// An echo: the plain one delays only its input, the feedback one feeds its
// output back into the line.
class Echo {
public:
    enum Mode : int32_t { kFeedback = 0, kPlain = 1 };
    explicit Echo(Mode mode) : mode_(mode) {}

    void EchoSetParams(const PlayerEffectParams& params);
    PlayerEffectParams GetParams();

private:
    const Mode mode_;
    platform::CriticalSection lock_;
    // Guarded by lock_.
    int32_t enabled_ = 0;
    int32_t delay_ = 120;  // ms
    int32_t level_ = 30;   // percent
};

// Stereo widening. Set and read without a lock: a change made while a block
// is processed may take effect partly in that block.
class StereoWiden {
public:
    virtual ~StereoWiden() = default;

    void SetParams(const PlayerEffectParams& params);
    PlayerEffectParams GetParams() const;

private:
    std::atomic<int32_t> enabled_{0};
    std::atomic<int32_t> strength_{25};  // percent, 0..100
};

// The low shelf at 70 Hz boosting the bass by 0 to 20 dB.
class BassShelf {
public:
    static constexpr int32_t kMaximumGain = 20;

    void BassSetGain(int32_t decibels);
    int32_t Gain();

private:
    platform::CriticalSection lock_;
    int32_t gain_ = 0;  // dB, guarded by lock_.
};
