#include "tests/support/libmad_reference.h"

#include <mad.h>

#include <algorithm>

#include "engine/mpeg_decoder.h"

namespace test {
namespace {

// The equalizer's subband multiply, written out apart from the engine's.
void MultiplySubbands(mad_frame& frame, const int32_t (&gains)[32], Overflow overflow) {
    for (int channel = 0; channel < MAD_NCHANNELS(&frame.header); ++channel) {
        for (int row = 0; row < MAD_NSBSAMPLES(&frame.header); ++row) {
            for (int subband = 0; subband < 32; ++subband) {
                mad_fixed_t& sample = frame.sbsample[channel][row][subband];
                const int64_t product = ((int64_t{gains[subband]} + 0x8000) >> 16) * ((int64_t{sample} + 0x800) >> 12);
                sample = overflow == Overflow::Wrap
                             ? static_cast<int32_t>(static_cast<uint32_t>(product))
                             : static_cast<int32_t>(std::clamp<int64_t>(product, INT32_MIN, INT32_MAX));
            }
        }
    }
}

}  // namespace

ReferencePcm DecodeWithLibmad(const std::vector<uint8_t>& bytes, int bits, bool halfRate, const int32_t (*gains)[32],
                              Overflow overflow) {
    ReferencePcm decoded;
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
    mad_stream_buffer(&stream, bytes.data(), bytes.size());
    int32_t errors[2] = {0, 0};
    for (;;) {
        if (mad_frame_decode(&frame, &stream) != 0) {
            if (MAD_RECOVERABLE(stream.error)) continue;
            break;
        }
        if (gains != nullptr) MultiplySubbands(frame, *gains, overflow);
        if (halfRate) frame.options |= MAD_OPTION_HALFSAMPLERATE;
        mad_synth_frame(&synth, &frame);
        decoded.channels = synth.pcm.channels;
        for (int index = 0; index < synth.pcm.length; ++index) {
            for (int channel = 0; channel < synth.pcm.channels; ++channel) {
                const int32_t value =
                    engine::RoundSampleToPcm(synth.pcm.samples[channel][index], errors[channel], bits);
                if (bits == 8) {
                    decoded.pcm.push_back(static_cast<uint8_t>(value + 128));
                } else {
                    decoded.pcm.push_back(static_cast<uint8_t>(value & 0xFF));
                    decoded.pcm.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
                }
            }
        }
        ++decoded.frames;
    }
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
    return decoded;
}

std::vector<uint8_t> WithMadGuard(std::vector<uint8_t> bytes) {
    bytes.insert(bytes.end(), MAD_BUFFER_GUARD, 0);
    return bytes;
}

}  // namespace test
