#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/player.h"
#include "platform/critical_section.h"

namespace engine {

// The PCM effects applied to every block before it is queued. Their settings
// live as long as the engine and survive from one playback to the next; the
// processing state (delay line, filter history) exists only while playing.
//
// Every Process operation works in place on 8-bit unsigned or 16-bit signed
// little-endian interleaved PCM; other sample sizes pass through untouched.
// Each returns at once, without taking a lock, when the effect is inactive.

// An echo: the plain one delays only its input, the feedback one feeds its
// output back into the line.
class Echo {
public:
    enum Mode : int32_t { kFeedback = 0, kPlain = 1 };
    explicit Echo(Mode mode) : mode_(mode) {}

    void EchoSetParams(const PlayerEffectParams& params);
    PlayerEffectParams GetParams();

    // Stores the playback's format and allocates an empty line for it, when
    // the echo is enabled with a non-zero delay and level.
    void EchoSetup(int32_t channels, int32_t rate);
    void EchoProcess(int32_t bits, uint8_t* block, uint32_t length);
    // Empties the line, so nothing from before a seek is heard after it.
    void EchoClear();
    // Frees the line and forgets the format at the end of a playback.
    void EchoRelease();

    // Values the line holds; 0 while the echo is inactive.
    uint32_t LineLength();

private:
    void ReleaseLine();
    // Steps a line position on by one, back to 0 at the end of the line.
    void Advance(uint32_t& position) const;

    const Mode mode_;
    platform::CriticalSection lock_;
    // True while a line exists; changed only under lock_ and read first
    // without it, so an inactive echo skips the lock.
    std::atomic<bool> active_{false};
    // Guarded by lock_.
    int32_t channels_ = 0;
    int32_t rate_ = 0;
    uint32_t sixteenBitRead_ = 0;
    uint32_t eightBitRead_ = 0;
    uint32_t write_ = 0;
    std::vector<int32_t> line_;  // interleaved by channel; empty when inactive
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

    // The block must hold two interleaved channels.
    void WidenProcess(int32_t bits, uint8_t* block, uint32_t length) const;

private:
    std::atomic<int32_t> enabled_{0};
    std::atomic<int32_t> strength_{25};  // percent, 0..100
};

// The coefficients of the bass shelf, each the real value × 4096 truncated.
struct BassCoefficients {
    int32_t a0 = 0;
    int32_t a1 = 0;
    int32_t a2 = 0;
    int32_t b0 = 0;
    int32_t b1 = 0;
    int32_t b2 = 0;
};

// The low shelf at 70 Hz boosting the bass by 0 to 20 dB.
class BassShelf {
public:
    static constexpr int32_t kMaximumGain = 20;
    // The history holds the left and right channel only.
    static constexpr int32_t kMaximumChannels = 2;

    void BassSetGain(int32_t decibels);
    int32_t Gain();

    // Stores the playback's format and computes the coefficients for it.
    void BassDesign(int32_t channels, int32_t rate);
    void BassProcess(int32_t bits, uint8_t* block, uint32_t length);
    // Forgets the previous samples, so nothing from before a seek rings on.
    void BassClear();
    // Forgets the format, which silences the filter until the next design.
    void BassReset();

    BassCoefficients Coefficients();

private:
    // Whether the gain, the channels and the rate allow filtering.
    bool IsActive() const;
    // One output sample of channel `channel`, unclamped.
    int32_t Filter(uint32_t channel, int32_t input);

    platform::CriticalSection lock_;
    // Set by BassDesign when IsActive(), cleared by BassReset; changed only
    // under lock_ and read first without it, so an inactive filter skips the lock.
    std::atomic<bool> active_{false};
    // Guarded by lock_.
    BassCoefficients coefficients_;
    std::array<int32_t, kMaximumChannels> previousInput_{};         // x1
    std::array<int32_t, kMaximumChannels> secondPreviousInput_{};   // x2
    std::array<int32_t, kMaximumChannels> previousOutput_{};        // y1
    std::array<int32_t, kMaximumChannels> secondPreviousOutput_{};  // y2
    int32_t channels_ = 0;
    int32_t rate_ = 0;
    int32_t gain_ = 0;  // dB
};

// The four effects of one engine in the order a block goes through them.
struct EffectChain {
    StereoWiden& widen;
    BassShelf& bassShelf;
    Echo& echo;  // the plain one
    Echo& feedbackEcho;

    // Widening applies to two-channel sources only.
    void Process(int32_t channels, int32_t bits, uint8_t* block, uint32_t length) const;
};

}  // namespace engine
