#include "engine/peaking_cascade.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace engine {

CascadeCoefficients::CascadeCoefficients() {
    std::fill(std::begin(b0), std::end(b0), 1.0f);
}

// The first of the two lanes of `filter`: where the code that runs the
// cascade on this processor wants it.
int FirstLaneOf(int filter);

void SetCascadeFilter(CascadeCoefficients& cascade, int filter, const PeakingCoefficients& peaking) {
    const int firstLane = FirstLaneOf(filter);
    for (int lane = firstLane; lane < firstLane + 2; ++lane) {
        cascade.b0[lane] = static_cast<float>(peaking.b0);
        cascade.c1[lane] = static_cast<float>(peaking.a1 * (1 - peaking.b0));
        cascade.a1[lane] = static_cast<float>(peaking.a1);
        cascade.c2[lane] = static_cast<float>(peaking.b2 - peaking.a2 * peaking.b0);
        cascade.a2[lane] = static_cast<float>(peaking.a2);
    }
}

#if defined(__SSE2__)

namespace {

// Steps from a frame's entry into the first filter to its exit from the last.
constexpr int kPipelineDepth = kCascadeFilters - 1;

// ---- four lanes: five vectors, vector v holding filters v and v + 5 -----

constexpr int kNarrowVectors = kCascadeFilters / 2;

inline int NarrowLane(int filter) {
    return 4 * (filter % kNarrowVectors) + 2 * (filter / kNarrowVectors);
}

// One filter vector: takes `x`, returns its outputs, moves its history on.
// In a partial step, the lanes of `has` that are clear keep their history.
template <bool Partial>
inline __m128 NarrowFilters(const CascadeCoefficients& c, int lane, __m128 x, __m128& first, __m128& second,
                            __m128 has) {
    const __m128 y = _mm_add_ps(_mm_mul_ps(_mm_load_ps(c.b0 + lane), x), first);
    const __m128 nextFirst = _mm_sub_ps(_mm_add_ps(_mm_mul_ps(_mm_load_ps(c.c1 + lane), x), second),
                                        _mm_mul_ps(_mm_load_ps(c.a1 + lane), first));
    const __m128 nextSecond =
        _mm_sub_ps(_mm_mul_ps(_mm_load_ps(c.c2 + lane), x), _mm_mul_ps(_mm_load_ps(c.a2 + lane), first));
    if constexpr (Partial) {
        first = _mm_or_ps(_mm_and_ps(has, nextFirst), _mm_andnot_ps(has, first));
        second = _mm_or_ps(_mm_and_ps(has, nextSecond), _mm_andnot_ps(has, second));
    } else {
        first = nextFirst;
        second = nextSecond;
    }
    return y;
}

// Which lanes' filters have a frame at `step`: 0 <= step − filter < frames.
inline __m128 NarrowHas(int vector, int step, int frames) {
    const __m128i filter = _mm_setr_epi32(vector, vector, vector + kNarrowVectors, vector + kNarrowVectors);
    const __m128i frame = _mm_sub_epi32(_mm_set1_epi32(step), filter);
    return _mm_castsi128_ps(
        _mm_and_si128(_mm_cmpgt_epi32(frame, _mm_set1_epi32(-1)), _mm_cmplt_epi32(frame, _mm_set1_epi32(frames))));
}

// One step: `entering` (left, right in the low lanes) goes into the first
// filter, every other filter takes its predecessor's last output: vector v
// takes vector v − 1's, and the first takes the new frame beside the fifth
// filter's output.
template <bool Partial>
inline void NarrowStep(const CascadeCoefficients& c, __m128 (&first)[kNarrowVectors],
                       __m128 (&second)[kNarrowVectors], __m128 (&output)[kNarrowVectors], __m128 entering, int step,
                       int frames) {
    __m128 input[kNarrowVectors];
    input[0] = _mm_movelh_ps(entering, output[kNarrowVectors - 1]);
    for (int v = 1; v < kNarrowVectors; ++v) input[v] = output[v - 1];
    for (int v = 0; v < kNarrowVectors; ++v) {
        const __m128 has = Partial ? NarrowHas(v, step, frames) : _mm_setzero_ps();
        output[v] = NarrowFilters<Partial>(c, 4 * v, input[v], first[v], second[v], has);
    }
}

// Stored as two floats: a store through __m64 may alias anything, which
// would keep the history out of registers.
inline void StoreUpperPair(__m128 pair, float* samples, int frame) {
    samples[2 * frame] = _mm_cvtss_f32(_mm_movehl_ps(pair, pair));
    samples[2 * frame + 1] = _mm_cvtss_f32(_mm_shuffle_ps(pair, pair, _MM_SHUFFLE(3, 3, 3, 3)));
}

inline __m128 Enter(const float* samples, int frame) {
    return _mm_setr_ps(samples[2 * frame], samples[2 * frame + 1], 0, 0);
}

void RunNarrow(const CascadeCoefficients& c, CascadeHistory& history, float* samples, int frames) {
    __m128 first[kNarrowVectors];
    __m128 second[kNarrowVectors];
    __m128 output[kNarrowVectors];
    for (int v = 0; v < kNarrowVectors; ++v) {
        first[v] = _mm_load_ps(history.first + 4 * v);
        second[v] = _mm_load_ps(history.second + 4 * v);
        output[v] = _mm_setzero_ps();
    }
    // The tenth filter is the second of the last vector.
    int step = 0;
    // Filling: the later filters have no frame yet.
    for (; step < kPipelineDepth && step < frames; ++step) {
        NarrowStep<true>(c, first, second, output, Enter(samples, step), step, frames);
    }
    // Full: a frame leaves as a new one enters.
    for (; step < frames; ++step) {
        NarrowStep<false>(c, first, second, output, Enter(samples, step), step, frames);
        StoreUpperPair(output[kNarrowVectors - 1], samples, step - kPipelineDepth);
    }
    // Emptying: the earlier filters have none left.
    for (; step < frames + kPipelineDepth; ++step) {
        NarrowStep<true>(c, first, second, output, _mm_setzero_ps(), step, frames);
        if (step >= kPipelineDepth) StoreUpperPair(output[kNarrowVectors - 1], samples, step - kPipelineDepth);
    }
    for (int v = 0; v < kNarrowVectors; ++v) {
        _mm_store_ps(history.first + 4 * v, first[v]);
        _mm_store_ps(history.second + 4 * v, second[v]);
    }
}

// ---- eight lanes: three vectors, vector v holding filters v, v + 3, v + 6
// and v + 9 (the eleventh and twelfth flat) ----
//
// Written out vector by vector, with the history in locals, so that it
// stays in registers; the coefficients come from memory as operands.

#define TUNELARK_WIDE __attribute__((target("avx2,fma")))

constexpr int kWideVectors = kCascadeLanes / 8;

inline int WideLane(int filter) {
    return 8 * (filter % kWideVectors) + 2 * (filter / kWideVectors);
}

template <bool Partial>
TUNELARK_WIDE inline __m256 WideFilters(const CascadeCoefficients& c, int lane, __m256 x, __m256& first,
                                        __m256& second, __m256 has) {
    // In this order each result can take the place of a value no longer
    // needed (the old second, then the old first), so nothing is copied.
    const __m256 nextSecond =
        _mm256_fnmadd_ps(_mm256_load_ps(c.a2 + lane), first, _mm256_mul_ps(_mm256_load_ps(c.c2 + lane), x));
    const __m256 nextFirst =
        _mm256_fnmadd_ps(_mm256_load_ps(c.a1 + lane), first, _mm256_fmadd_ps(_mm256_load_ps(c.c1 + lane), x, second));
    const __m256 y = _mm256_fmadd_ps(_mm256_load_ps(c.b0 + lane), x, first);
    if constexpr (Partial) {
        first = _mm256_blendv_ps(first, nextFirst, has);
        second = _mm256_blendv_ps(second, nextSecond, has);
    } else {
        first = nextFirst;
        second = nextSecond;
    }
    return y;
}

TUNELARK_WIDE inline __m256 WideHas(int vector, int step, int frames) {
    const __m256i filter = _mm256_add_epi32(_mm256_set1_epi32(vector), _mm256_setr_epi32(0, 0, 3, 3, 6, 6, 9, 9));
    const __m256i frame = _mm256_sub_epi32(_mm256_set1_epi32(step), filter);
    return _mm256_castsi256_ps(_mm256_and_si256(_mm256_cmpgt_epi32(frame, _mm256_set1_epi32(-1)),
                                                _mm256_cmpgt_epi32(_mm256_set1_epi32(frames), frame)));
}

// One step, as NarrowStep: vectors 1 and 2 take the outputs of 0 and 1 as
// they stand; the first takes the new frame and the last vector's outputs
// moved up one filter (two lanes).
template <bool Partial>
TUNELARK_WIDE inline void WideStep(const CascadeCoefficients& c, __m256 (&first)[kWideVectors],
                                   __m256 (&second)[kWideVectors], __m256 (&output)[kWideVectors], __m256 entering,
                                   int step, int frames) {
    const __m256i upOneFilter = _mm256_setr_epi32(6, 7, 0, 1, 2, 3, 4, 5);
    const __m256 input0 = _mm256_blend_ps(_mm256_permutevar8x32_ps(output[2], upOneFilter), entering, 0x03);
    const __m256 input1 = output[0];
    const __m256 input2 = output[1];
    const __m256 none = _mm256_setzero_ps();
    output[0] = WideFilters<Partial>(c, 0, input0, first[0], second[0], Partial ? WideHas(0, step, frames) : none);
    output[1] = WideFilters<Partial>(c, 8, input1, first[1], second[1], Partial ? WideHas(1, step, frames) : none);
    output[2] = WideFilters<Partial>(c, 16, input2, first[2], second[2], Partial ? WideHas(2, step, frames) : none);
}

// Where the frames come from and go: floats in place.
struct WideFloats {
    float* samples;

    TUNELARK_WIDE __m256 Enter(int frame) const {
        return _mm256_castps128_ps256(_mm_setr_ps(samples[2 * frame], samples[2 * frame + 1], 0, 0));
    }
    // The tenth filter is the fourth of the first vector. Stored as two
    // floats: a store through __m64 may alias anything, which would keep the
    // history out of registers.
    TUNELARK_WIDE void Leave(__m256 first, int frame) {
        const __m128 high = _mm256_extractf128_ps(first, 1);
        samples[2 * frame] = _mm_cvtss_f32(_mm_movehl_ps(high, high));
        samples[2 * frame + 1] = _mm_cvtss_f32(_mm_shuffle_ps(high, high, _MM_SHUFFLE(3, 3, 3, 3)));
    }
};

// Or 16-bit stereo in place, scaled on the way out by a gain that moves by
// `increment` every frame, rounded to nearest and saturated by the packing.
struct WideStereo16 {
    uint8_t* pcm;
    __m128 gain;
    __m128 increment;

    TUNELARK_WIDE __m256 Enter(int frame) const {
        int32_t pair;
        std::memcpy(&pair, pcm + 4 * frame, sizeof pair);
        return _mm256_castps128_ps256(_mm_cvtepi32_ps(_mm_cvtepi16_epi32(_mm_cvtsi32_si128(pair))));
    }
    TUNELARK_WIDE void Leave(__m256 first, int frame) {
        const __m128 high = _mm256_extractf128_ps(first, 1);
        gain = _mm_add_ps(gain, increment);
        const __m128i rounded = _mm_cvtps_epi32(_mm_mul_ps(_mm_movehl_ps(high, high), gain));
        const int32_t pair = _mm_cvtsi128_si32(_mm_packs_epi32(rounded, rounded));
        std::memcpy(pcm + 4 * frame, &pair, sizeof pair);
    }
};

template <typename Frames>
TUNELARK_WIDE void RunWide(const CascadeCoefficients& c, CascadeHistory& history, Frames frames, int count) {
    __m256 first[kWideVectors];
    __m256 second[kWideVectors];
    __m256 output[kWideVectors];
    for (int v = 0; v < kWideVectors; ++v) {
        first[v] = _mm256_load_ps(history.first + 8 * v);
        second[v] = _mm256_load_ps(history.second + 8 * v);
        output[v] = _mm256_setzero_ps();
    }
    int step = 0;
    for (; step < kPipelineDepth && step < count; ++step) {
        WideStep<true>(c, first, second, output, frames.Enter(step), step, count);
    }
    for (; step < count; ++step) {
        WideStep<false>(c, first, second, output, frames.Enter(step), step, count);
        frames.Leave(output[0], step - kPipelineDepth);
    }
    for (; step < count + kPipelineDepth; ++step) {
        WideStep<true>(c, first, second, output, _mm256_setzero_ps(), step, count);
        if (step >= kPipelineDepth) frames.Leave(output[0], step - kPipelineDepth);
    }
    for (int v = 0; v < kWideVectors; ++v) {
        _mm256_store_ps(history.first + 8 * v, first[v]);
        _mm256_store_ps(history.second + 8 * v, second[v]);
    }
}

// Apart from RunCascade, so that only this function needs the new instructions.
TUNELARK_WIDE void RunWideFloats(const CascadeCoefficients& c, CascadeHistory& history, float* samples, int count) {
    RunWide(c, history, WideFloats{samples}, count);
}

TUNELARK_WIDE void RunWideStereo16(const CascadeCoefficients& c, CascadeHistory& history, uint8_t* pcm, int count,
                                   float gainStart, float gainStep) {
    RunWide(c, history, WideStereo16{pcm, _mm_set1_ps(gainStart), _mm_set1_ps(gainStep)}, count);
}

bool ProcessorHasWideVectors() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

std::atomic<bool>& WideChosen() {
    static std::atomic<bool> wide{ProcessorHasWideVectors()};
    return wide;
}

bool HasWideVectors() {
    return WideChosen().load(std::memory_order_relaxed);
}

}  // namespace

int FirstLaneOf(int filter) {
    return HasWideVectors() ? WideLane(filter) : NarrowLane(filter);
}

void RunCascade(const CascadeCoefficients& cascade, CascadeHistory& history, float* samples, size_t frames) {
    if (frames == 0) return;
    if (HasWideVectors()) {
        RunWideFloats(cascade, history, samples, static_cast<int>(frames));
    } else {
        RunNarrow(cascade, history, samples, static_cast<int>(frames));
    }
}

bool UseWideCascade(bool wide) {
    if (wide && !ProcessorHasWideVectors()) return false;
    WideChosen().store(wide, std::memory_order_relaxed);
    return true;
}

bool RunCascadeStereo16(const CascadeCoefficients& cascade, CascadeHistory& history, uint8_t* pcm, size_t frames,
                        float gainStart, float gainStep) {
    if (!HasWideVectors() || std::endian::native != std::endian::little) return false;
    if (frames > 0) RunWideStereo16(cascade, history, pcm, static_cast<int>(frames), gainStart, gainStep);
    return true;
}

#else

bool UseWideCascade(bool wide) {
    return !wide;
}

bool RunCascadeStereo16(const CascadeCoefficients&, CascadeHistory&, uint8_t*, size_t, float, float) {
    return false;
}

int FirstLaneOf(int filter) {
    return 2 * filter;
}

// One filter after the other, frame by frame: the same arithmetic, lane by lane.
void RunCascade(const CascadeCoefficients& cascade, CascadeHistory& history, float* samples, size_t frames) {
    for (size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < 2; ++channel) {
            float x = samples[2 * frame + channel];
            for (int filter = 0; filter < kCascadeFilters; ++filter) {
                const int lane = FirstLaneOf(filter) + channel;
                float& first = history.first[lane];
                float& second = history.second[lane];
                const float y = cascade.b0[lane] * x + first;
                const float nextFirst = cascade.c1[lane] * x + second - cascade.a1[lane] * first;
                second = cascade.c2[lane] * x - cascade.a2[lane] * first;
                first = nextFirst;
                x = y;
            }
            samples[2 * frame + channel] = x;
        }
    }
}

#endif

}  // namespace engine
