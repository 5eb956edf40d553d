#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/pcm_equalizer.h"
#include "engine/player.h"

namespace engine {

struct MpegDecoder;

// The gain in decibels of an equalizer slider position (0..63): 31 is exactly
// 0 dB, otherwise 20 - position * 40 / 63.
double SliderDecibels(int32_t position);

// The gain in decibels of band `band` (0..9) with the preamp: their sum,
// limited to +18 dB.
double BandDecibels(const PlayerEqSettings& settings, int band);

// Fills the decoder's 32 subband gains and its enabled flag from the settings.
void ComputeSubbandGains(MpegDecoder& decoder, const PlayerEqSettings& settings);

// The engine's equalizer: the MPEG decoder state of the running playback,
// the PCM equalizer of the other sources, and the settings both follow.
struct EqualizerBlock {
    // Guards the existence of `decoder` (creation, replacement, release) against
    // PlayerSetEqualizer recomputing its gains from the caller's thread. The
    // decoding thread decodes without it: the gains themselves are atomics.
    std::mutex decoderLock;
    MpegDecoder* decoder = nullptr;  // Exists only while a playback runs.
    // Copied whole by the caller's thread; read by the decoding thread when
    // it creates a decoder or sees a new generation. Guarded by decoderLock.
    PlayerEqSettings settings;
    // Counts the changes of `settings`: raised under decoderLock with each
    // one, so the decoding thread takes the lock only when they changed.
    std::atomic<uint32_t> generation{0};

    // The decoding thread's own: the generation of settings `pcm` follows.
    uint32_t pcmGeneration = 0;
    PcmEqualizer pcm;
};

// Starts the PCM equalizer for a playback with the current settings.
void StartPcmEqualizer(EqualizerBlock& equalizer, int32_t channels, int32_t sampleRate);
// Equalizes one block, first taking up settings changed since the last one.
void EqualizePcm(EqualizerBlock& equalizer, int32_t bits, uint8_t* block, uint32_t length);

}  // namespace engine
