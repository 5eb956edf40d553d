// The mix of any known channel layout down to the output's mono or stereo.

#include <array>
#include <span>

#include "formats/pcm/decoded_pcm.h"

namespace engine {
namespace {

enum class Role { Mono, Left, Right, Centre, Lfe, LeftSurround, RightSurround, BackCentre };

// -3 dB: what centre and surround channels add to each side.
constexpr float kMinus3Db = 0.70710678f;

using enum Role;
constexpr std::array<std::array<Role, kMaximumInputChannels>, kMaximumInputChannels> kWaveRoles = {{
    {Mono},
    {Left, Right},
    {Left, Right, Centre},
    {Left, Right, LeftSurround, RightSurround},
    {Left, Right, Centre, LeftSurround, RightSurround},
    {Left, Right, Centre, Lfe, LeftSurround, RightSurround},
    {Left, Right, Centre, Lfe, BackCentre, LeftSurround, RightSurround},
    {Left, Right, Centre, Lfe, LeftSurround, RightSurround, LeftSurround, RightSurround},
}};
constexpr std::array<std::array<Role, kMaximumInputChannels>, kMaximumInputChannels> kVorbisRoles = {{
    {Mono},
    {Left, Right},
    {Left, Centre, Right},
    {Left, Right, LeftSurround, RightSurround},
    {Left, Centre, Right, LeftSurround, RightSurround},
    {Left, Centre, Right, LeftSurround, RightSurround, Lfe},
    {Left, Centre, Right, LeftSurround, RightSurround, BackCentre, Lfe},
    {Left, Centre, Right, LeftSurround, RightSurround, LeftSurround, RightSurround, Lfe},
}};

// What one input channel adds to the left and the right output.
std::array<float, 2> SideWeights(Role role) {
    switch (role) {
        case Mono: return {1.0f, 1.0f};
        case Left: return {1.0f, 0.0f};
        case Right: return {0.0f, 1.0f};
        case Centre: return {kMinus3Db, kMinus3Db};
        case Lfe: return {0.0f, 0.0f};
        case LeftSurround: return {kMinus3Db, 0.0f};
        case RightSurround: return {0.0f, kMinus3Db};
        // Split between the sides at -3 dB each, as a surround heard from behind.
        case BackCentre: return {kMinus3Db * kMinus3Db, kMinus3Db * kMinus3Db};
    }
    return {0.0f, 0.0f};
}

}  // namespace

bool MakeChannelMix(ChannelOrder order, int inputChannels, int outputChannels, ChannelMix* mix) {
    if (inputChannels < 1 || inputChannels > kMaximumInputChannels || outputChannels < 1 || outputChannels > 2) {
        return false;
    }
    *mix = ChannelMix{};
    mix->inputChannels = inputChannels;
    mix->outputChannels = outputChannels;
    const auto& roles = (order == ChannelOrder::Wave ? kWaveRoles : kVorbisRoles)[inputChannels - 1];
    float sums[2] = {};
    for (int channel = 0; channel < inputChannels; ++channel) {
        const auto [left, right] = SideWeights(roles[channel]);
        mix->weights[0][channel] = left;
        mix->weights[1][channel] = right;
        sums[0] += left;
        sums[1] += right;
    }
    // Beyond stereo, each side is scaled by what could add up in it, so
    // that full scale on every channel reaches full scale and no further.
    if (inputChannels > 2) {
        for (int side = 0; side < 2; ++side) {
            for (int channel = 0; channel < inputChannels; ++channel) mix->weights[side][channel] /= sums[side];
        }
    }
    if (outputChannels == 1) {
        for (int channel = 0; channel < inputChannels; ++channel) {
            mix->weights[0][channel] = (mix->weights[0][channel] + mix->weights[1][channel]) / 2;
            mix->weights[1][channel] = 0.0f;
        }
    }
    mix->passesThrough = inputChannels == outputChannels && inputChannels <= 2;
    return true;
}

void DecodedPcm::AppendPlanar(const ChannelMix& mix, const int32_t* const* planes, int bits, size_t frames) {
    channels = mix.outputChannels;
    exactBits = mix.passesThrough ? bits : 0;
    const float scale = 1.0f / static_cast<float>(int64_t{1} << (bits - 1));
    const size_t start = samples.size();
    samples.resize(start + frames * channels);
    float* out = samples.data() + start;
    for (size_t frame = 0; frame < frames; ++frame) {
        for (int side = 0; side < channels; ++side) {
            if (mix.passesThrough) {
                *out++ = static_cast<float>(planes[side][frame]) * scale;
                continue;
            }
            float value = 0.0f;
            for (int channel = 0; channel < mix.inputChannels; ++channel) {
                value += mix.weights[side][channel] * static_cast<float>(planes[channel][frame]);
            }
            *out++ = value * scale;
        }
    }
}

void DecodedPcm::AppendInterleaved(const ChannelMix& mix, const float* input, size_t frames) {
    channels = mix.outputChannels;
    exactBits = 0;
    const size_t start = samples.size();
    samples.resize(start + frames * channels);
    float* out = samples.data() + start;
    for (size_t frame = 0; frame < frames; ++frame, input += mix.inputChannels) {
        for (int side = 0; side < channels; ++side) {
            float value = 0.0f;
            for (int channel = 0; channel < mix.inputChannels; ++channel) value += mix.weights[side][channel] * input[channel];
            *out++ = value;
        }
    }
}

}  // namespace engine
