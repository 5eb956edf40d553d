#pragma once

#include <cstdint>
#include <mutex>

#include "engine/player.h"

namespace engine {

struct MpegDecoder;

// The gain in decibels of an equalizer slider position (0..63): 31 is exactly
// 0 dB, otherwise 20 - position * 40 / 63.
double SliderDecibels(int32_t position);

// Fills the decoder's 32 subband gains and its enabled flag from the settings.
void ComputeSubbandGains(MpegDecoder& decoder, const PlayerEqSettings& settings);

// The engine's equalizer: the MPEG decoder state of the running playback and
// the settings it is loaded from.
struct EqualizerBlock {
    // Guards the existence of `decoder` (creation, replacement, release) against
    // PlayerSetEqualizer recomputing its gains from the caller's thread. The
    // decoding thread decodes without it: the gains themselves are atomics.
    std::mutex decoderLock;
    MpegDecoder* decoder = nullptr;  // Exists only while a playback runs.
    // Copied whole by the caller's thread; read by the decoding thread when
    // it creates a decoder. Guarded by decoderLock.
    PlayerEqSettings settings;
};

}  // namespace engine
