#pragma once

// Decoded audio of any width, rate and channel layout, on its way to the
// output: a decoder mixes what it decodes into the pending frames (mono or
// stereo, full scale at 1.0), and the decoding thread quantizes them into the
// output blocks at the output's width. FLAC and Opus sources play this way.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/source_registry.h"

struct PlayerEngine;

namespace engine {

// Where the decoders put each channel; a channel's role decides how it is mixed.
enum class ChannelOrder {
    Wave,    // FLAC: L R C LFE BL BR SL SR
    Vorbis,  // Opus: L C R SL SR / BL BR ... LFE last
};

// The most input channels a layout is known for.
constexpr int kMaximumInputChannels = 8;
// The rates the output is asked to play: nothing is resampled here.
constexpr int32_t kMaximumPcmRate = 192000;

// The weights of one output channel over the input channels.
struct ChannelMix {
    int inputChannels = 0;
    int outputChannels = 0;
    float weights[2][kMaximumInputChannels] = {};
    // Each output channel is one input channel as it is: nothing to round.
    bool passesThrough = false;
};

// The mix of `inputChannels` (1..8) in `order` down to `outputChannels` (1 or
// 2): centre and surrounds at -3 dB, the LFE dropped, each output scaled so
// that full-scale inputs cannot clip. False for an unknown layout.
bool MakeChannelMix(ChannelOrder order, int inputChannels, int outputChannels, ChannelMix* mix);

// The output channels for a source of `inputChannels`: mono stays mono.
inline int OutputChannelsFor(int inputChannels) { return inputChannels == 1 ? 1 : 2; }

struct DecodedPcm {
    // Interleaved frames in the output's channels; `offset` of them played.
    std::vector<float> samples;
    size_t offset = 0;
    int channels = 0;
    // The source's width when the frames are its integer samples untouched,
    // 0 when they were mixed or are not integers: only narrower-or-equal
    // untouched samples reach the output without dither.
    int exactBits = 0;

    size_t FramesLeft() const { return channels == 0 ? 0 : (samples.size() - offset * channels) / channels; }
    void Clear() {
        samples.clear();
        offset = 0;
    }

    // Appends `frames` frames of planar integer samples `bits` wide.
    void AppendPlanar(const ChannelMix& mix, const int32_t* const* planes, int bits, size_t frames);
    // Appends `frames` frames of interleaved float samples.
    void AppendInterleaved(const ChannelMix& mix, const float* samples, size_t frames);
};

// TPDF dither's noise source: two uniform values a step apart, from a small
// generator that each playback owns.
class DitherNoise {
public:
    // The sum of two uniform values in [-0.5, 0.5): -1 .. 1 steps, peaking at 0.
    float Next();

private:
    uint32_t state_ = 0x9E3779B9u;
    float Uniform();
};

// Writes `frames` frames of `pcm` from its offset as `bits` (8: unsigned, 16:
// signed little-endian) PCM, rounded to the nearest step after TPDF dither
// unless the frames are exact at that width, and clipped to full scale.
void QuantizeFrames(DecodedPcm& pcm, size_t frames, int bits, DitherNoise& noise, uint8_t* out);

// What a decoder does for the thread: mixes its next piece into the source's
// pending frames.
enum class DecodeStep { Delivered, EndOfStream, Failed };
using DecodeFunction = DecodeStep (*)(PlayerEngine& engine);

// The decoding thread of a decoded-PCM source: BeginPlayback, then pending
// frames are quantized into blocks and `decode` called under the decode
// lock whenever none are left, then EndPlayback.
void RunDecodedPcmThread(PlayerEngine& engine, DecodedPcm& pcm, DecodeFunction decode);

// The source's rate at the width the output options ask for (8 or 16).
SourceOutput DecodedPcmOutputFormat(const PlayerEngine& engine);
// About 90 ms per block at any rate, in whole frames.
uint32_t DecodedPcmBlockCapacity(const PlayerEngine& engine, int32_t outputBits);

}  // namespace engine
