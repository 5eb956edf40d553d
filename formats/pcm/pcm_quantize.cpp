// Pending frames to the output's 8- or 16-bit PCM.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/pcm/decoded_pcm.h"
#include "platform/byte_order.h"

namespace engine {

float DitherNoise::Uniform() {
    // xorshift32: the noise needs no more than an even spread.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) * (1.0f / 16777216.0f) - 0.5f;
}

float DitherNoise::Next() {
    return Uniform() + Uniform();
}

void QuantizeFrames(DecodedPcm& pcm, size_t frames, int bits, DitherNoise& noise, uint8_t* out) {
    const int32_t top = (int32_t{1} << (bits - 1)) - 1;
    const int32_t bottom = -top - 1;
    const auto scale = static_cast<float>(int32_t{1} << (bits - 1));
    // Untouched samples no wider than the output land on its steps exactly;
    // anything else is dithered so that what is lost is noise, not distortion.
    const bool dither = pcm.exactBits == 0 || pcm.exactBits > bits;
    const size_t count = frames * pcm.channels;
    const float* in = pcm.samples.data() + pcm.offset * pcm.channels;
    for (size_t index = 0; index < count; ++index) {
        float value = in[index] * scale;
        if (dither) value += noise.Next();
        const auto step = static_cast<int32_t>(std::clamp(std::floor(value + 0.5f), float(bottom), float(top)));
        if (bits == 8) {
            *out++ = static_cast<uint8_t>(step + 128);
        } else {
            platform::WriteLittle16(out, static_cast<uint16_t>(step));
            out += 2;
        }
    }
    pcm.offset += frames;
}

}  // namespace engine
