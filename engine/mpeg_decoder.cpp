#include "engine/mpeg_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/equalizer.h"
#include "engine/mpeg_header.h"

namespace engine {
namespace {

constexpr int kSubbandCount = 32;
constexpr int kMaximumChannels = 2;

// Output widths above this would keep noise bits of libmad's fraction.
constexpr int kWidestQuantisation = 24;
constexpr int kFractionBitsPlusSign = 29;

// The subband multiply keeps 16 bits of the gain and 20 of the sample, so the
// product lands back on 28 fraction bits.
constexpr int kGainShift = 16;
constexpr int64_t kGainRounding = 0x8000;
constexpr int kSampleShift = 12;

// Error feedback of the PCM rounding, one accumulator per output channel
// (left or only, right). They live for the whole process and are never reset,
// so the dither pattern runs on from one track to the next. Only the decoding
// thread touches them: there is one decoding thread at a time.
int32_t channelRoundingErrors[kMaximumChannels] = {0, 0};

// Rounds one sample with error feedback. The sum is taken in 64 bits because
// libmad's samples may use the whole 32-bit range, and the stored error is
// bounded to one full scale: the excess of a clipped sample is carried into
// the next one, but a long clipped run cannot grow it without limit.
inline int32_t RoundWithErrorFeedback(mad_fixed_t sample, int32_t& error, int shift) {
    const int64_t value = int64_t{sample} + error;
    const int64_t stepMask = ~((int64_t{1} << shift) - 1);
    // Within full scale (nearly always) the remainder is below one step and
    // needs neither clip nor bound; one unsigned compare tests both ends.
    if (static_cast<uint64_t>(value + int64_t{kMadOne}) < static_cast<uint64_t>(2 * int64_t{kMadOne})) {
        const int64_t quantised = value & stepMask;
        error = static_cast<int32_t>(value - quantised);
        return static_cast<int32_t>(quantised >> shift);
    }
    const int64_t clipped = std::clamp(value, -int64_t{kMadOne}, int64_t{kMadOne} - 1);
    const int64_t quantised = clipped & stepMask;
    error = static_cast<int32_t>(std::clamp(value - quantised, -int64_t{kMadOne}, int64_t{kMadOne}));
    return static_cast<int32_t>(quantised >> shift);
}

inline int QuantisationShift(int bitsPerSample) {
    return kFractionBitsPlusSign - std::clamp(bitsPerSample, 1, kWidestQuantisation);
}

// Output bytes of one sample: 8-bit output when asked for, 16-bit otherwise
// (the output options allow only those two).
inline size_t BytesPerSample(int bitsPerSample) {
    return bitsPerSample == 8 ? 1 : 2;
}

// Bytes of PCM that the frame starting at `input` synthesises in
// `outputChannels` (or its own), read from its header before libmad sees the
// frame; 0 when no frame header starts there.
size_t FramePcmBytes(const uint8_t* input, size_t inputLength, size_t bytesPerSample, bool halfRate,
                     int outputChannels) {
    if (input == nullptr || inputLength < kMpegHeaderBytes || !HasFrameSync(input)) return 0;
    const int32_t layer = HeaderLayer(input);
    if (layer == 0) return 0;
    // The ID bit alone, as libmad reads it, rather than the parsed version.
    size_t samples = static_cast<size_t>(SamplesPerFrame(layer, HasMpeg1Bit(input)));
    if (halfRate) samples /= 2;
    const auto frameChannels = static_cast<size_t>(HeaderChannels(input));
    const size_t channels = outputChannels != kChannelsOfTheFrame ? static_cast<size_t>(outputChannels) : frameChannels;
    return samples * channels * bytesPerSample;
}

int ClassifyStreamError(mad_error error) {
    if (error == MAD_ERROR_BUFLEN) return DECODE_NEED_MORE_INPUT;
    if (MAD_RECOVERABLE(error)) return DECODE_RECOVERABLE_ERROR;
    return DECODE_UNRECOVERABLE_ERROR;
}

// Scales the frame's subband samples by the equalizer gains, before synthesis.
// The product is saturated: a boosted loud subband would otherwise wrap
// around to the opposite sign. A rounded 20-bit sample times a 15-bit scale
// is exact in a double, so the vector path below, four subbands at a time,
// gives the same samples as the plain one.
void ApplySubbandGains(mad_frame& frame, const std::atomic<int32_t> (&gains)[kSubbandCount]) {
    alignas(16) double scale[kSubbandCount];
    for (int subband = 0; subband < kSubbandCount; ++subband) {
        const int64_t gain = gains[subband].load(std::memory_order_relaxed);
        scale[subband] = static_cast<double>((gain + kGainRounding) >> kGainShift);
    }
    constexpr double kLowest = INT32_MIN;
    constexpr double kHighest = INT32_MAX;
    const int channels = MAD_NCHANNELS(&frame.header);
    const int rows = MAD_NSBSAMPLES(&frame.header);
    for (int channel = 0; channel < channels; ++channel) {
        for (int row = 0; row < rows; ++row) {
            mad_fixed_t* samples = frame.sbsample[channel][row];
#if defined(__SSE2__)
            const __m128i roundingBit = _mm_set1_epi32(1);
            for (int subband = 0; subband < kSubbandCount; subband += 4) {
                const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + subband));
                // Rounded to nearest without a sum that could overflow.
                const __m128i rounded = _mm_add_epi32(_mm_srai_epi32(raw, kSampleShift),
                                                      _mm_and_si128(_mm_srai_epi32(raw, kSampleShift - 1), roundingBit));
                __m128d low = _mm_mul_pd(_mm_cvtepi32_pd(rounded), _mm_load_pd(scale + subband));
                __m128d high = _mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(rounded, 0xEE)), _mm_load_pd(scale + subband + 2));
                low = _mm_min_pd(_mm_max_pd(low, _mm_set1_pd(kLowest)), _mm_set1_pd(kHighest));
                high = _mm_min_pd(_mm_max_pd(high, _mm_set1_pd(kLowest)), _mm_set1_pd(kHighest));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(samples + subband),
                                 _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high)));
            }
#else
            for (int subband = 0; subband < kSubbandCount; ++subband) {
                const int32_t sample = (samples[subband] >> kSampleShift) + ((samples[subband] >> (kSampleShift - 1)) & 1);
                samples[subband] = static_cast<mad_fixed_t>(std::clamp(scale[subband] * sample, kLowest, kHighest));
            }
#endif
        }
    }
}

// Stores one output value: an unsigned byte offset by 128, or 16 bits
// little-endian two's complement.
template <size_t BytesPerSample>
inline uint8_t* StorePcm(uint8_t* output, int32_t value) {
    if constexpr (BytesPerSample == 1) {
        *output = static_cast<uint8_t>(value + 128);
    } else if constexpr (std::endian::native == std::endian::little) {
        const auto sample = static_cast<int16_t>(value);  // one store instead of two
        std::memcpy(output, &sample, sizeof sample);
    } else {
        output[0] = static_cast<uint8_t>(value);
        output[1] = static_cast<uint8_t>(value >> 8);
    }
    return output + BytesPerSample;
}

// Writes the synthesised samples interleaved in `outputChannels`, straight
// into the output. The accumulators are worked on in locals: stores through
// the byte pointer could otherwise alias them and force a reload per sample.
template <size_t BytesPerSample>
void WritePcm(const mad_pcm& pcm, int outputChannels, uint8_t* output) {
    const int shift = QuantisationShift(static_cast<int>(BytesPerSample) * 8);
    int32_t left = channelRoundingErrors[0];
    int32_t right = channelRoundingErrors[1];
    const mad_fixed_t* leftSamples = pcm.samples[0];
    const mad_fixed_t* rightSamples = pcm.samples[1];
    const bool stereoFrame = pcm.channels == kMaximumChannels;
    const bool stereoOutput = outputChannels == kMaximumChannels;
    if (stereoFrame && stereoOutput) {
        for (size_t index = 0; index < pcm.length; ++index) {
            output = StorePcm<BytesPerSample>(output, RoundWithErrorFeedback(leftSamples[index], left, shift));
            output = StorePcm<BytesPerSample>(output, RoundWithErrorFeedback(rightSamples[index], right, shift));
        }
    } else if (stereoFrame) {
        // The mean of the two channels; the sum of two samples may leave 32 bits.
        for (size_t index = 0; index < pcm.length; ++index) {
            const auto mixed = static_cast<mad_fixed_t>((int64_t{leftSamples[index]} + rightSamples[index]) / 2);
            output = StorePcm<BytesPerSample>(output, RoundWithErrorFeedback(mixed, left, shift));
        }
    } else if (stereoOutput) {
        // Rounded once, so that both channels carry the same value.
        for (size_t index = 0; index < pcm.length; ++index) {
            const int32_t value = RoundWithErrorFeedback(leftSamples[index], left, shift);
            output = StorePcm<BytesPerSample>(output, value);
            output = StorePcm<BytesPerSample>(output, value);
        }
    } else {
        for (size_t index = 0; index < pcm.length; ++index) {
            output = StorePcm<BytesPerSample>(output, RoundWithErrorFeedback(leftSamples[index], left, shift));
        }
    }
    channelRoundingErrors[0] = left;
    channelRoundingErrors[1] = right;
}

void InitialiseLibmad(MpegDecoder& decoder) {
    mad_stream_init(&decoder.stream);
    mad_frame_init(&decoder.frame);
    mad_synth_init(&decoder.synth);
}

void FinishLibmad(MpegDecoder& decoder) {
    mad_frame_finish(&decoder.frame);
    mad_stream_finish(&decoder.stream);
}

void ReleaseDecoder(MpegDecoder* decoder) {
    if (decoder == nullptr) return;
    FinishLibmad(*decoder);
    delete decoder;
}

}  // namespace

void CreateMpegDecoder(EqualizerBlock& equalizer) {
    // Value-initialised, so every libmad field starts at zero. A failed
    // allocation leaves no decoder, which ends the playback.
    MpegDecoder* decoder = new (std::nothrow) MpegDecoder();
    if (decoder != nullptr) {
        InitialiseLibmad(*decoder);
        for (auto& gain : decoder->gains) gain.store(kMadOne, std::memory_order_relaxed);
        decoder->equalizerEnabled.store(0, std::memory_order_relaxed);
    }
    std::lock_guard lock(equalizer.decoderLock);
    if (decoder != nullptr) ComputeSubbandGains(*decoder, equalizer.settings);
    ReleaseDecoder(std::exchange(equalizer.decoder, decoder));
}

void DestroyMpegDecoder(EqualizerBlock& equalizer) {
    std::lock_guard lock(equalizer.decoderLock);
    ReleaseDecoder(std::exchange(equalizer.decoder, nullptr));
}

void ResetMpegDecoder(EqualizerBlock& equalizer) {
    // The libmad states are re-created in place: the synthesis history and
    // the bit reservoir go, the gains stay, and the decoding thread's
    // reference to the decoder stays valid.
    std::lock_guard lock(equalizer.decoderLock);
    if (equalizer.decoder == nullptr) return;
    FinishLibmad(*equalizer.decoder);
    InitialiseLibmad(*equalizer.decoder);
}

int DecodeFrame(MpegDecoder& decoder, const uint8_t* input, size_t inputLength, uint8_t* output,
                size_t room, int bitsPerSample, bool halfRate, size_t* consumed, size_t* produced,
                int outputChannels) {
    *consumed = 0;
    *produced = 0;
    const size_t bytesPerSample = BytesPerSample(bitsPerSample);
    if (outputChannels != kChannelsOfTheFrame) outputChannels = std::clamp(outputChannels, 1, kMaximumChannels);
    // Decoding moves libmad's bit reservoir, overlap and synthesis history on
    // to the next frame, so a frame that will not fit is refused before it is
    // decoded: the caller can then decode the same frame again.
    if (FramePcmBytes(input, inputLength, bytesPerSample, halfRate, outputChannels) > room) return DECODE_OUTPUT_FULL;

    mad_stream_buffer(&decoder.stream, input, inputLength);
    if (mad_frame_decode(&decoder.frame, &decoder.stream) != 0) {
        // A whole frame that lacks the bit reservoir of frames before it (as
        // after a seek) is passed over as one: its data holds no other frame.
        if (decoder.stream.error == MAD_ERROR_BADDATAPTR) {
            *consumed = static_cast<size_t>(decoder.stream.next_frame - input);
        }
        return ClassifyStreamError(decoder.stream.error);
    }

    if (decoder.equalizerEnabled.load(std::memory_order_relaxed) != 0) ApplySubbandGains(decoder.frame, decoder.gains);
    if (halfRate) {
        decoder.frame.options |= MAD_OPTION_HALFSAMPLERATE;
    } else {
        decoder.frame.options &= ~MAD_OPTION_HALFSAMPLERATE;
    }
    mad_synth_frame(&decoder.synth, &decoder.frame);

    const mad_pcm& pcm = decoder.synth.pcm;
    const int channels = outputChannels != kChannelsOfTheFrame ? outputChannels : pcm.channels;
    const size_t bytes = static_cast<size_t>(channels) * pcm.length * bytesPerSample;
    if (bytes > room) return DECODE_OUTPUT_FULL;
    if (bytesPerSample == 1) {
        WritePcm<1>(pcm, channels, output);
    } else {
        WritePcm<2>(pcm, channels, output);
    }
    *produced = bytes;
    *consumed = static_cast<size_t>(decoder.stream.next_frame - input);
    return DECODE_FRAME_DONE;
}

int32_t RoundSampleToPcm(mad_fixed_t sample, int32_t& error, int bitsPerSample) {
    return RoundWithErrorFeedback(sample, error, QuantisationShift(bitsPerSample));
}

}  // namespace engine
