#pragma once

// The wave device's volume, as a sound card keeps it: 16 bits per channel,
// left in the low and right in the high half, 0xFFFF the full level. It
// lives as long as the device (kept in the application directory between
// runs) and the sdl output applies it as a gain.

#include <cstddef>
#include <cstdint>

namespace platform {

uint32_t GetWaveOutVolume();
void SetWaveOutVolume(uint32_t volume);

// Scales PCM in place by `volume` (a mono stream takes the left level).
void ApplyWaveOutVolume(uint32_t volume, uint16_t bitsPerSample, uint16_t channels, uint8_t* pcm, size_t bytes);

}  // namespace platform
