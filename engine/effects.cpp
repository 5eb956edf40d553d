#include "engine/effects.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "platform/byte_order.h"

namespace engine {
namespace {

constexpr int32_t kSample16Minimum = -32768;
constexpr int32_t kSample16Maximum = 32767;
constexpr int32_t kSample8Minimum = 0;
constexpr int32_t kSample8Maximum = 255;
// An unsigned 8-bit sample is centred on 128 and widens to 16 bits by 8 bits.
constexpr int32_t kSample8Silence = 128;
constexpr int kSample8Shift = 8;
constexpr int32_t kPercent = 100;

// A line never holds more than a minute, nor more than a minute of stereo at
// 96 kHz whatever the format claims: anything beyond is a mistaken setting,
// not an echo, and leaves the echo inactive instead of allocating gigabytes.
constexpr int64_t kMaximumDelayMilliseconds = 60000;
constexpr int64_t kMaximumLineValues = int64_t{2} * 96000 * 60;
constexpr int64_t kMillisecondsPerSecond = 1000;
// Odd line lengths are rounded this way to keep the 8-bit read position odd.
constexpr int64_t kOddLengthMask = ~int64_t{15};

constexpr double kCoefficientScale = 4096.0;
// 2π × 70 Hz, the corner of the shelf.
constexpr double kShelfAngularFrequency = 439.82297150246;
constexpr double kDecibelsToAmplitudeExponent = 0.025;  // A = 10^(gain / 40)

int32_t ReadSample16(const uint8_t* block, uint32_t index) {
    return static_cast<int16_t>(platform::ReadLittle16(block + 2 * index));
}

void WriteSample16(uint8_t* block, uint32_t index, int32_t value) {
    platform::WriteLittle16(block + 2 * index, static_cast<uint16_t>(value));
}

int32_t Clamp16(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, kSample16Minimum, kSample16Maximum));
}

int32_t Clamp8(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, kSample8Minimum, kSample8Maximum));
}

// A 16-bit range value back to an unsigned byte.
uint8_t NarrowTo8(int64_t value) {
    return static_cast<uint8_t>(Clamp8((value >> kSample8Shift) + kSample8Silence));
}

int32_t WidenFrom8(uint8_t sample) {
    return (sample - kSample8Silence) * (1 << kSample8Shift);
}

int32_t ToCoefficient(double value) {
    return static_cast<int32_t>(value * kCoefficientScale);
}

}  // namespace

// ---- Echo ----------------------------------------------------------------

void Echo::EchoSetParams(const PlayerEffectParams& params) {
    platform::CriticalSectionGuard guard(lock_);
    ReleaseLine();
    // Delay and level are taken as given; an echo with either at 0 stays silent.
    enabled_ = params.enabled;
    delay_ = params.delay;
    level_ = params.level;
    // While playing, the echo restarts at once with an empty line.
    EchoSetup(channels_, rate_);
}

PlayerEffectParams Echo::GetParams() {
    platform::CriticalSectionGuard guard(lock_);
    return {enabled_, delay_, level_};
}

void Echo::EchoSetup(int32_t channels, int32_t rate) {
    platform::CriticalSectionGuard guard(lock_);
    ReleaseLine();
    channels_ = channels;
    rate_ = rate;
    if (channels <= 0 || rate <= 0 || enabled_ == 0 || delay_ <= 0 || level_ == 0) return;
    if (delay_ > kMaximumDelayMilliseconds) return;

    const int64_t framesDelayed = int64_t{rate} * delay_ / kMillisecondsPerSecond;
    // A delay shorter than one frame would put the read position past the line.
    if (framesDelayed <= 0 || framesDelayed > kMaximumLineValues / channels) return;
    int64_t delayed = channels * framesDelayed;
    if (delayed % 2 != 0) delayed = (delayed & kOddLengthMask) + 1;
    const auto length = static_cast<size_t>(delayed + 1);
    try {
        line_.assign(length, 0);
    } catch (const std::bad_alloc&) {
        ReleaseLine();
        return;
    }
    write_ = 0;
    sixteenBitRead_ = 1;
    eightBitRead_ = static_cast<uint32_t>((length - 1) / 2 + 1);
    if (eightBitRead_ % 2 == 0) ++eightBitRead_;
    // Only a line of three values puts it at the end; it wraps like any position.
    eightBitRead_ %= static_cast<uint32_t>(length);
    active_.store(true, std::memory_order_relaxed);
}

void Echo::EchoProcess(int32_t bits, uint8_t* block, uint32_t length) {
    if (!active_.load(std::memory_order_relaxed)) return;
    platform::CriticalSectionGuard guard(lock_);
    if (!active_.load(std::memory_order_relaxed)) return;

    const bool plain = mode_ == kPlain;
    const int64_t level = level_;
    if (bits == 16) {
        const uint32_t samples = length / 2;
        for (uint32_t index = 0; index < samples; ++index) {
            const int32_t input = ReadSample16(block, index);
            if (plain) {
                line_[write_] = input;
                Advance(write_);
            }
            const int64_t delayed = line_[sixteenBitRead_];
            Advance(sixteenBitRead_);
            const int32_t output = Clamp16(input + level * delayed / kPercent);
            if (!plain) {
                line_[write_] = output;
                Advance(write_);
            }
            WriteSample16(block, index, output);
        }
    } else if (bits == 8) {
        for (uint32_t index = 0; index < length; ++index) {
            const int32_t input = block[index];
            if (plain) {
                line_[write_] = input - kSample8Silence;
                Advance(write_);
            }
            const int64_t delayed = line_[eightBitRead_];
            Advance(eightBitRead_);
            const int32_t output = Clamp8(input + level * delayed / kPercent);
            if (!plain) {
                line_[write_] = output - kSample8Silence;
                Advance(write_);
            }
            block[index] = static_cast<uint8_t>(output);
        }
    }
}

void Echo::EchoClear() {
    platform::CriticalSectionGuard guard(lock_);
    std::fill(line_.begin(), line_.end(), 0);
}

void Echo::EchoRelease() {
    platform::CriticalSectionGuard guard(lock_);
    ReleaseLine();
    channels_ = 0;
    rate_ = 0;
}

uint32_t Echo::LineLength() {
    platform::CriticalSectionGuard guard(lock_);
    return static_cast<uint32_t>(line_.size());
}

void Echo::ReleaseLine() {
    active_.store(false, std::memory_order_relaxed);
    std::vector<int32_t>().swap(line_);
}

void Echo::Advance(uint32_t& position) const {
    if (++position == line_.size()) position = 0;
}

// ---- StereoWiden -----------------------------------------------------------

void StereoWiden::SetParams(const PlayerEffectParams& params) {
    enabled_.store(params.enabled, std::memory_order_relaxed);
    strength_.store(std::clamp(params.level, 0, kPercent), std::memory_order_relaxed);
}

PlayerEffectParams StereoWiden::GetParams() const {
    return {enabled_.load(std::memory_order_relaxed), 0, strength_.load(std::memory_order_relaxed)};
}

void StereoWiden::WidenProcess(int32_t bits, uint8_t* block, uint32_t length) const {
    if (enabled_.load(std::memory_order_relaxed) == 0) return;
    // Strength is at most 100, so (left − right) × strength fits easily.
    const int32_t strength = strength_.load(std::memory_order_relaxed);
    if (strength == 0) return;

    if (bits == 16) {
        const uint32_t frames = length / 4;
        for (uint32_t frame = 0; frame < frames; ++frame) {
            const int32_t left = ReadSample16(block, 2 * frame);
            const int32_t right = ReadSample16(block, 2 * frame + 1);
            WriteSample16(block, 2 * frame, Clamp16(left + (left - right) * strength / kPercent));
            WriteSample16(block, 2 * frame + 1, Clamp16(right + (right - left) * strength / kPercent));
        }
    } else if (bits == 8) {
        const uint32_t frames = length / 2;
        for (uint32_t frame = 0; frame < frames; ++frame) {
            const int32_t left = WidenFrom8(block[2 * frame]);
            const int32_t right = WidenFrom8(block[2 * frame + 1]);
            block[2 * frame] = NarrowTo8(left + (left - right) * strength / kPercent);
            block[2 * frame + 1] = NarrowTo8(right + (right - left) * strength / kPercent);
        }
    }
}

// ---- BassShelf -------------------------------------------------------------

void BassShelf::BassSetGain(int32_t decibels) {
    const int32_t gain = std::clamp(decibels, 0, kMaximumGain);
    platform::CriticalSectionGuard guard(lock_);
    const int32_t channels = channels_;
    const int32_t rate = rate_;
    BassReset();
    gain_ = gain;
    // While playing, the new gain is heard at once; while stopped it is only stored.
    BassDesign(channels, rate);
}

int32_t BassShelf::Gain() {
    platform::CriticalSectionGuard guard(lock_);
    return gain_;
}

void BassShelf::BassDesign(int32_t channels, int32_t rate) {
    platform::CriticalSectionGuard guard(lock_);
    channels_ = channels;
    rate_ = rate;
    active_.store(false, std::memory_order_relaxed);
    if (!IsActive()) return;

    const double amplitude = std::exp(gain_ * std::log(10.0) * kDecibelsToAmplitudeExponent);
    const double angle = kShelfAngularFrequency / rate;
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    const double beta = std::sqrt((amplitude * amplitude + 1) - (amplitude - 1) * (amplitude - 1));
    const double above = amplitude + 1;
    const double below = amplitude - 1;

    coefficients_.b0 = ToCoefficient(amplitude * (above - below * cosine + beta * sine));
    coefficients_.b1 = ToCoefficient(2 * amplitude * (below - above * cosine));
    coefficients_.b2 = ToCoefficient(amplitude * (above - below * cosine - beta * sine));
    coefficients_.a0 = ToCoefficient(above + below * cosine + beta * sine);
    coefficients_.a1 = ToCoefficient(-2 * (below + above * cosine));
    coefficients_.a2 = ToCoefficient(above + below * cosine - beta * sine);
    // a0 ≥ (A + 1) − sqrt(A² + 1) > 0.5 for every gain and rate, so the
    // division in Filter is always defined.
    BassClear();
    active_.store(true, std::memory_order_relaxed);
}

void BassShelf::BassProcess(int32_t bits, uint8_t* block, uint32_t length) {
    if (!active_.load(std::memory_order_relaxed)) return;
    platform::CriticalSectionGuard guard(lock_);
    // Changed only under the lock, so this reading is the settled one.
    if (!active_.load(std::memory_order_relaxed)) return;

    const auto channels = static_cast<uint32_t>(channels_);
    if (bits == 16) {
        const uint32_t frames = length / 2 / channels;
        for (uint32_t frame = 0; frame < frames; ++frame) {
            for (uint32_t channel = 0; channel < channels; ++channel) {
                const uint32_t index = frame * channels + channel;
                const int32_t output = Filter(channel, ReadSample16(block, index));
                WriteSample16(block, index, Clamp16(output));
            }
        }
    } else if (bits == 8) {
        const uint32_t frames = length / channels;
        for (uint32_t frame = 0; frame < frames; ++frame) {
            for (uint32_t channel = 0; channel < channels; ++channel) {
                const uint32_t index = frame * channels + channel;
                block[index] = NarrowTo8(Filter(channel, WidenFrom8(block[index])));
            }
        }
    }
}

void BassShelf::BassClear() {
    platform::CriticalSectionGuard guard(lock_);
    previousInput_.fill(0);
    secondPreviousInput_.fill(0);
    previousOutput_.fill(0);
    secondPreviousOutput_.fill(0);
}

void BassShelf::BassReset() {
    platform::CriticalSectionGuard guard(lock_);
    active_.store(false, std::memory_order_relaxed);
    channels_ = 0;
    rate_ = 0;
}

BassCoefficients BassShelf::Coefficients() {
    platform::CriticalSectionGuard guard(lock_);
    return coefficients_;
}

bool BassShelf::IsActive() const {
    // Formats beyond stereo have no history to filter with.
    return gain_ != 0 && channels_ > 0 && channels_ <= kMaximumChannels && rate_ > 0;
}

int32_t BassShelf::Filter(uint32_t channel, int32_t input) {
    const BassCoefficients& c = coefficients_;
    // In 64 bits: at the highest gains a full-scale input takes the sum past
    // the 32-bit range. Every result that fits 32 bits comes out the same.
    const int64_t sum = int64_t{c.b0} * input + int64_t{c.b1} * previousInput_[channel] +
                        int64_t{c.b2} * secondPreviousInput_[channel] -
                        int64_t{c.a1} * previousOutput_[channel] -
                        int64_t{c.a2} * secondPreviousOutput_[channel];
    // Truncated to 4096ths, the denominator's coefficients can sum to 0 (at
    // 44.1 kHz they do), which leaves a pole at DC: a large enough constant
    // input then grows the output without end. The clamp keeps the history
    // inside its type; the sum above stays far inside 64 bits.
    const auto output = static_cast<int32_t>(std::clamp<int64_t>(
        sum / c.a0, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    secondPreviousInput_[channel] = previousInput_[channel];
    previousInput_[channel] = input;
    secondPreviousOutput_[channel] = previousOutput_[channel];
    previousOutput_[channel] = output;
    return output;
}

// ---- EffectChain -----------------------------------------------------------

void EffectChain::Process(int32_t channels, int32_t bits, uint8_t* block, uint32_t length) const {
    if (channels == 2) widen.WidenProcess(bits, block, length);
    bassShelf.BassProcess(bits, block, length);
    echo.EchoProcess(bits, block, length);
    feedbackEcho.EchoProcess(bits, block, length);
}

}  // namespace engine
