#pragma once

// PlaySound of a WAVE clip held in memory (an embedded resource), played to
// its end before the call returns, through the same wave device as the music
// (TUNELARK_AUDIO chooses it; the null and capture devices play it silently).

#include <cstdint>
#include <span>

#include "platform/wave_out.h"

namespace platform {

// False when the clip is not a PCM WAVE file or no device could play it.
bool PlaySoundClip(std::span<const uint8_t> waveFile, WaveBackend backend = WaveBackend::Sdl);

}  // namespace platform
