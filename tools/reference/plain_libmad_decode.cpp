#include "tools/reference/plain_libmad_decode.h"

#include <mad.h>

#include <cstddef>
#include <fstream>
#include <iterator>

namespace {

inline int16_t PlainRound(mad_fixed_t sample) {
    sample += 1 << (MAD_F_FRACBITS - 16);
    if (sample >= MAD_F_ONE) sample = MAD_F_ONE - 1;
    if (sample < -MAD_F_ONE) sample = -MAD_F_ONE;
    return static_cast<int16_t>(sample >> (MAD_F_FRACBITS + 1 - 16));
}

}  // namespace

PlainDecodeResult DecodeWithPlainLibmadLoop(const std::vector<uint8_t>& input, std::vector<int16_t>& block) {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
    mad_stream_buffer(&stream, input.data(), input.size());
    PlainDecodeResult result;
    size_t filled = 0;
    for (;;) {
        if (mad_frame_decode(&frame, &stream) != 0) {
            if (MAD_RECOVERABLE(stream.error)) continue;
            break;
        }
        mad_synth_frame(&synth, &frame);
        const size_t samples = size_t{synth.pcm.length} * synth.pcm.channels;
        if (filled + samples > block.size()) filled = 0;
        int16_t* output = block.data() + filled;
        for (unsigned index = 0; index < synth.pcm.length; ++index) {
            for (unsigned channel = 0; channel < synth.pcm.channels; ++channel) {
                *output++ = PlainRound(synth.pcm.samples[channel][index]);
            }
        }
        filled += samples;
        result.pcmBytes += samples * sizeof(int16_t);
        result.frames += synth.pcm.length;
        result.sampleRate = synth.pcm.samplerate;
    }
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
    return result;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> WithMadGuard(std::vector<uint8_t> bytes) {
    bytes.insert(bytes.end(), MAD_BUFFER_GUARD, 0);  // lets libmad decode the last frame
    return bytes;
}
