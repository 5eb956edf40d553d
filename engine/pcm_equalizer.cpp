#include "engine/pcm_equalizer.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "platform/byte_order.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {
namespace {

// A glide takes 32 steps of 16 frames: 12 ms at 44.1 kHz, well inside one
// block. The filters change from step to step, each change small; the
// common gain moves sample by sample, since a step in it is a step in the
// waveform.
constexpr int kGlideSteps = 32;
constexpr uint32_t kGlideStepFrames = 16;

// Once the curve is flat again, the history must fall below this (in 16-bit
// steps) before blocks pass untouched: every rounded sample is then the
// input already, so stopping the filters changes nothing.
constexpr float kQuietHistory = 0.25f;

constexpr float kSample16Lowest = -32768;
constexpr float kSample16Highest = 32767;
constexpr int32_t kSample8Silence = 128;
constexpr float kSample8Step = 256;  // one 8-bit step in 16-bit units

// The block is filtered in pieces of this many frames, converted to floats.
constexpr uint32_t kPieceFrames = 1024;

// Rounded to the nearest step, saturated: a boost must not wrap a loud sample.
int32_t Saturate16(float value) {
    value = std::clamp(value, kSample16Lowest, kSample16Highest);
    return static_cast<int32_t>(value < 0 ? value - 0.5f : value + 0.5f);
}

template <int Bits>
float ReadSample(const uint8_t* block, uint32_t index) {
    if constexpr (Bits == 16) {
        return static_cast<int16_t>(platform::ReadLittle16(block + 2 * index));
    } else {
        return static_cast<float>(block[index] - kSample8Silence) * kSample8Step;
    }
}

template <int Bits>
void WriteSample(uint8_t* block, uint32_t index, float value) {
    if constexpr (Bits == 16) {
        platform::WriteLittle16(block + 2 * index, static_cast<uint16_t>(Saturate16(value)));
    } else {
        const int32_t sample = Saturate16(value / kSample8Step) + kSample8Silence;
        block[index] = static_cast<uint8_t>(std::clamp(sample, 0, 255));
    }
}

void LoadStereo16(const uint8_t* pcm, float* scratch, uint32_t frames) {
    uint32_t index = 0;
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        // Eight samples at a time, each widened with its sign.
        for (; index + 8 <= 2 * frames; index += 8) {
            const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pcm + 2 * index));
            const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(samples, samples), 16);
            const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(samples, samples), 16);
            _mm_storeu_ps(scratch + index, _mm_cvtepi32_ps(low));
            _mm_storeu_ps(scratch + index + 4, _mm_cvtepi32_ps(high));
        }
    }
#endif
    for (; index < 2 * frames; ++index) scratch[index] = static_cast<int16_t>(platform::ReadLittle16(pcm + 2 * index));
}

// Scaled by start + step × n at the nth frame (from 1), rounded, saturated.
void StoreStereo16(const float* scratch, float start, float step, uint8_t* pcm, uint32_t frames) {
    uint32_t frame = 0;
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        // Four frames at a time; the conversion rounds to nearest and the
        // packing saturates.
        const __m128 fourSteps = _mm_set1_ps(4 * step);
        __m128 low = _mm_add_ps(_mm_set1_ps(start), _mm_mul_ps(_mm_set1_ps(step), _mm_setr_ps(1, 1, 2, 2)));
        __m128 high = _mm_add_ps(low, _mm_set1_ps(2 * step));
        for (; frame + 4 <= frames; frame += 4) {
            const __m128i first = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(scratch + 2 * frame), low));
            const __m128i second = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(scratch + 2 * frame + 4), high));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm + 4 * frame), _mm_packs_epi32(first, second));
            low = _mm_add_ps(low, fourSteps);
            high = _mm_add_ps(high, fourSteps);
        }
    }
#endif
    for (; frame < frames; ++frame) {
        const float factor = start + step * float(frame + 1);
        platform::WriteLittle16(pcm + 4 * frame, static_cast<uint16_t>(Saturate16(scratch[2 * frame] * factor)));
        platform::WriteLittle16(pcm + 4 * frame + 2, static_cast<uint16_t>(Saturate16(scratch[2 * frame + 1] * factor)));
    }
}

}  // namespace

void PcmEqualizer::Start(int32_t channels, int32_t sampleRate, const PlayerEqSettings& settings) {
    design_ = DesignForRate(sampleRate);
    channels_ = std::max(channels, 0);
    history_.assign(size_t((channels_ + 1) / 2), CascadeHistory{});
    scratch_.resize(2 * kPieceFrames);
    glideStepsLeft_ = 0;
    to_ = CurveForSettings(design_, settings);
    toFlat_ = IsFlat(settings);
    UseCurve(to_);
    appliedGain_ = commonGain_;
    filtering_ = !toFlat_ && channels_ > 0;
}

void PcmEqualizer::Stop() {
    filtering_ = false;
    channels_ = 0;
    glideStepsLeft_ = 0;
    std::vector<CascadeHistory>().swap(history_);
    std::vector<float>().swap(scratch_);
}

void PcmEqualizer::Clear() {
    ClearHistory();
    if (glideStepsLeft_ != 0) {
        glideStepsLeft_ = 0;
        UseCurve(to_);
        appliedGain_ = commonGain_;
    }
    if (toFlat_) filtering_ = false;
}

void PcmEqualizer::Glide(const PlayerEqSettings& settings) {
    if (channels_ == 0) return;
    const bool flat = IsFlat(settings);
    if (filtering_) {
        from_ = CurveAt(glideStepsLeft_);
    } else {
        if (flat) return;
        // The filters start empty at the flat curve, where they give out
        // their input exactly: nothing changes until the glide does.
        ClearHistory();
        from_ = EqualizerCurve{};
        UseCurve(from_);
        appliedGain_ = commonGain_;
        filtering_ = true;
    }
    to_ = CurveForSettings(design_, settings);
    toFlat_ = flat;
    glideStepsLeft_ = kGlideSteps;
}

void PcmEqualizer::Process(int32_t bits, uint8_t* block, uint32_t length) {
    if (!filtering_ || (bits != 8 && bits != 16)) return;
    const uint32_t frames = length / (uint32_t(bits / 8) * uint32_t(channels_));
    uint32_t done = 0;
    while (done < frames) {
        uint32_t count = frames - done;
        if (glideStepsLeft_ > 0) {
            --glideStepsLeft_;
            UseCurve(CurveAt(glideStepsLeft_));
            count = std::min(count, kGlideStepFrames);
        }
        const GainRamp gain{appliedGain_, (commonGain_ - appliedGain_) / float(count)};
        for (uint32_t left = 0; left < uint32_t(channels_); left += 2) {
            if (bits == 16) {
                FilterPair<16>(block, left, done, count, gain);
            } else {
                FilterPair<8>(block, left, done, count, gain);
            }
        }
        appliedGain_ = commonGain_;
        done += count;
    }
    if (toFlat_ && glideStepsLeft_ == 0 && HistoryIsQuiet()) filtering_ = false;
}

EqualizerCurve PcmEqualizer::CurveAt(int stepsLeft) const {
    if (stepsLeft == 0) return to_;
    const double part = double(kGlideSteps - stepsLeft) / kGlideSteps;
    EqualizerCurve curve;
    curve.commonDecibels = from_.commonDecibels + (to_.commonDecibels - from_.commonDecibels) * part;
    for (int band = 0; band < kEqualizerBands; ++band) {
        curve.bandDecibels[band] = from_.bandDecibels[band] + (to_.bandDecibels[band] - from_.bandDecibels[band]) * part;
    }
    return curve;
}

void PcmEqualizer::UseCurve(const EqualizerCurve& curve) {
    for (int band = 0; band < kEqualizerBands; ++band) {
        SetCascadeFilter(cascade_, band,
                         design_.present[band] ? PeakingFilter(design_, band, curve.bandDecibels[band])
                                               : PeakingCoefficients{});
    }
    commonGain_ = static_cast<float>(std::pow(10.0, curve.commonDecibels / 20));
}

void PcmEqualizer::ClearHistory() {
    std::fill(history_.begin(), history_.end(), CascadeHistory{});
}

bool PcmEqualizer::HistoryIsQuiet() const {
    for (const CascadeHistory& history : history_) {
        for (int lane = 0; lane < kCascadeLanes; ++lane) {
            if (std::abs(history.first[lane]) >= kQuietHistory || std::abs(history.second[lane]) >= kQuietHistory) {
                return false;
            }
        }
    }
    return true;
}

// Channels `left` and the one after it (a lone last channel runs beside
// silence), piece by piece through the scratch buffer.
template <int Bits>
void PcmEqualizer::FilterPair(uint8_t* block, uint32_t left, uint32_t firstFrame, uint32_t frames, GainRamp gain) {
    const auto channels = uint32_t(channels_);
    const bool pair = left + 1 < channels;
    CascadeHistory& history = history_[left / 2];
    // Nearly every block is one pair of 16-bit channels; where the processor
    // allows, the cascade takes it whole, converting as it goes.
    if (Bits == 16 && channels == 2 &&
        RunCascadeStereo16(cascade_, history, block + 4 * firstFrame, frames, gain.start, gain.step)) {
        return;
    }
    float* const scratch = scratch_.data();
    for (uint32_t start = firstFrame; start < firstFrame + frames; start += kPieceFrames) {
        const uint32_t count = std::min(kPieceFrames, firstFrame + frames - start);
        const float startFactor = gain.start + gain.step * float(start - firstFrame);
        if (Bits == 16 && channels == 2) {
            LoadStereo16(block + 4 * start, scratch, count);
            RunCascade(cascade_, history, scratch, count);
            StoreStereo16(scratch, startFactor, gain.step, block + 4 * start, count);
            continue;
        }
        for (uint32_t frame = 0; frame < count; ++frame) {
            const uint32_t index = (start + frame) * channels + left;
            scratch[2 * frame] = ReadSample<Bits>(block, index);
            scratch[2 * frame + 1] = pair ? ReadSample<Bits>(block, index + 1) : 0.0f;
        }
        RunCascade(cascade_, history, scratch, count);
        for (uint32_t frame = 0; frame < count; ++frame) {
            const uint32_t index = (start + frame) * channels + left;
            const float factor = startFactor + gain.step * float(frame + 1);
            WriteSample<Bits>(block, index, scratch[2 * frame] * factor);
            if (pair) WriteSample<Bits>(block, index + 1, scratch[2 * frame + 1] * factor);
        }
    }
}

}  // namespace engine
