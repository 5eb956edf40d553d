#include "engine/equalizer.h"

#include <cmath>

#include "engine/mpeg_decoder.h"

namespace engine {
namespace {

constexpr int32_t kZeroDecibelPosition = 31;
constexpr double kTopDecibels = 20.0;        // slider position 0
constexpr double kDecibelRange = 40.0;       // from position 0 to position 63
constexpr double kLastPosition = 63.0;
// Preamp and band together never boost by more than this; cuts are unlimited.
constexpr double kMaximumDecibels = 18.0;

constexpr int kSubbandCount = 32;

// The band (counted from 0) that scales each of libmad's 32 subbands. A
// subband spans sample rate / 64 Hz, so the low bands get one subband each
// and the top band the upper 12.
constexpr int kBandOfSubband[kSubbandCount] = {
    0, 1, 2, 3, 4, 5, 6, 6, 7, 7, 7, 7, 8, 8, 8, 8,
    8, 8, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,
};

}  // namespace

double SliderDecibels(int32_t position) {
    // The straight line gives 0.317 dB at the middle position; the middle is
    // pinned to exactly 0 dB so a flat curve leaves the sound untouched.
    if (position == kZeroDecibelPosition) return 0.0;
    return kTopDecibels - position * kDecibelRange / kLastPosition;
}

double BandDecibels(const PlayerEqSettings& settings, int band) {
    const double total = SliderDecibels(settings.bands[band]) + SliderDecibels(settings.preamp);
    return total > kMaximumDecibels ? kMaximumDecibels : total;
}

void ComputeSubbandGains(MpegDecoder& decoder, const PlayerEqSettings& settings) {
    for (int subband = 0; subband < kSubbandCount; ++subband) {
        const double total = BandDecibels(settings, kBandOfSubband[subband]);
        const double gain = std::pow(10.0, total / 20.0) * kMadOne + 0.5;
        // The decoding thread reads the gains while they change; each one is
        // a single word, and a frame with some old gains is harmless.
        decoder.gains[subband].store(static_cast<int32_t>(gain), std::memory_order_relaxed);
    }
    decoder.equalizerEnabled.store(settings.enabled, std::memory_order_relaxed);
}

namespace {

PlayerEqSettings TakeSettings(EqualizerBlock& equalizer) {
    std::lock_guard lock(equalizer.decoderLock);
    equalizer.pcmGeneration = equalizer.generation.load(std::memory_order_relaxed);
    return equalizer.settings;
}

}  // namespace

void StartPcmEqualizer(EqualizerBlock& equalizer, int32_t channels, int32_t sampleRate) {
    equalizer.pcm.Start(channels, sampleRate, TakeSettings(equalizer));
}

void EqualizePcm(EqualizerBlock& equalizer, int32_t bits, uint8_t* block, uint32_t length) {
    if (equalizer.generation.load(std::memory_order_relaxed) != equalizer.pcmGeneration) {
        equalizer.pcm.Glide(TakeSettings(equalizer));
    }
    equalizer.pcm.Process(bits, block, length);
}

}  // namespace engine
