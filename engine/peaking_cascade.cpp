#include "engine/peaking_cascade.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace engine {

CascadeCoefficients::CascadeCoefficients() {
    std::fill(std::begin(b0), std::end(b0), 1.0f);
}

void SetCascadeFilter(CascadeCoefficients& cascade, int filter, const PeakingCoefficients& peaking) {
    for (int lane = 2 * filter; lane < 2 * filter + 2; ++lane) {
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

// ---- four lanes: five vectors of two filters ----------------------------

constexpr int kNarrowVectors = kCascadeFilters / 2;

struct NarrowPipeline {
    __m128 b0[kNarrowVectors], c1[kNarrowVectors], a1[kNarrowVectors], c2[kNarrowVectors], a2[kNarrowVectors];
    __m128 first[kNarrowVectors];
    __m128 second[kNarrowVectors];
    __m128 output[kNarrowVectors];  // each filter's last output
    __m128i filterOfLane[kNarrowVectors];
};

// One step: `entering` (left, right in the low lanes) goes into the first
// filter, every other filter takes its predecessor's last output. In a
// partial step only the filters whose frame (step − filter) lies in
// 0..frames−1 have one; the others keep their history.
template <bool Partial>
inline void NarrowStep(NarrowPipeline& p, __m128 entering, int step, int frames) {
    __m128 input[kNarrowVectors];
    input[0] = _mm_movelh_ps(entering, p.output[0]);
    for (int v = 1; v < kNarrowVectors; ++v) {
        input[v] = _mm_shuffle_ps(p.output[v - 1], p.output[v], _MM_SHUFFLE(1, 0, 3, 2));
    }
    for (int v = 0; v < kNarrowVectors; ++v) {
        const __m128 x = input[v];
        const __m128 y = _mm_add_ps(_mm_mul_ps(p.b0[v], x), p.first[v]);
        __m128 first = _mm_sub_ps(_mm_add_ps(_mm_mul_ps(p.c1[v], x), p.second[v]), _mm_mul_ps(p.a1[v], p.first[v]));
        __m128 second = _mm_sub_ps(_mm_mul_ps(p.c2[v], x), _mm_mul_ps(p.a2[v], p.first[v]));
        if constexpr (Partial) {
            const __m128i frame = _mm_sub_epi32(_mm_set1_epi32(step), p.filterOfLane[v]);
            const __m128 has = _mm_castsi128_ps(_mm_and_si128(_mm_cmpgt_epi32(frame, _mm_set1_epi32(-1)),
                                                              _mm_cmplt_epi32(frame, _mm_set1_epi32(frames))));
            first = _mm_or_ps(_mm_and_ps(has, first), _mm_andnot_ps(has, p.first[v]));
            second = _mm_or_ps(_mm_and_ps(has, second), _mm_andnot_ps(has, p.second[v]));
        }
        p.first[v] = first;
        p.second[v] = second;
        p.output[v] = y;
    }
}

inline __m128 NarrowEnter(const float* samples, int frame) {
    return _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(samples + 2 * frame)));
}

inline void NarrowLeave(const NarrowPipeline& p, float* samples, int frame) {
    // The last filter is the upper half of the last vector.
    _mm_storeh_pi(reinterpret_cast<__m64*>(samples + 2 * frame), p.output[kNarrowVectors - 1]);
}

void RunNarrow(const CascadeCoefficients& cascade, CascadeHistory& history, float* samples, int frames) {
    NarrowPipeline p;
    for (int v = 0; v < kNarrowVectors; ++v) {
        p.b0[v] = _mm_load_ps(cascade.b0 + 4 * v);
        p.c1[v] = _mm_load_ps(cascade.c1 + 4 * v);
        p.a1[v] = _mm_load_ps(cascade.a1 + 4 * v);
        p.c2[v] = _mm_load_ps(cascade.c2 + 4 * v);
        p.a2[v] = _mm_load_ps(cascade.a2 + 4 * v);
        p.first[v] = _mm_load_ps(history.first + 4 * v);
        p.second[v] = _mm_load_ps(history.second + 4 * v);
        p.output[v] = _mm_setzero_ps();
        p.filterOfLane[v] = _mm_setr_epi32(2 * v, 2 * v, 2 * v + 1, 2 * v + 1);
    }
    int step = 0;
    // Filling: the later filters have no frame yet.
    for (; step < kPipelineDepth && step < frames; ++step) NarrowStep<true>(p, NarrowEnter(samples, step), step, frames);
    // Full: a frame leaves as a new one enters.
    for (; step < frames; ++step) {
        NarrowStep<false>(p, NarrowEnter(samples, step), step, frames);
        NarrowLeave(p, samples, step - kPipelineDepth);
    }
    // Emptying: the earlier filters have none left.
    for (; step < frames + kPipelineDepth; ++step) {
        NarrowStep<true>(p, _mm_setzero_ps(), step, frames);
        if (step >= kPipelineDepth) NarrowLeave(p, samples, step - kPipelineDepth);
    }
    for (int v = 0; v < kNarrowVectors; ++v) {
        _mm_store_ps(history.first + 4 * v, p.first[v]);
        _mm_store_ps(history.second + 4 * v, p.second[v]);
    }
}

// ---- eight lanes: three vectors of four filters (the last two flat) -----
//
// Written out vector by vector, with the history in locals, so that it
// stays in registers; the coefficients come from memory as operands.

#define TUNELARK_WIDE __attribute__((target("avx2,fma")))

// One filter vector: takes `x`, returns its outputs, moves its history on.
// In a partial step, the lanes of `has` that are clear keep their history.
template <bool Partial>
TUNELARK_WIDE inline __m256 WideFilters(const CascadeCoefficients& c, int lane, __m256 x, __m256& first,
                                        __m256& second, __m256 has) {
    const __m256 y = _mm256_fmadd_ps(_mm256_load_ps(c.b0 + lane), x, first);
    const __m256 nextFirst =
        _mm256_fnmadd_ps(_mm256_load_ps(c.a1 + lane), first, _mm256_fmadd_ps(_mm256_load_ps(c.c1 + lane), x, second));
    const __m256 nextSecond =
        _mm256_fnmadd_ps(_mm256_load_ps(c.a2 + lane), first, _mm256_mul_ps(_mm256_load_ps(c.c2 + lane), x));
    if constexpr (Partial) {
        first = _mm256_blendv_ps(first, nextFirst, has);
        second = _mm256_blendv_ps(second, nextSecond, has);
    } else {
        first = nextFirst;
        second = nextSecond;
    }
    return y;
}

// Which lanes' filters have a frame at `step`: 0 <= step − filter < frames.
TUNELARK_WIDE inline __m256 WideHas(__m256i filterOfLane, int step, int frames) {
    const __m256i frame = _mm256_sub_epi32(_mm256_set1_epi32(step), filterOfLane);
    return _mm256_castsi256_ps(_mm256_and_si256(_mm256_cmpgt_epi32(frame, _mm256_set1_epi32(-1)),
                                                _mm256_cmpgt_epi32(_mm256_set1_epi32(frames), frame)));
}

// One step: `entering` (left, right in the low lanes) goes into the first
// filter, every other filter takes its predecessor's last output: each
// vector's outputs (`output0` to `output2`) move up one filter (two lanes),
// and the lowest filter of each takes the top one of the vector below.
template <bool Partial>
TUNELARK_WIDE inline void WideStep(const CascadeCoefficients& c, __m256 (&first)[3], __m256 (&second)[3],
                                   __m256 (&output)[3], __m256 entering, int step, int frames) {
    const __m256i upOneFilter = _mm256_setr_epi32(6, 7, 0, 1, 2, 3, 4, 5);
    const __m256 moved0 = _mm256_permutevar8x32_ps(output[0], upOneFilter);
    const __m256 moved1 = _mm256_permutevar8x32_ps(output[1], upOneFilter);
    const __m256 moved2 = _mm256_permutevar8x32_ps(output[2], upOneFilter);
    __m256 has0 = _mm256_setzero_ps();
    __m256 has1 = _mm256_setzero_ps();
    __m256 has2 = _mm256_setzero_ps();
    if constexpr (Partial) {
        has0 = WideHas(_mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3), step, frames);
        has1 = WideHas(_mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7), step, frames);
        has2 = WideHas(_mm256_setr_epi32(8, 8, 9, 9, 10, 10, 11, 11), step, frames);
    }
    output[0] = WideFilters<Partial>(c, 0, _mm256_blend_ps(moved0, entering, 0x03), first[0], second[0], has0);
    output[1] = WideFilters<Partial>(c, 8, _mm256_blend_ps(moved1, moved0, 0x03), first[1], second[1], has1);
    output[2] = WideFilters<Partial>(c, 16, _mm256_blend_ps(moved2, moved1, 0x03), first[2], second[2], has2);
}

TUNELARK_WIDE inline __m256 WideEnter(const float* samples, int frame) {
    return _mm256_castps128_ps256(_mm_setr_ps(samples[2 * frame], samples[2 * frame + 1], 0, 0));
}

// The last filter, the tenth, is the second of the last vector. Stored as
// two floats: a store through __m64 may alias anything, which would keep the
// history out of registers.
TUNELARK_WIDE inline void WideLeave(__m256 last, float* samples, int frame) {
    const __m128 low = _mm256_castps256_ps128(last);
    samples[2 * frame] = _mm_cvtss_f32(_mm_movehl_ps(low, low));
    samples[2 * frame + 1] = _mm_cvtss_f32(_mm_shuffle_ps(low, low, _MM_SHUFFLE(3, 3, 3, 3)));
}

TUNELARK_WIDE void RunWide(const CascadeCoefficients& c, CascadeHistory& history, float* samples, int frames) {
    __m256 first[3] = {_mm256_load_ps(history.first), _mm256_load_ps(history.first + 8),
                       _mm256_load_ps(history.first + 16)};
    __m256 second[3] = {_mm256_load_ps(history.second), _mm256_load_ps(history.second + 8),
                        _mm256_load_ps(history.second + 16)};
    __m256 output[3] = {_mm256_setzero_ps(), _mm256_setzero_ps(), _mm256_setzero_ps()};
    int step = 0;
    for (; step < kPipelineDepth && step < frames; ++step) {
        WideStep<true>(c, first, second, output, WideEnter(samples, step), step, frames);
    }
    for (; step < frames; ++step) {
        WideStep<false>(c, first, second, output, WideEnter(samples, step), step, frames);
        WideLeave(output[2], samples, step - kPipelineDepth);
    }
    for (; step < frames + kPipelineDepth; ++step) {
        WideStep<true>(c, first, second, output, _mm256_setzero_ps(), step, frames);
        if (step >= kPipelineDepth) WideLeave(output[2], samples, step - kPipelineDepth);
    }
    for (int v = 0; v < 3; ++v) {
        _mm256_store_ps(history.first + 8 * v, first[v]);
        _mm256_store_ps(history.second + 8 * v, second[v]);
    }
}

bool HasWideVectors() {
    static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return wide;
}

}  // namespace

void RunCascade(const CascadeCoefficients& cascade, CascadeHistory& history, float* samples, size_t frames) {
    if (frames == 0) return;
    if (HasWideVectors()) {
        RunWide(cascade, history, samples, static_cast<int>(frames));
    } else {
        RunNarrow(cascade, history, samples, static_cast<int>(frames));
    }
}

#else

// One filter after the other, frame by frame: the same arithmetic, lane by lane.
void RunCascade(const CascadeCoefficients& cascade, CascadeHistory& history, float* samples, size_t frames) {
    for (size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < 2; ++channel) {
            float x = samples[2 * frame + channel];
            for (int filter = 0; filter < kCascadeFilters; ++filter) {
                const int lane = 2 * filter + channel;
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
